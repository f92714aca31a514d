// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/sheet.h"

#include "common/encoding.h"
#include "study/xlsx_sheet.h"

#include <QFileInfo>
#include <cstdio>

namespace solandre {
namespace {

char separatorOf(ExportFormat format) { return format == ExportFormat::Csv ? ',' : '\t'; }

// What a spreadsheet would read as the start of a formula.
bool startsFormula(std::string_view text)
{
    return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

class DelimitedSheet final : public SheetWriter {
public:
    DelimitedSheet(ExportFormat format, std::function<void(std::string_view)> sink)
        : format_(format), sink_(std::move(sink)), out_(kUtf8Mark)
    {
    }

    void text(std::string_view utf8) override
    {
        appendField(out_, utf8, format_);
        out_ += separatorOf(format_);
        empty_ = false;
    }

    void number(double value, int decimals) override
    {
        char shown[64];
        std::snprintf(shown, sizeof shown, "%.*f", decimals, value);
        out_ += shown;
        out_ += separatorOf(format_);
        empty_ = false;
    }

    void endRow() override
    {
        if (empty_)
            out_ += '\r'; // a row of no cells is an empty line
        else
            out_.back() = '\r'; // over the last cell's separator
        out_ += '\n';
        empty_ = true;
        if (out_.size() >= (1u << 20)) {
            sink_(out_);
            out_.clear();
        }
    }

    Status commit() override
    {
        sink_(out_);
        out_.clear();
        return success();
    }

private:
    ExportFormat format_;
    std::function<void(std::string_view)> sink_;
    std::string out_;
    bool empty_ = true;
};

// A delimited table through a safe writer.
class DelimitedFile final : public SheetWriter {
public:
    DelimitedFile(ExportFormat format, SafeFileWriter writer)
        : writer_(std::move(writer)), sheet_(format, [this](std::string_view piece) { writer_.write(piece); })
    {
    }
    void text(std::string_view utf8) override { sheet_.text(utf8); }
    void number(double value, int decimals) override { sheet_.number(value, decimals); }
    void endRow() override { sheet_.endRow(); }
    Status commit() override
    {
        (void)sheet_.commit();
        return writer_.commit();
    }

private:
    SafeFileWriter writer_;
    DelimitedSheet sheet_;
};

} // namespace

ExportFormat exportFormatOf(const QString& path)
{
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive)) return ExportFormat::Xlsx;
    if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) return ExportFormat::Csv;
    return ExportFormat::Tsv;
}

QString endingOf(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Csv: return QStringLiteral(".csv");
    case ExportFormat::Xlsx: return QStringLiteral(".xlsx");
    case ExportFormat::Tsv: break;
    }
    return QStringLiteral(".tsv");
}

std::optional<ExportFormat> exportFormatNamed(std::string_view name)
{
    if (name == "tsv") return ExportFormat::Tsv;
    if (name == "csv") return ExportFormat::Csv;
    if (name == "xlsx") return ExportFormat::Xlsx;
    return std::nullopt;
}

ExportTarget exportTarget(const QString& name, ExportFormat chosen)
{
    for (const ExportFormat format : {ExportFormat::Tsv, ExportFormat::Csv, ExportFormat::Xlsx})
        if (name.endsWith(endingOf(format), Qt::CaseInsensitive)) return {name, format};
    if (QFileInfo(name).suffix().isEmpty()) return {name + endingOf(chosen), chosen};
    return {name, chosen};
}

void appendField(std::string& out, std::string_view utf8, ExportFormat format)
{
    const bool neutralised = format == ExportFormat::Csv && startsFormula(utf8);
    const char special[] = {separatorOf(format), '"', '\r', '\n', '\0'};
    if (utf8.find_first_of(special) == std::string_view::npos) {
        if (neutralised) out += '\'';
        out.append(utf8);
        return;
    }
    out += '"';
    if (neutralised) out += '\'';
    for (const char c : utf8) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::unique_ptr<SheetWriter> delimitedSheet(ExportFormat format, std::function<void(std::string_view)> sink)
{
    return std::make_unique<DelimitedSheet>(format, std::move(sink));
}

Result<std::unique_ptr<SheetWriter>> openSheet(const FileRef& output, ExportFormat format)
{
    if (format == ExportFormat::Xlsx) return xlsxSheet(output);
    auto writer = SafeFileWriter::open(output);
    if (!writer) return writer.error();
    return std::unique_ptr<SheetWriter>(std::make_unique<DelimitedFile>(format, std::move(writer.value())));
}

} // namespace solandre
