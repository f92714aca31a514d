// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A table as an .xlsx workbook, through libxlsxwriter: every text a string
// cell (never a formula, whatever it begins with), numbers as numbers, the
// header row bold and frozen, each column as wide as its content. Rows are
// written as they come, so a list of millions costs little memory; past the
// rows a sheet can hold, the list goes on in another sheet under the same
// header. A text longer than a cell can hold is cut, and says so with "…".

#include "study/sheet.h"

namespace solandre {

// The most characters a cell holds.
inline constexpr size_t kXlsxCellChars = 32767;
// The most rows a sheet holds, its header included.
inline constexpr size_t kXlsxSheetRows = 1048576;

Result<std::unique_ptr<SheetWriter>> xlsxSheet(const FileRef& output, size_t sheetRows = kXlsxSheetRows);

} // namespace solandre
