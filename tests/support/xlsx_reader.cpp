// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/xlsx_reader.h"

#include "support/temp_files.h"

#include <QXmlStreamReader>
#include <cstdint>
#include <zlib.h>

namespace solandre::testing {
namespace {

std::uint32_t le(const std::string& b, size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int k = bytes - 1; k >= 0; --k) v = (v << 8) | static_cast<unsigned char>(b[at + size_t(k)]);
    return v;
}

// Every entry of a zip file by name, inflated.
std::optional<std::map<std::string, std::string>> unzip(const std::string& zip, std::string& why)
{
    const size_t end = zip.rfind(std::string("PK\x05\x06", 4));
    if (end == std::string::npos || end + 22 > zip.size()) return why = "no end of central directory", std::nullopt;
    const std::uint32_t entries = le(zip, end + 10, 2);
    size_t at = le(zip, end + 16, 4);
    std::map<std::string, std::string> files;
    for (std::uint32_t e = 0; e < entries; ++e) {
        if (at + 46 > zip.size() || le(zip, at, 4) != 0x02014b50) return why = "bad central entry", std::nullopt;
        const std::uint32_t method = le(zip, at + 10, 2), packed = le(zip, at + 20, 4), size = le(zip, at + 24, 4);
        const std::uint32_t nameLength = le(zip, at + 28, 2), extra = le(zip, at + 30, 2), comment = le(zip, at + 32, 2);
        const std::uint32_t local = le(zip, at + 42, 4);
        const std::string name = zip.substr(at + 46, nameLength);
        at += 46 + nameLength + extra + comment;
        if (local + 30 > zip.size() || le(zip, local, 4) != 0x04034b50) return why = "bad local header " + name, std::nullopt;
        const size_t data = local + 30 + le(zip, local + 26, 2) + le(zip, local + 28, 2);
        if (data + packed > zip.size()) return why = "entry past the end " + name, std::nullopt;
        std::string out(size, '\0');
        if (method == 0) {
            out = zip.substr(data, packed);
        } else if (method == 8) {
            z_stream z{};
            if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return why = "zlib", std::nullopt;
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + data));
            z.avail_in = packed;
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = size;
            const int status = inflate(&z, Z_FINISH);
            inflateEnd(&z);
            if (status != Z_STREAM_END || z.total_out != size) return why = "cannot inflate " + name, std::nullopt;
        } else {
            return why = "unknown method in " + name, std::nullopt;
        }
        files[name] = std::move(out);
    }
    return files;
}

std::string attribute(const QXmlStreamReader& xml, const char* name)
{
    return xml.attributes().value(QLatin1String(name)).toString().toStdString();
}

// Column of a cell reference: "C7" -> 2.
int columnOf(const std::string& ref)
{
    int column = 0;
    for (const char c : ref) {
        if (c < 'A' || c > 'Z') break;
        column = column * 26 + (c - 'A' + 1);
    }
    return column - 1;
}

// A string's "_xHHHH_" escapes as a spreadsheet reads them: the character
// of that code (control characters have no other way into XML).
std::string unescaped(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        bool hex = false;
        const uint code = i + 7 <= text.size() && text.mid(i, 2) == QLatin1String("_x") && text[i + 6] == u'_'
                              ? text.mid(i + 2, 4).toUInt(&hex, 16)
                              : 0;
        if (hex) {
            out += QChar(char16_t(code));
            i += 6;
        } else {
            out += text[i];
        }
    }
    return out.toStdString();
}

} // namespace

