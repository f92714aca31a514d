// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A table written for a spreadsheet: a header row, then rows of text and
// number cells, as TSV, CSV or an .xlsx workbook. TSV and CSV are UTF-8 with
// a byte-order mark and CR LF line ends; a field holding the separator, a
// double quote or a line break is quoted, its quotes doubled, as RFC 4180
// says. TSV keeps every text exactly, for scripts. In CSV, read by
// spreadsheets, a text that begins with "=", "+", "-", "@", a tab or a
// carriage return would run as a formula: it gets a leading apostrophe, as
// the OWASP advice on CSV injection says, and shows as text. An .xlsx writes
// every text as a string cell, never a formula, under a bold, frozen header,
// each column as wide as its content.

#include "common/fileio.h"
#include "common/result.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace solandre {

enum class ExportFormat { Tsv, Csv, Xlsx };

// By the name's ending, any case: ".xlsx", ".csv"; TSV otherwise.
ExportFormat exportFormatOf(const QString& path);
// ".tsv", ".csv", ".xlsx".
QString endingOf(ExportFormat format);
// A format named on the command line ("tsv", "csv", "xlsx").
std::optional<ExportFormat> exportFormatNamed(std::string_view name);

// What a save dialog's answer means: a name that ends as one of the formats
// do is that format (its content never belies its name); any other is
// written in the type chosen, whose ending it gets when it has none.
struct ExportTarget {
    QString path;
    ExportFormat format;
};
ExportTarget exportTarget(const QString& name, ExportFormat chosen);

// One text field as a delimited format writes it (not for Xlsx).
void appendField(std::string& out, std::string_view utf8, ExportFormat format);

class SheetWriter {
public:
    virtual ~SheetWriter() = default;

    // The cells of the current row, left to right; the first row is the header.
    virtual void text(std::string_view utf8) = 0;
    // A number, written as a number where the format has them and with
    // `decimals` decimals where it has only text.
    virtual void number(double value, int decimals) = 0;
    virtual void endRow() = 0;
    // The whole file written: nothing reaches the output before.
    virtual Status commit() = 0;
};

// A delimited table handed to `sink` in pieces (TSV or CSV).
std::unique_ptr<SheetWriter> delimitedSheet(ExportFormat format, std::function<void(std::string_view)> sink);

// A table written to `output` safely: an existing file is replaced only
// when the new one is whole. "-" writes the standard output.
Result<std::unique_ptr<SheetWriter>> openSheet(const FileRef& output, ExportFormat format);

} // namespace solandre
