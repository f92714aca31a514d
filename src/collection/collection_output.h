// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What is written from the search of a collection, by the same writers as a
// single pair's: the export of its lines for a spreadsheet, a first column
// naming each hit's text, and the results file, each hit's text named in the
// listing and above its sentences. The window, the command line and the
// tests all write through here.

#include "collection/collection_concordance.h"
#include "common/fileio.h"
#include "common/progress.h"
#include "common/result.h"
#include "search/results_file.h"
#include "study/sheet.h"

#include <vector>

namespace solandre {

// The title and date lines' beginnings of a collection's results file.
inline constexpr ResultsPrefixes kCollectionPrefixes{"Colección : ", "Búsqueda efectuada el : "};

// Every file of the collection: the members' own, the numbered pairs
// searched, and the files set aside, which are the user's all the same. An
// output must be none of them.
std::vector<QString> collectionTexts(const CollectionConcordance& concordance);
Status refuseCollectionText(const FileRef& output, const CollectionConcordance& concordance);

// The hits' lines, "Texto" before the columns of a single pair's export,
// written safely. A translation that cannot be read is named and nothing
// is written.
Status exportCollection(const FileRef& output, const CollectionConcordance& concordance, ExportFormat format,
                        const Progress& progress = {});

// The results file of the hits, written safely: the heading, a listing of
// text, form and marker, then for each hit the separator, its text's name,
// its sentence and the translated one.
Status saveCollectionResults(const FileRef& output, const CollectionConcordance& concordance,
                             const ResultsHeading& heading, const Progress& progress = {});

} // namespace solandre