std::optional<XlsxBook> readXlsx(const QString& path, std::string* why)
{
    std::string ignored;
    std::string& reason = why ? *why : ignored;
    const auto files = unzip(readBytes(path), reason);
    if (!files) return std::nullopt;
    auto entry = [&](const std::string& name) -> const std::string* {
        const auto it = files->find(name);
        return it == files->end() ? nullptr : &it->second;
    };

    std::vector<std::string> shared;
    if (const std::string* strings = entry("xl/sharedStrings.xml")) {
        QXmlStreamReader xml(QByteArray::fromStdString(*strings));
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("si"))
                shared.push_back(unescaped(xml.readElementText(QXmlStreamReader::IncludeChildElements)));
    }
    // Bold styles: the cell formats' fonts.
    std::vector<bool> boldFonts, boldStyles;
    if (const std::string* styles = entry("xl/styles.xml")) {
        QXmlStreamReader xml(QByteArray::fromStdString(*styles));
        bool inFonts = false, inXfs = false;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                if (xml.name() == QLatin1String("fonts")) inFonts = true;
                if (xml.name() == QLatin1String("cellXfs")) inXfs = true;
                if (inFonts && xml.name() == QLatin1String("font")) boldFonts.push_back(false);
                if (inFonts && xml.name() == QLatin1String("b") && !boldFonts.empty()) boldFonts.back() = true;
                if (inXfs && xml.name() == QLatin1String("xf")) {
                    const size_t font = std::stoul("0" + attribute(xml, "fontId"));
                    boldStyles.push_back(font < boldFonts.size() && boldFonts[font]);
                }
            } else if (token == QXmlStreamReader::EndElement) {
                if (xml.name() == QLatin1String("fonts")) inFonts = false;
                if (xml.name() == QLatin1String("cellXfs")) inXfs = false;
            }
        }
    }

    XlsxBook book;
    const std::string* workbook = entry("xl/workbook.xml");
    if (!workbook) return reason = "no workbook", std::nullopt;
    QXmlStreamReader names(QByteArray::fromStdString(*workbook));
    std::vector<std::string> sheetNames;
    while (!names.atEnd())
        if (names.readNext() == QXmlStreamReader::StartElement && names.name() == QLatin1String("sheet"))
            sheetNames.push_back(attribute(names, "name"));
    for (size_t s = 0; s < sheetNames.size(); ++s) {
        const std::string* data = entry("xl/worksheets/sheet" + std::to_string(s + 1) + ".xml");
        if (!data) return reason = "no sheet " + std::to_string(s + 1), std::nullopt;
        XlsxSheet sheet;
        sheet.name = sheetNames[s];
        QXmlStreamReader xml(QByteArray::fromStdString(*data));
        XlsxCell* cell = nullptr;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token != QXmlStreamReader::StartElement) continue;
            const auto name = xml.name();
            if (name == QLatin1String("pane")) {
                sheet.headerFrozen = attribute(xml, "state") == "frozen" && attribute(xml, "ySplit") == "1";
            } else if (name == QLatin1String("col")) {
                for (int c = std::stoi(attribute(xml, "min")); c <= std::stoi(attribute(xml, "max")); ++c)
                    sheet.widths[c - 1] = std::stod(attribute(xml, "width"));
            } else if (name == QLatin1String("row")) {
                sheet.rows.emplace_back();
            } else if (name == QLatin1String("c") && !sheet.rows.empty()) {
                auto& row = sheet.rows.back();
                const int column = columnOf(attribute(xml, "r"));
                if (column >= 0 && size_t(column) >= row.size()) row.resize(size_t(column) + 1);
                cell = &row[size_t(std::max(column, 0))];
                cell->type = attribute(xml, "t");
                const std::string style = attribute(xml, "s");
                cell->bold = !style.empty() && std::stoul(style) < boldStyles.size() && boldStyles[std::stoul(style)];
            } else if (cell && name == QLatin1String("f")) {
                cell->formula = true;
            } else if (cell && name == QLatin1String("v")) {
                const std::string value = xml.readElementText().toStdString();
                cell->text = cell->type == "s" && std::stoul(value) < shared.size() ? shared[std::stoul(value)] : value;
            } else if (cell && name == QLatin1String("is")) {
                cell->text = unescaped(xml.readElementText(QXmlStreamReader::IncludeChildElements));
            }
        }
        if (xml.hasError()) return reason = "sheet XML: " + xml.errorString().toStdString(), std::nullopt;
        book.sheets.push_back(std::move(sheet));
    }
    return book;
}

std::vector<std::string> rowTexts(const XlsxSheet& sheet)
{
    std::vector<std::string> rows;
    for (const auto& row : sheet.rows) {
        std::string text;
        for (size_t c = 0; c < row.size(); ++c) text += (c ? "|" : "") + row[c].text;
        rows.push_back(text);
    }
    return rows;
}

} // namespace solandre::testing
