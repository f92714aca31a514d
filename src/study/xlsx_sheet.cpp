// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/xlsx_sheet.h"

#include <QFile>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <vector>
#include <xlsxwriter.h>

namespace solandre {
namespace {

// Columns wider than this would push the others off the screen; a cell cut
// on screen still holds its whole text.
constexpr size_t kWidestColumn = 80;

size_t codePoints(std::string_view utf8)
{
    return size_t(std::count_if(utf8.begin(), utf8.end(),
                                [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// At most a cell's worth of characters, never half of one.
std::string_view cellText(std::string_view utf8, std::string& cut)
{
    if (utf8.size() <= kXlsxCellChars) return utf8; // no more characters than bytes
    size_t chars = 0, end = 0;
    for (; end < utf8.size(); ++end) {
        if ((static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) continue;
        if (++chars == kXlsxCellChars) break; // room for the "…"
    }
    if (end == utf8.size()) return utf8;
    cut.assign(utf8.substr(0, end));
    cut += "…";
    return cut;
}

bool hexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// A spreadsheet reads "_xHHHH_" in a string as the character of that code
// (the library writes control characters so): a text that holds one as it
// is gets its "_" escaped, "_x005F_", and reads back unchanged.
std::string_view keptLiteral(std::string_view utf8, std::string& escaped)
{
    auto escapeAt = [&](size_t i) {
        return i + 7 <= utf8.size() && utf8[i] == '_' && utf8[i + 1] == 'x' && hexDigit(utf8[i + 2]) &&
               hexDigit(utf8[i + 3]) && hexDigit(utf8[i + 4]) && hexDigit(utf8[i + 5]) && utf8[i + 6] == '_';
    };
    size_t i = utf8.find("_x");
    while (i != std::string_view::npos && !escapeAt(i)) i = utf8.find("_x", i + 1);
    if (i == std::string_view::npos) return utf8;
    escaped.clear();
    for (size_t k = 0; k < utf8.size(); ++k) {
        if (escapeAt(k)) escaped += "_x005F";
        escaped += utf8[k];
    }
    return escaped;
}

class XlsxSheet final : public SheetWriter {
public:
    XlsxSheet(const FileRef& output, std::unique_ptr<QTemporaryFile> file, size_t sheetRows)
        : output_(output), file_(std::move(file)), path_(QFile::encodeName(file_->fileName()).toStdString()),
          sheetRows_(std::max<size_t>(sheetRows, 2))
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        workbook_ = workbook_new_opt(path_.c_str(), &options);
        if (!workbook_) return;
        bold_ = workbook_add_format(workbook_);
        format_set_bold(bold_);
    }

    ~XlsxSheet() override
    {
        if (workbook_) lxw_workbook_free(workbook_); // not committed: nothing written
    }

    void text(std::string_view utf8) override
    {
        std::string cut, escaped;
        put(keptLiteral(cellText(utf8, cut), escaped), std::nullopt, 0);
    }

    void number(double value, int decimals) override { put({}, value, decimals); }

    void endRow() override
    {
        if (row_ == 0) header_ = std::move(pending_);
        pending_.clear();
        column_ = 0;
        ++row_;
    }

    Status commit() override
    {
        if (!workbook_) return failed(LXW_ERROR_MEMORY_MALLOC_FAILED);
        setWidths();
        const lxw_error closed = workbook_close(workbook_);
        workbook_ = nullptr;
        if (error_ == LXW_NO_ERROR) error_ = closed;
        if (error_ != LXW_NO_ERROR) return failed(error_);

        auto writer = SafeFileWriter::open(output_);
        if (!writer) return writer.error();
        QFile written(file_->fileName());
        if (!written.open(QIODevice::ReadOnly))
            return Error::writing(output_.name(), written.errorString());
        while (!written.atEnd() && !writer.value().stopped()) {
            const QByteArray piece = written.read(1 << 20);
            if (piece.isEmpty() && written.error() != QFileDevice::NoError)
                return Error::writing(output_.name(), written.errorString());
            writer.value().write(std::string_view(piece.constData(), size_t(piece.size())));
        }
        return writer.value().commit();
    }

private:
    void put(std::string_view shown, std::optional<double> value, int decimals)
    {
        if (!workbook_ || error_ != LXW_NO_ERROR) return;
        if (column_ == 0 && (!sheet_ || (row_ > 1 && sheetRow() == 1))) nextSheet();
        const lxw_row_t row = lxw_row_t(sheetRow());
        const lxw_col_t column = lxw_col_t(column_);
        lxw_error error;
        if (value) {
            error = worksheet_write_number(sheet_, row, column, *value, numberFormat(decimals));
            char shown[64];
            std::snprintf(shown, sizeof shown, "%.*f", decimals, *value);
            widen(codePoints(shown));
        } else {
            error = worksheet_write_string(sheet_, row, column, std::string(shown).c_str(), row_ == 0 ? bold_ : nullptr);
            widen(codePoints(shown));
        }
        if (row_ == 0) pending_.emplace_back(shown);
        if (error != LXW_NO_ERROR) error_ = error;
        ++column_;
    }

    // The row within the current sheet: each sheet has its header on row 0.
    size_t sheetRow() const { return row_ == 0 ? 0 : 1 + (row_ - 1) % (sheetRows_ - 1); }

    void nextSheet()
    {
        setWidths();
        sheet_ = workbook_add_worksheet(workbook_, ("Hoja" + std::to_string(++sheets_)).c_str());
        if (!sheet_) {
            error_ = LXW_ERROR_MEMORY_MALLOC_FAILED;
            return;
        }
        worksheet_freeze_panes(sheet_, 1, 0);
        widths_.assign(header_.size(), 0);
        for (size_t c = 0; c < header_.size(); ++c) {
            worksheet_write_string(sheet_, 0, lxw_col_t(c), header_[c].c_str(), bold_);
            widths_[c] = codePoints(header_[c]);
        }
    }

    void widen(size_t chars)
    {
        if (widths_.size() <= column_) widths_.resize(column_ + 1, 0);
        widths_[column_] = std::max(widths_[column_], std::min(chars, kWidestColumn));
    }

    void setWidths()
    {
        if (!sheet_) return;
        for (size_t c = 0; c < widths_.size(); ++c)
            worksheet_set_column(sheet_, lxw_col_t(c), lxw_col_t(c), double(widths_[c]) + 2.0, nullptr);
    }

    lxw_format* numberFormat(int decimals)
    {
        auto& format = numberFormats_[decimals];
        if (!format) {
            format = workbook_add_format(workbook_);
            format_set_num_format(format, decimals > 0 ? ("0." + std::string(size_t(decimals), '0')).c_str() : "0");
        }
        return format;
    }

    Status failed(lxw_error error) const
    {
        return Error::writing(output_.name(), QStringLiteral("no se pudo escribir la hoja de cálculo (%1)")
                                                  .arg(QString::fromUtf8(lxw_strerror(error))));
    }

    FileRef output_;
    std::unique_ptr<QTemporaryFile> file_;
    std::string path_;
    size_t sheetRows_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* bold_ = nullptr;
    std::map<int, lxw_format*> numberFormats_;
    lxw_error error_ = LXW_NO_ERROR;
    size_t row_ = 0, column_ = 0;
    int sheets_ = 0;
    std::vector<std::string> header_, pending_; // the header, and while it is written
    std::vector<size_t> widths_;
};

} // namespace

Result<std::unique_ptr<SheetWriter>> xlsxSheet(const FileRef& output, size_t sheetRows)
{
    // The workbook is made whole in a file of its own, then copied to the
    // output as any file is written: safely, or to the standard output.
    auto file = std::make_unique<QTemporaryFile>();
    if (!file->open()) return Error::writing(output.name(), file->errorString());
    file->close();
    return std::unique_ptr<SheetWriter>(std::make_unique<XlsxSheet>(output, std::move(file), sheetRows));
}

} // namespace solandre
