// SPDX-License-Identifier: GPL-3.0-or-later
// The export of concordance lines against the reading of both texts: the
// first line is the typed form (its first byte's parity picks CSV or TSV),
// then the source text, a form feed, and the target text, each read by the
// encoding rule. The file is read back field by field as RFC 4180 says and
// compared with the lines and sentences read off the texts.
#include "fuzz_input.h"
#include "search/concordance.h"
#include "search/reference_lines.h"
#include "search/reference_search.h"
#include "study/export_file.h"
#include "support/delimited_reader.h"
#include "support/reference_text.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace solandre;
using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto [typed, texts] = fuzz::argumentAndText(data, size);
    const size_t feed = texts.find('\f');
    const std::string_view sourceFile = texts.substr(0, feed);
    const std::string_view targetFile = feed == std::string_view::npos ? std::string_view() : texts.substr(feed + 1);
    const std::string typedUtf8 = toUtf8(typed, Encoding::Windows1252);
    if (!Query::read(QString::fromStdString(typedUtf8)).value().singleForm()) return 0;
    const ExportFormat format = !typed.empty() && (typed[0] & 1) ? ExportFormat::Csv : ExportFormat::Tsv;

    Concordance concordance(sourceFile);
    concordance.search(QString::fromStdString(typedUtf8));
    const ConcordanceLines lines = ConcordanceLines::ofGrid(concordance.grid());
    const TextFile target = TextFile::fromBytes(std::string(targetFile));
    const std::optional<SentenceTable> s = SentenceTable::build(concordance.text(), concordance.encoding());
    const std::optional<SentenceTable> t = SentenceTable::build(target.text(), target.encoding());
    std::string out;
    const std::unique_ptr<SheetWriter> sheet =
        delimitedSheet(format, [&](std::string_view piece) { out.append(piece); });
    check(writeExport(lines, *s, *t, *sheet), "export");
    check(sheet->commit().ok(), "commit");

    check(out.starts_with("\xEF\xBB\xBF"), "mark");
    const auto rows = solandre::testing::parseDelimited(std::string_view(out).substr(3), format == ExportFormat::Csv ? ',' : '\t');
    const reference::ReadText source = reference::asRead(sourceFile), translation = reference::asRead(targetFile);
    const auto expected =
        reference::concordanceLines(source.text, typedUtf8, source.encoding, ConcordanceLines::kContext);
    check(rows.size() == expected.size() + 1, "rows");
    // Longer than any sentence's marker, a marker has no sentence.
    auto sentence = [](std::string_view text, const std::string& marker, Encoding from) {
        if (marker.empty() || marker.size() > SentenceTable::kMaxMarker) return std::string();
        return toUtf8(sentenceOfRecord(reference::segment(text, marker), marker), from);
    };
    // A marker as the file shows it: its blanks and line breaks folded to
    // one blank, cut (with an ellipsis) past the length of any marker.
    auto shown = [](const std::string& utf8, const std::string& field) {
        std::string folded;
        for (const char c : utf8) {
            const bool blank = static_cast<unsigned char>(c) <= ' ';
            if (!(blank && !folded.empty() && folded.back() == ' '))
                folded += blank ? ' ' : c;
        }
        if (field == folded) return true;
        const std::string ellipsis = "\u2026";
        return field.ends_with(ellipsis) && folded.starts_with(field.substr(0, field.size() - ellipsis.size())) &&
               field.size() - ellipsis.size() <= SentenceTable::kMaxMarker;
    };
    // In CSV a text that a spreadsheet would run as a formula (it begins with
    // "=", "+", "-", "@", a tab or a carriage return) is written after an
    // apostrophe.
    auto written = [format](std::string text) {
        const bool formula = !text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' ||
                                               text[0] == '@' || text[0] == '\t' || text[0] == '\r');
        return format == ExportFormat::Csv && formula ? "'" + text : text;
    };
    for (size_t k = 0; k < expected.size(); ++k) {
        const reference::Line& e = expected[k];
        check(rows[k + 1].size() == 6 && shown(toUtf8(e.marker, source.encoding), rows[k + 1][1]), "marker");
        const std::vector<std::string> wanted = {
            written(toUtf8(e.form, source.encoding)), rows[k + 1][1], written(toUtf8(e.left, source.encoding)),
            written(toUtf8(e.right, source.encoding)),
            written(e.marker.empty() ? "" : sentence(source.text, e.marker, source.encoding)),
            written(e.marker.empty() ? ""
                                     : sentence(translation.text, toUtf8(e.marker, source.encoding), translation.encoding))};
        if (rows[k + 1] != wanted)
            for (size_t f = 0; f < wanted.size() && f < rows[k + 1].size(); ++f)
                if (rows[k + 1][f] != wanted[f])
                    std::fprintf(stderr, "field %zu of line %zu: '%s', read '%s'\n", f, k, rows[k + 1][f].c_str(),
                                 wanted[f].c_str());
        check(rows[k + 1] == wanted, "fields");
    }
    return 0;
}
