// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printed result list, apart from any window: the header row in bold, a
// separator, then one line per hit with the form at the left and its marker
// at 5000 twips; a new page after every 68 counted lines (the header counts,
// so the first page holds 67 hits). A list of other columns is printed the
// same way, each column at its own place.

#include "common/progress.h"
#include "platform/printer.h"
#include "search/result_grid.h"

#include <QString>
#include <functional>
#include <vector>

namespace solandre {

// A cell's text, row 0 being the header; printed trimmed on the right.
using PrintedCell = std::function<QString(size_t row, int column)>;

// `rows` rows (the header included) of as many columns as `columnX` gives
// places, in twips from the left. Whether the printer took the document.
bool printList(Printer& printer, size_t rows, const std::vector<int>& columnX, const PrintedCell& cell,
               const Progress& progress = {});

// Whether the printer took the document.
bool printResultList(Printer& printer, const ResultGrid& grid, const Progress& progress = {});

} // namespace solandre
