// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/concordance.h"
#include "search/reference_lines.h"
#include "search/reference_search.h"
#include "study/export_file.h"
#include "support/delimited_reader.h"
#include "support/temp_files.h"
#include "support/xlsx_reader.h"

#include <QFile>
#include <gtest/gtest.h>
#include <random>

namespace solandre {
namespace {

using testing::cp1252;
using testing::parseDelimited;
using testing::readBytes;
using testing::TempDir;

const std::string kHeader = "\xEF\xBB\xBF" "Forma\tReferencia\tContexto izquierdo\tContexto derecho\tFrase\tTraducción\r\n";

std::string exported(const ConcordanceLines& lines, std::string_view source, Encoding sourceEncoding,
                     std::string_view target, Encoding targetEncoding, ExportFormat format)
{
    SentenceTable s = *SentenceTable::build(source, sourceEncoding);
    SentenceTable t = *SentenceTable::build(target, targetEncoding);
    std::string out;
    const auto sheet = delimitedSheet(format, [&](std::string_view piece) { out.append(piece); });
    EXPECT_TRUE(writeExport(lines, s, t, *sheet));
    EXPECT_TRUE(sheet->commit().ok());
    return out;
}

TEST(ExportFile, OneLinePerHitWithBothSentencesInUtf8)
{
    const std::string source = cp1252("[1] Una casa, dijo \"él\".\r\n[2] La casa\tvieja,\r\nen dos líneas.\r\n");
    const std::string target = "[1] Une maison.\r\n"; // UTF-8, and without a second sentence
    Concordance concordance(source);
    concordance.search("casa");
    const ConcordanceLines lines = ConcordanceLines::ofGrid(concordance.grid());
    EXPECT_EQ(exported(lines, source, Encoding::Windows1252, target, Encoding::Utf8, ExportFormat::Tsv),
              kHeader + "casa\t[1]\tUna\t\", dijo \"\"él\"\".\"\t\"Una casa, dijo \"\"él\"\".\"\tUne maison.\r\n"
                        "casa\t[2]\tLa\tvieja, en dos líneas.\t\"La casa\tvieja,\r\nen dos líneas.\"\t\r\n");
    const std::string csv = exported(lines, source, Encoding::Windows1252, target, Encoding::Utf8, ExportFormat::Csv);
    EXPECT_TRUE(csv.starts_with("\xEF\xBB\xBF" "Forma,Referencia,Contexto izquierdo,")) << csv;
    EXPECT_NE(csv.find("casa,[2],La,\"vieja, en dos líneas.\",\"La casa\tvieja,\r\nen dos líneas.\",\r\n"),
              std::string::npos)
        << csv;
}

TEST(ExportFile, APhraseIsTheFormWithTheContextsAroundIt)
{
    const std::string source = cp1252("[1] Una casa\r\nvieja, dijo.\r\n");
    const std::string target = "[1] Une vieille maison.\r\n";
    Concordance concordance(source);
    ASSERT_EQ(concordance.search("casa vieja"), 1u);
    const ConcordanceLines lines = ConcordanceLines::ofGrid(concordance.grid());
    EXPECT_EQ(exported(lines, source, Encoding::Windows1252, target, Encoding::Utf8, ExportFormat::Tsv),
              kHeader + "casa vieja\t[1]\tUna\t, dijo.\t\"Una casa\r\nvieja, dijo.\"\tUne vieille maison.\r\n");
}

TEST(ExportFile, AgreesWithTheReadingOfBothTextsOnRandomPairs)
{
    std::mt19937 random(17);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    const std::vector<std::string> words = {"casa", "Casa", "él", "a", " ", ", ", "\"", "\t", "\r\n", ".", "œ", "ß",
                                            "-", "=", "@"};
    for (int round = 0; round < 200; ++round) {
        // Numbered, or numbered by hand with a marker twice and one missing.
        std::string source, target;
        const bool regular = pick(2);
        const size_t sentences = 1 + pick(12);
        for (size_t s = 1; s <= sentences; ++s) {
            const size_t n = regular ? s : 1 + pick(sentences);
            source += "[" + std::to_string(n) + "] ";
            target += "[" + std::to_string(regular ? s : 1 + pick(sentences)) + "] ";
            for (size_t w = pick(8); w > 0; --w) source += cp1252(words[pick(words.size())].c_str());
            for (size_t w = pick(8); w > 0; --w) target += words[pick(words.size())];
            source += ".\r\n";
            target += ".\r\n";
        }
        Concordance concordance(source);
        const Encoding encoding = concordance.encoding();
        const Encoding targetEncoding = guessEncoding(target).encoding == FileEncoding::Utf8 ? Encoding::Utf8
                                                                                            : Encoding::Windows1252;
        concordance.search("*");
        const ConcordanceLines lines = ConcordanceLines::ofGrid(concordance.grid());
        const ExportFormat format = pick(2) ? ExportFormat::Csv : ExportFormat::Tsv;
        TempDir dir;
        const QString sourcePath = dir.write("source.txt", source), targetPath = dir.write("target.txt", target);
        ASSERT_TRUE(exportLines(dir.path("out"), lines, sourcePath, targetPath, format).ok());
        const auto rows = parseDelimited(std::string_view(readBytes(dir.path("out"))).substr(3),
                                format == ExportFormat::Csv ? ',' : '\t');
        const auto expected = reference::concordanceLines(source, "*", encoding, ConcordanceLines::kContext);
        ASSERT_EQ(rows.size(), expected.size() + 1) << source;
        auto sentence = [](std::string_view text, const std::string& marker, Encoding from) {
            const std::string record = reference::segment(text, marker);
            return toUtf8(sentenceOfRecord(record, marker), from);
        };
        for (size_t k = 0; k < expected.size(); ++k) {
            const auto& e = expected[k];
            const std::vector<std::string> fields = {
                toUtf8(e.form, encoding), toUtf8(e.marker, encoding), toUtf8(e.left, encoding),
                toUtf8(e.right, encoding), e.marker.empty() ? "" : sentence(source, e.marker, encoding),
                e.marker.empty() ? "" : sentence(target, toUtf8(e.marker, encoding), targetEncoding)};
            std::vector<std::string> written = fields;
            // In CSV a text a spreadsheet would run as a formula shows as text.
            if (format == ExportFormat::Csv)
                for (std::string& field : written)
                    if (!field.empty() && std::string_view("=+-@\t\r").find(field[0]) != std::string_view::npos)
                        field.insert(0, "'");
            ASSERT_EQ(rows[k + 1], written) << "source: " << source << "\ntarget: " << target << "\nline " << k;
        }
    }
}

// The lines as a spreadsheet opens them: every text a string, the header
// bold and frozen, the sentences whole.
TEST(ExportFile, AWorkbookHoldsTheLinesAsStrings)
{
    TempDir dir;
    const std::string source = cp1252("[1] - Una casa = 3 +1.\r\n[2] @casa\r\nen dos líneas.\r\n");
    const QString sourcePath = dir.write("obra.txt", source);
    const QString targetPath = dir.write("trad.txt", "[1] - Une maison.\r\n[2] =maison.\r\n");
    Concordance concordance;
    ASSERT_TRUE(concordance.load(sourcePath).ok());
    concordance.search("casa");
    ASSERT_TRUE(exportLines(dir.path("lineas.xlsx"), ConcordanceLines::ofGrid(concordance.grid()), sourcePath,
                            targetPath, ExportFormat::Xlsx)
                    .ok());
    std::string why;
    const auto book = testing::readXlsx(dir.path("lineas.xlsx"), &why);
    ASSERT_TRUE(book) << why;
    ASSERT_EQ(book->sheets.size(), 1u);
    const testing::XlsxSheet& sheet = book->sheets[0];
    EXPECT_EQ(testing::rowTexts(sheet),
              (std::vector<std::string>{"Forma|Referencia|Contexto izquierdo|Contexto derecho|Frase|Traducción",
                                        "casa|[1]|- Una|= 3 +1.|- Una casa = 3 +1.|- Une maison.",
                                        "casa|[2]|@|en dos líneas.|@casa\r\nen dos líneas.|=maison."}))
        << "a line break inside a sentence is kept";
    for (const auto& row : sheet.rows)
        for (const auto& cell : row) {
            EXPECT_TRUE(cell.type == "s" || cell.type == "inlineStr") << cell.text;
            EXPECT_FALSE(cell.formula) << cell.text;
        }
    EXPECT_TRUE(sheet.headerFrozen);
    EXPECT_TRUE(sheet.rows[0][0].bold);
    EXPECT_FALSE(sheet.rows[1][0].bold);
}

TEST(ExportFile, RefusesATextAsItsOutputAndReportsWhatItCannotRead)
{
    TempDir dir;
    const std::string text = cp1252("[1] casa.\r\n");
    const QString source = dir.write("obra.txt", text), target = dir.write("traduccion.txt", "[1] maison.\r\n");
    Concordance concordance;
    ASSERT_TRUE(concordance.load(source).ok());
    concordance.search("casa");
    const ConcordanceLines lines = ConcordanceLines::ofGrid(concordance.grid());
    struct Case { const char* name; QString output; QString target; QString named; };
    const Case cases[] = {
        {"the source", source, target, source},
        {"the target", target, target, target},
        {"the source by another name", dir.root() + "/./obra.txt", target, dir.root() + "/./obra.txt"},
        {"a target that is not there", dir.path("salida.csv"), dir.path("perdida.txt"), dir.path("perdida.txt")},
        {"a folder that is not there", dir.path("no/salida.csv"), target, dir.path("no/salida.csv")},
    };
    for (const Case& c : cases) {
        const Status status = exportLines(c.output, lines, source, c.target, ExportFormat::Csv);
        ASSERT_FALSE(status.ok()) << c.name;
        EXPECT_TRUE(status.error().message.contains(c.named)) << c.name << ": " << status.error().message.toStdString();
        EXPECT_EQ(readBytes(source), text) << c.name;
        EXPECT_EQ(readBytes(target), "[1] maison.\r\n") << c.name;
    }
    EXPECT_EQ(dir.entries(), (QStringList{"obra.txt", "traduccion.txt"}));
}

TEST(ExportFile, AStoppedExportLeavesTheOldFileAsItWas)
{
    TempDir dir;
    std::string text;
    for (int s = 1; s <= 20000; ++s) text += "[" + std::to_string(s) + "] una casa.\r\n";
    Concordance concordance(text);
    concordance.search("casa");
    const ConcordanceLines lines = ConcordanceLines::ofGrid(concordance.grid());
    const QString old = dir.write("lineas.tsv", "antes");
    for (const ExportFormat format : {ExportFormat::Tsv, ExportFormat::Csv, ExportFormat::Xlsx}) {
        const Status status = exportLines(old, lines, QString(), QString(), format,
                                          [](double done) { return done < 0.5; });
        ASSERT_FALSE(status.ok());
        EXPECT_TRUE(status.error().cancelled);
        EXPECT_EQ(readBytes(old), "antes");
        EXPECT_EQ(dir.entries(), QStringList{"lineas.tsv"});
    }
    // Without a target the last column is empty.
    ASSERT_TRUE(exportLines(old, lines, QString(), QString(), ExportFormat::Tsv).ok());
    EXPECT_NE(readBytes(old).find("casa\t[20000]\tuna\t.\tuna casa.\t\r\n"), std::string::npos);
}

} // namespace
} // namespace solandre
