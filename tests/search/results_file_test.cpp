// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/reference_search.h"
#include "search/concordance.h"
#include "search/results_file.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>
#include <random>

namespace solandre {
namespace {

using testing::cp1252;

// The file transcribed plainly: the listing lines as a case writes them out,
// then one whole scan of each text per hit (reference::segment).
std::string referenceFile(const ResultsHeading& heading, const std::vector<std::string>& listing,
                          const std::vector<std::string>& markers, std::string_view source,
                          std::string_view target)
{
    std::string f = cp1252(heading.titleLine.toUtf8().constData()) + "\r\n" +
                    cp1252(heading.dateLine.toUtf8().constData()) + "\r\n" + std::string(74, '-') + "\r\n\r\n";
    for (const std::string& line : listing) f += line + "\r\n";
    for (const std::string& marker : markers) {
        f += std::string(74, '-') + "\r\n";
        f += reference::segment(source, marker) + "\r\n";
        if (!target.empty()) f += reference::segment(target, marker) + "\r\n";
    }
    return f;
}

std::string written(const ResultsHeading& heading, const ResultGrid& grid, const EncodedText& source,
                    const EncodedText& target)
{
    std::string out;
    writeResults(heading, grid, source, target, [&](std::string_view p) { out.append(p); });
    return out;
}

// Windows-1252 texts, as most tests here write them.
std::string written(const ResultsHeading& heading, const ResultGrid& grid, std::string_view source,
                    std::string_view target)
{
    return written(heading, grid, {source, Encoding::Windows1252}, {target, Encoding::Windows1252});
}


const std::string kSource = cp1252("[1] Una casa.\r\n[2] Dos casas,\r\nen dos líneas.\r\n"
                                   "[3] Otra casa.\r\n");
const std::string kTarget = "[1] Une maison.\r\n[2] Deux maisons.\r\n";
const ResultsHeading kHeading{QString::fromUtf8("Référencia(s) : Obra"),
                              QString::fromUtf8("búsqueda efectuada el : 07/12/2026 10:30:00")};
const std::string kTitleLine = cp1252("Référencia(s) : Obra");
const std::string kDateLine = cp1252("búsqueda efectuada el : 07/12/2026 10:30:00");

TEST(ResultsFile, HitsWithBothSentencesAndATargetWithFewerRecords)
{
    Concordance concordance(kSource);
    ResultGrid& grid = concordance.grid();
    concordance.search("cas*");
    const std::string sep(74, '-');
    EXPECT_EQ(written(kHeading, grid, kSource, kTarget),
              kTitleLine + "\r\n" + kDateLine + "\r\n" + sep + "\r\n\r\n" +
                  "Forma(s)" + std::string(28, ' ') + "Referencia(s)\r\n" +
                  "casa" + std::string(32, ' ') + "[1]\r\n" +
                  "casas" + std::string(31, ' ') + "[2]\r\n" +
                  "casa" + std::string(32, ' ') + "[3]\r\n" +
                  sep + "\r\n[1] Una casa.\r\n\r\n[1] Une maison.\r\n\r\n" +
                  sep + "\r\n" + cp1252("[2] Dos casas,\r\nen dos líneas.\r\n\r\n") +
                  "[2] Deux maisons.\r\n\r\n" +
                  sep + "\r\n[3] Otra casa.\r\n\r\n\r\n");
}

TEST(ResultsFile, EdgeCasesAgreeWithThePlainTranscription)
{
    const std::string form34(34, 'a'), form35(35, 'b'), form36(36, 'c');
    const std::string padded = "[1] " + form34 + " " + form35 + " " + form36 + ".\r\n" +
                               "[2] x.\r\n[1] repetido casa.\r\n";
    const std::string header = "Forma(s)                            Referencia(s)";
    struct Case {
        const char* name;
        std::string text;
        std::string target;
        const char* form; // nullptr: saving before any search
        ResultsHeading heading;
        std::vector<std::string> listing;
        std::vector<std::string> markers; // of the sentence blocks
    };
    const Case cases[] = {
        {"no hits", kSource, kTarget, "nada", kHeading, {header}, {}},
        {"before any search: a row of 36 blanks and one empty block", kSource, kTarget, nullptr,
         kHeading, {header, "                                    "}, {""}},
        {"forms of 34 letters get two blanks, of 35 and 36 none", padded, kTarget, "*", kHeading,
         {header, form34 + "  [1]", form35 + "[1]", form36 + "[1]",
          "x                                   [2]", "repetido                            [1]",
          "casa                                [1]"},
         {"[1]", "[1]", "[1]", "[2]", "[1]", "[1]"}},
        {"no target", kSource, "", "cas*", kHeading,
         {header, "casa                                [1]", "casas                               [2]",
          "casa                                [3]"},
         {"[1]", "[2]", "[3]"}},
        {"empty title", kSource, kTarget, "casa", {QStringLiteral("Referencia(s): "), "x"},
         {header, "casa                                [1]", "casa                                [3]"},
         {"[1]", "[3]"}},
        {"no markers at all", "uno dos.\r\n", kTarget, "*", kHeading,
         {header, "uno                                 ", "dos                                 "},
         {"", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Concordance concordance(c.text);
        if (c.form) concordance.search(c.form);
        EXPECT_EQ(written(c.heading, concordance.grid(), c.text, c.target),
                  referenceFile(c.heading, c.listing, c.markers, c.text, c.target));
    }
}

TEST(ResultsFile, Utf8WhenATextIsUtf8OrTheTitleDoesNotFitTheCodePage)
{
    const std::string sep(74, '-');
    const std::string utf8Source = "[1] Una canción.\r\n[2] Łódź.\r\n";
    Concordance concordance(utf8Source);
    ASSERT_EQ(concordance.encoding(), Encoding::Utf8);
    concordance.search("*");
    const ResultsHeading heading{"Referencia(s): Łódź", "Búsqueda efectuada el : hoy"};
    // Padding counts characters: "canción" is seven of them.
    EXPECT_EQ(written(heading, concordance.grid(), {utf8Source, Encoding::Utf8}, {kTarget}),
              "\xEF\xBB\xBFReferencia(s): Łódź\r\nBúsqueda efectuada el : hoy\r\n" + sep +
                  "\r\n\r\nForma(s)" + std::string(28, ' ') + "Referencia(s)\r\n" + "Una" +
                  std::string(33, ' ') + "[1]\r\n" + "canción" + std::string(29, ' ') + "[1]\r\n" +
                  "Łódź" + std::string(32, ' ') + "[2]\r\n" + sep +
                  "\r\n[1] Una canción.\r\n\r\n[1] Une maison.\r\n\r\n" + sep +
                  "\r\n[1] Una canción.\r\n\r\n[1] Une maison.\r\n\r\n" + sep +
                  "\r\n[2] Łódź.\r\n\r\n[2] Deux maisons.\r\n\r\n");

    // Windows-1252 texts under a title the code page cannot write: all in UTF-8.
    Concordance twin(kSource);
    twin.search("cas*");
    const std::string file = written(heading, twin.grid(), kSource, kTarget);
    EXPECT_TRUE(file.starts_with("\xEF\xBB\xBFReferencia(s): Łódź\r\n")) << file;
    EXPECT_NE(file.find("[2] Dos casas,\r\nen dos líneas.\r\n"), std::string::npos);

    // A Windows-1252 source beside a UTF-8 target: UTF-8, the source converted.
    const std::string target8 = "[1] Une « maison ».\r\n";
    const std::string mixed = written(kHeading, twin.grid(), {kSource, Encoding::Windows1252},
                                      {target8, Encoding::Utf8});
    EXPECT_TRUE(mixed.starts_with("\xEF\xBB\xBFRéférencia(s) : Obra\r\n"));
    EXPECT_NE(mixed.find("[1] Una casa.\r\n\r\n[1] Une « maison ».\r\n"), std::string::npos);
}

TEST(ResultsFile, AUtf8TextGivesTheFileOfItsWindows1252Twin)
{
    const std::string utf8 = "[1] Canción y œuvre.\r\n[2] Ñandú, canción.\r\n[3] Straße.\r\n";
    const std::string twin = cp1252(utf8.c_str());
    for (const char* typed : {"*", "canción", "*e", "ñandú"}) {
        SCOPED_TRACE(typed);
        Concordance a(utf8), b(twin);
        a.search(QString::fromUtf8(typed));
        b.search(QString::fromUtf8(typed));
        a.sortByForm();
        b.sortByForm();
        const std::string fromUtf8 = written(kHeading, a.grid(), {utf8, Encoding::Utf8}, {kTarget});
        const std::string fromTwin = written(kHeading, b.grid(), twin, kTarget);
        EXPECT_EQ(fromUtf8, std::string(kUtf8Mark) + toUtf8(fromTwin, Encoding::Windows1252));
    }
}

TEST(ResultsFile, SegmentsAgreeWithTheWholeScanOnRandomTexts)
{
    std::mt19937 random(11);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    const char* pieces[] = {"[", "]", "1", "2", " ", "a", "\r\n", "[1] ", "[2] ", "[12] ", "x."};
    const std::vector<std::string> markers = {"[1]", "[2]", "[12]", "[", "[1", "", "[1]]", "]", "[3]"};
    for (int round = 0; round < 5000; ++round) {
        std::string text;
        for (size_t k = pick(40); k > 0; --k) text += pieces[pick(std::size(pieces))];
        const auto segments = findSegments(text, markers);
        for (const std::string& m : markers) {
            const auto it = segments.find(m);
            ASSERT_EQ(it == segments.end() ? std::string() : it->second, reference::segment(text, m))
                << "text: " << text << " marker: " << m;
        }
    }
}

TEST(ResultsFile, APhraseIsListedAsTheGridShowsItWithItsSentences)
{
    Concordance concordance(kSource);
    ASSERT_EQ(concordance.search("dos casas en"), 1u);
    const std::string file = written(kHeading, concordance.grid(), kSource, kTarget);
    EXPECT_NE(file.find("Dos casas,\r\nen"), std::string::npos); // the sentence as it is
    EXPECT_NE(file.find("Dos casas, en" + std::string(36 - 13, ' ') + "[2]\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("[2] Deux maisons."), std::string::npos);
}

TEST(ResultsFile, SavedThroughATemporaryAndDatedAsItsDay)
{
    testing::TempDir dir;
    Concordance concordance(kSource);
    ResultGrid& grid = concordance.grid();
    concordance.search("casa");
    const QString path = dir.path("resultados");
    ASSERT_TRUE(saveResults(path, kHeading, grid, {kSource}, {kTarget}).ok());
    EXPECT_EQ(testing::readBytes(path), written(kHeading, grid, kSource, kTarget));
    EXPECT_EQ(dir.entries(), QStringList{"resultados"});

    EXPECT_EQ(formatSearchDate(QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3))), "07/12/2026 09:05:03");
    EXPECT_EQ(formatSearchDate(QDateTime(QDate(2026, 12, 7), QTime(0, 0))), "07/12/2026");
}

} // namespace
} // namespace solandre
