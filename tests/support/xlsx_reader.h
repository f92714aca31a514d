// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An .xlsx read back without the library that writes it: the zip's entries
// found through its central directory and inflated with zlib, the sheets'
// XML read cell by cell, so the tests see what a spreadsheet would open.

#include <QString>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace solandre::testing {

struct XlsxCell {
    std::string text;     // the string, or the number as written
    std::string type;     // "s" (shared string), "inlineStr", "str", "n" (or empty: a number)
    bool formula = false; // the cell holds a formula
    bool bold = false;
};

struct XlsxSheet {
    std::string name;
    std::vector<std::vector<XlsxCell>> rows; // in order, gaps not kept
    bool headerFrozen = false;               // one row frozen at the top
    std::map<int, double> widths;            // by 0-based column, as the file sets them
};

struct XlsxBook {
    std::vector<XlsxSheet> sheets;
};

// Nothing when the file is not a readable workbook; `why` says where it failed.
std::optional<XlsxBook> readXlsx(const QString& path, std::string* why = nullptr);

// The texts of a sheet's rows, each row's cells joined by "|".
std::vector<std::string> rowTexts(const XlsxSheet& sheet);

} // namespace solandre::testing
