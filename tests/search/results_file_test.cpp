#include "search/reference_search.h"
#include "search/concordance.h"
#include "search/results_file.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>
#include <random>

namespace solandre {
namespace {

using testing::cp1252;

// The file's lines transcribed plainly: one whole scan of the text per row
// (reference::segment), the listing padded character by character.
std::string referenceFile(const std::string& title, const std::string& date,
                          const std::vector<std::pair<std::string, std::string>>& rows,
                          std::string_view source, std::string_view target)
{
    std::string f = title + "\r\n" + date + "\r\n" + std::string(74, '-') + "\r\n\r\n";
    for (const auto& [form, marker] : rows) {
        std::string l = form;
        if (form.size() < 35)
            for (size_t k = 0; k < 36 - form.size(); ++k) l += " ";
        f += l + marker + "\r\n";
    }
    for (size_t r = 1; r < rows.size(); ++r) {
        f += std::string(74, '-') + "\r\n";
        f += reference::segment(source, rows[r].second) + "\r\n";
        if (!target.empty()) f += reference::segment(target, rows[r].second) + "\r\n";
    }
    return f;
}

std::vector<std::pair<std::string, std::string>> rowsOf(const ResultGrid& grid)
{
    std::vector<std::pair<std::string, std::string>> rows;
    for (size_t r = 0; r < grid.rows(); ++r)
        rows.emplace_back(std::string(grid.text(r, 0)), std::string(grid.text(r, 1)));
    return rows;
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
    struct Case {
        const char* name;
        std::string text;
        std::string target;
        const char* form; // nullptr: saving before any search
        ResultsHeading heading;
    };
    const Case cases[] = {
        {"no hits", kSource, kTarget, "nada", kHeading},
        {"before any search", kSource, kTarget, nullptr, kHeading},
        {"forms of 34, 35 and 36 letters", padded, kTarget, "*", kHeading},
        {"no target", kSource, "", "cas*", kHeading},
        {"empty title", kSource, kTarget, "casa", {cp1252("Referencia(s): "), "x"}},
        {"repeated marker", padded, kTarget, "casa", kHeading},
        {"no markers at all", "uno dos.\r\n", kTarget, "*", kHeading},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Concordance concordance(c.text);
        ResultGrid& grid = concordance.grid();
        if (c.form) concordance.search(c.form);
        EXPECT_EQ(written(c.heading, grid, c.text, c.target),
                  referenceFile(c.heading.titleLine, c.heading.dateLine, rowsOf(grid), c.text, c.target));
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
