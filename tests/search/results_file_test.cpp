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
    std::string f = heading.titleLine + "\r\n" + heading.dateLine + "\r\n" +
                    std::string(74, '-') + "\r\n\r\n";
    for (const std::string& line : listing) f += line + "\r\n";
    for (const std::string& marker : markers) {
        f += std::string(74, '-') + "\r\n";
        f += reference::segment(source, marker) + "\r\n";
        if (!target.empty()) f += reference::segment(target, marker) + "\r\n";
    }
    return f;
}

std::string written(const ResultsHeading& heading, const ResultGrid& grid, std::string_view source,
                    std::string_view target)
{
    std::string out;
    writeResults(heading, grid, source, target, [&](std::string_view p) { out.append(p); });
    return out;
}


const std::string kSource = cp1252("[1] Una casa.\r\n[2] Dos casas,\r\nen dos líneas.\r\n"
                                   "[3] Otra casa.\r\n");
const std::string kTarget = "[1] Une maison.\r\n[2] Deux maisons.\r\n";
const ResultsHeading kHeading{cp1252("Référencia(s) : Obra"), cp1252("búsqueda efectuada el : 07/12/2026 10:30:00")};

TEST(ResultsFile, HitsWithBothSentencesAndATargetWithFewerRecords)
{
    Concordance concordance(kSource);
    ResultGrid& grid = concordance.grid();
    concordance.search("cas*");
    const std::string sep(74, '-');
    EXPECT_EQ(written(kHeading, grid, kSource, kTarget),
              kHeading.titleLine + "\r\n" + kHeading.dateLine + "\r\n" + sep + "\r\n\r\n" +
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
        {"empty title", kSource, kTarget, "casa", {cp1252("Referencia(s): "), "x"},
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

TEST(ResultsFile, SavedThroughATemporaryAndDatedAsItsDay)
{
    testing::TempDir dir;
    Concordance concordance(kSource);
    ResultGrid& grid = concordance.grid();
    concordance.search("casa");
    const QString path = dir.path("resultados");
    ASSERT_TRUE(saveResults(path, kHeading, grid, kSource, kTarget).ok());
    EXPECT_EQ(testing::readBytes(path), written(kHeading, grid, kSource, kTarget));
    EXPECT_EQ(dir.entries(), QStringList{"resultados"});

    EXPECT_EQ(formatSearchDate(QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3))), "07/12/2026 09:05:03");
    EXPECT_EQ(formatSearchDate(QDateTime(QDate(2026, 12, 7), QTime(0, 0))), "07/12/2026");
}

} // namespace
} // namespace solandre
