// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printed list of a collection's hits: the list a single pair prints,
// each line with its text's name first, as the window lists them.

#include "collection/collection_concordance.h"
#include "common/progress.h"
#include "platform/printer.h"

#include <vector>

namespace solandre {

// Where the columns start, in twips: the text, the form, the marker. The
// form keeps the 5000 twips it has in a single pair's list.
inline const std::vector<int> kCollectionPrintColumns{0, 3000, 8000};

// Whether the printer took the document.
bool printCollectionList(Printer& printer, const CollectionConcordance& concordance, const Progress& progress = {});

} // namespace solandre
