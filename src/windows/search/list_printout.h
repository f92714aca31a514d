// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printed result list, apart from any window: the header row in bold, a
// separator, then one line per hit with the form at the left and its marker
// at 5000 twips; a new page after every 68 counted lines (the header counts,
// so the first page holds 67 hits).

#include "common/progress.h"
#include "platform/printer.h"
#include "search/result_grid.h"

namespace solandre {

// Whether the printer took the document.
bool printResultList(Printer& printer, const ResultGrid& grid, const Progress& progress = {});

} // namespace solandre
