// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/export_file.h"

#include "common/same_file.h"
#include "common/text_file.h"

#include <algorithm>

namespace solandre {
namespace {

constexpr const char* kHeader[] = {"Forma", "Referencia", "Contexto izquierdo", "Contexto derecho",
                                   "Frase", "Traducción"};

// Runs of blanks and line breaks as one blank, and no longer than a marker
// can be; in UTF-8. Only what is kept is read.
std::string shownMarker(std::string_view marker, Encoding encoding)
{
    std::string kept;
    bool blank = false;
    size_t k = 0;
    // Blanks fold, so the bytes read are bounded as well as those kept.
    for (; k < marker.size() && k < 4 * SentenceTable::kMaxMarker && kept.size() < SentenceTable::kMaxMarker; ++k) {
        const bool isBlank = static_cast<unsigned char>(marker[k]) <= ' ';
        if (!(isBlank && blank)) kept += isBlank ? ' ' : marker[k];
        blank = isBlank;
    }
    const bool cut = k < marker.size();
    if (cut && encoding == Encoding::Utf8) {
        // Not half a character.
        while (!kept.empty() && (static_cast<unsigned char>(kept.back()) & 0xC0) == 0x80) kept.pop_back();
        if (!kept.empty() && static_cast<unsigned char>(kept.back()) >= 0xC0) kept.pop_back();
    }
    return toUtf8(kept, encoding) + (cut ? "…" : "");
}

} // namespace

void writeExportHeader(SheetWriter& sheet)
{
    for (const char* title : kHeader) sheet.text(title);
}

void writeExportCells(SheetWriter& sheet, const ConcordanceLine& line, Encoding encoding, const SentenceTable& source,
                      const SentenceTable& target)
{
    std::string field;
    auto put = [&](std::string_view bytes, Encoding from) {
        field.clear();
        appendAsUtf8(field, bytes, from);
        sheet.text(field);
    };
    put(line.form, encoding);
    put(shownMarker(line.marker, encoding), Encoding::Utf8);
    put(line.left, encoding);
    put(line.right, encoding);
    put(source.sentence(line.marker, encoding), source.encoding());
    put(target.sentence(line.marker, encoding), target.encoding());
}

bool writeExport(const ConcordanceLines& lines, const SentenceTable& source, const SentenceTable& target,
                 SheetWriter& sheet, const Progress& progress)
{
    writeExportHeader(sheet);
    sheet.endRow();

    const Encoding encoding = lines.index() ? lines.index()->encoding() : Encoding::Windows1252;
    for (size_t k = 0; k < lines.size(); ++k) {
        if (k % 4096 == 0 && !goOn(progress, double(k) / double(lines.size()))) return false;
        writeExportCells(sheet, lines.line(k), encoding, source, target);
        sheet.endRow();
    }
    return goOn(progress, 1.0);
}

Result<ExportTexts> ExportTexts::open(const ConcordanceLines& lines, const FileRef& target, const Progress& progress)
{
    ExportTexts texts;
    if (!target.name().isEmpty()) {
        Result<TextFile> read = TextFile::open(target);
        if (!read) return read.error();
        texts.targetText = std::move(read.value());
    }
    auto part = [&](double from, double share) {
        return [&progress, from, share](double done) { return goOn(progress, from + share * done); };
    };
    const std::string_view sourceText = lines.index() ? lines.index()->text() : std::string_view();
    const Encoding sourceEncoding = lines.index() ? lines.index()->encoding() : Encoding::Windows1252;
    auto sourceTable = SentenceTable::build(sourceText, sourceEncoding, part(0.0, 0.5));
    if (!sourceTable) return Error::cancelledByUser();
    auto targetTable = SentenceTable::build(texts.targetText.text(), texts.targetText.encoding(), part(0.5, 0.5));
    if (!targetTable) return Error::cancelledByUser();
    if (!sourceTable->regular() || !targetTable->regular()) {
        // Texts numbered by hand are scanned once for every marker the lines
        // need, as the results file does; their runs name them.
        std::vector<std::uint32_t> runs;
        runs.reserve(lines.size());
        for (size_t k = 0; k < lines.size(); ++k) runs.push_back(lines.index()->markerRun(lines.hit(k)));
        std::sort(runs.begin(), runs.end());
        runs.erase(std::unique(runs.begin(), runs.end()), runs.end());
        std::vector<std::string> markers, targetMarkers;
        for (const std::uint32_t run : runs) {
            const std::string_view marker = lines.index()->markerOfRun(run);
            if (marker.empty() || marker.size() > SentenceTable::kMaxMarker) continue;
            markers.emplace_back(marker);
            if (auto own = markerIn(markers.back(), sourceEncoding, targetTable->encoding()))
                targetMarkers.push_back(std::move(*own));
        }
        sourceTable->gather(markers);
        targetTable->gather(targetMarkers);
    }
    texts.source = std::move(*sourceTable);
    texts.target = std::move(*targetTable);
    return texts;
}

Status exportLines(const FileRef& output, const ConcordanceLines& lines, const FileRef& sourceFile,
                   const FileRef& target, ExportFormat format, const Progress& progress)
{
    if (Status refused = refuseInputAsOutput(output, {sourceFile, target}); !refused) return refused;
    // The places of the records first (a tenth of the work), then the lines.
    Result<ExportTexts> texts =
        ExportTexts::open(lines, target, [&progress](double done) { return goOn(progress, 0.1 * done); });
    if (!texts) return texts.error();
    auto sheet = openSheet(output, format);
    if (!sheet) return sheet.error();
    if (!writeExport(lines, texts.value().source, texts.value().target, *sheet.value(),
                     [&progress](double done) { return goOn(progress, 0.1 + 0.9 * done); }))
        return Error::cancelledByUser();
    return sheet.value()->commit();
}

} // namespace solandre
