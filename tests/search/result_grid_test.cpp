// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/reference_search.h"
#include "support/reference_text.h"
#include "search/concordance.h"
#include "support/temp_files.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace solandre {
namespace {

using testing::cp1252;

std::vector<std::string> column(const ResultGrid& grid, int col)
{
    std::vector<std::string> out;
    for (size_t r = 0; r < grid.rows(); ++r) out.emplace_back(grid.text(r, col));
    return out;
}

std::string rowsOf(const ResultGrid& grid)
{
    std::string out;
    for (size_t r = 1; r < grid.rows(); ++r)
        out += (r > 1 ? " " : "") + std::string(grid.text(r, 0)) + std::string(grid.text(r, 1));
    return out;
}


const std::string kText = cp1252("[1] caso Casa.\r\n[2] casas casa.\r\n[3] CASA.\r\n"
                                 "[4] x.\r\n[5] x.\r\n[6] x.\r\n[7] x.\r\n[8] x.\r\n"
                                 "[9] x.\r\n[10] x.\r\n[11] x.\r\n[12] casa caso.\r\n");

TEST(ResultGrid, PreparedGridIsTheHeaderAndOneEmptyRow)
{
    Concordance concordance(kText);
    ResultGrid& grid = concordance.grid();
    EXPECT_EQ(grid.rows(), 2u);
    EXPECT_EQ(column(grid, 0), (std::vector<std::string>{"Forma(s)", ""}));
    EXPECT_EQ(column(grid, 1), (std::vector<std::string>{"Referencia(s)", ""}));
    EXPECT_EQ(grid.hitCount(), 0u);
    EXPECT_FALSE(grid.isHit(1));
    EXPECT_EQ(grid.row(), 0u);
    EXPECT_EQ(grid.col(), 1);
}

TEST(ResultGrid, SearchLeavesHitsPlusOneRowsAndTheCurrentCell)
{
    Concordance concordance(kText);
    ResultGrid& grid = concordance.grid();
    concordance.search("cas*");
    EXPECT_EQ(rowsOf(grid), "caso[1] Casa[1] casas[2] casa[2] CASA[3] casa[12] caso[12]");
    EXPECT_EQ(grid.rows(), 8u);
    EXPECT_EQ(grid.row(), 7u);
    EXPECT_EQ(grid.col(), 1);

    concordance.search("casas");
    EXPECT_EQ(rowsOf(grid), "casas[2]");
    EXPECT_EQ(grid.rows(), 2u);

    concordance.search("nada");
    EXPECT_EQ(grid.rows(), 1u);
    EXPECT_EQ(grid.row(), 0u);
    EXPECT_EQ(grid.col(), 0);
}

TEST(ResultGrid, SortByFormThenMarkerAsText)
{
    Concordance concordance(kText);
    ResultGrid& grid = concordance.grid();
    concordance.search("cas*");
    grid.setColSel(0);
    grid.sort();
    // Case-insensitive: Casa, casa and CASA are one form, ordered by marker
    // as text, so [12] comes before [1] ("2" before "]") and [2].
    EXPECT_EQ(rowsOf(grid), "casa[12] Casa[1] casa[2] CASA[3] casas[2] caso[12] caso[1]");
    EXPECT_EQ(grid.text(0, 0), "Forma(s)");

    concordance.search("cas*");
    EXPECT_EQ(rowsOf(grid), "caso[1] Casa[1] casas[2] casa[2] CASA[3] casa[12] caso[12]");
}

TEST(ResultGrid, MarkersOfOneFormSortByCharacterInEitherEncoding)
{
    // Windows-1252 writes ‰ as 0x89, before § (0xA7): a byte order would
    // sort the two encodings of one text apart. Few hits in a long text are
    // sorted one form at a time, many in one pass over the text.
    const std::string filler = " x x x x x x x x x x x x";
    std::string manyMarkers, manySorted, manySortedAfter; // enough to be sorted by radix
    for (int k = 0; k < 40; ++k) {
        manyMarkers += "[‰] casa.\r\n[§] casa.\r\n";
        manySorted += " casa[§]";
        manySortedAfter += " casa[‰]";
    }
    manySorted = (manySorted + manySortedAfter).substr(1);
    struct Case {
        const char* name;
        std::string text; // UTF-8
        const char* sorted;
    } const cases[] = {
        {"many hits", "[1‰] casa.\r\n[1§] casa.\r\n[1€] casa.\r\n", "casa[1§] casa[1‰] casa[1€]"},
        {"few hits", "[1‰] casa" + filler + ".\r\n[1§] casa" + filler + ".\r\n[1€] casa" + filler + ".\r\n",
         "casa[1§] casa[1‰] casa[1€]"},
        {"many markers", manyMarkers, manySorted.c_str()},
        {"signs that have a case", "[1Ⓑ] casa.\r\n[1ⓐ] casa.\r\n", "casa[1Ⓑ] casa[1ⓐ]"},
    };
    for (const Case& c : cases) {
        for (const Encoding encoding : {Encoding::Windows1252, Encoding::Utf8}) {
            const std::string text = encoding == Encoding::Utf8 ? c.text : cp1252(c.text.c_str());
            if (encoding == Encoding::Windows1252 && toUtf8(text, encoding) != c.text) continue;
            SCOPED_TRACE(std::string(c.name) + (encoding == Encoding::Utf8 ? ", UTF-8" : ", Windows-1252"));
            Concordance concordance(text);
            ASSERT_EQ(concordance.encoding(), encoding);
            concordance.search("casa");
            concordance.sortByForm();
            EXPECT_EQ(toUtf8(rowsOf(concordance.grid()), encoding), c.sorted);
        }
    }
}

TEST(ResultGrid, SortOnTheFormColumnAloneKeepsTextOrderWithinAForm)
{
    Concordance concordance(kText);
    ResultGrid& grid = concordance.grid();
    concordance.search("cas*");
    grid.setCol(0); // where the context viewer leaves it
    grid.sort();
    EXPECT_EQ(rowsOf(grid), "Casa[1] casa[2] CASA[3] casa[12] casas[2] caso[1] caso[12]");
}

TEST(ResultGrid, SortOfTheEmptyGridsChangesNothing)
{
    Concordance concordance(kText);
    ResultGrid& grid = concordance.grid();
    grid.setColSel(0);
    grid.sort();
    EXPECT_EQ(grid.rows(), 2u);
    concordance.search("nada");
    grid.setColSel(0);
    grid.sort();
    EXPECT_EQ(grid.rows(), 1u);
}

TEST(ResultGrid, SortAgreesWithAStableSortOnRandomTextsInBothEncodings)
{
    std::mt19937 random(7);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    // š and Ÿ come after ÿ by code point, before it by Windows-1252 byte.
    const std::vector<std::string> words = {"a", "A", "b", "ab", "Ab", "é", "É", "ba", "z",
                                            "ÿ", "š", "Š", "Ÿa", "œ", "Ž"};
    const std::vector<std::string> unicode = {"ł", "Ł", "σ", "ς", "Ж", "我"};
    // Hand-made files may carry letters between brackets: they go to the
    // words, not to the markers.
    const std::vector<std::string> labels = {"a", "A", "B", "Ab", "b"};
    for (const Encoding encoding : {Encoding::Windows1252, Encoding::Utf8}) {
        for (int round = 0; round < 300; ++round) {
            std::string text;
            const size_t sentences = 1 + pick(30);
            for (size_t s = 1; s <= sentences; ++s) {
                const bool label = pick(4) == 0;
                text += "[" + (label ? labels[pick(labels.size())] : std::to_string(s)) + "]";
                for (size_t w = pick(6); w > 0; --w) {
                    const bool other = encoding == Encoding::Utf8 && pick(4) == 0;
                    const std::string word = other ? unicode[pick(unicode.size())] : words[pick(words.size())];
                    text += " " + (encoding == Encoding::Utf8 ? word : cp1252(word.c_str()));
                }
                text += ".\r\n";
            }
            Concordance concordance(text);
            const Encoding guessed = concordance.encoding(); // ASCII alone reads as Windows-1252
            ResultGrid& grid = concordance.grid();
            auto rowsNow = [&] {
                std::vector<reference::Entry> actual;
                for (size_t r = 1; r < grid.rows(); ++r)
                    actual.push_back({std::string(grid.text(r, 0)), std::string(grid.text(r, 1))});
                return actual;
            };
            const std::string typed = pick(2) ? "*" : "a*";
            concordance.search(QString::fromStdString(typed));
            auto expected = reference::search(reference::wordIndex(text, guessed), typed, guessed);
            const bool formOnly = pick(3) == 0;
            if (formOnly) {
                // As the viewer leaves it: only the form is a key, text order within a form.
                grid.setCol(0);
                std::stable_sort(expected.begin(), expected.end(), [&](const auto& x, const auto& y) {
                    return reference::lower(reference::decode(x.form, guessed)) <
                           reference::lower(reference::decode(y.form, guessed));
                });
            } else {
                reference::sortByForm(expected, guessed);
            }
            // Twice: the second sort starts from rows no longer in text order.
            for (int pass = 0; pass < 2; ++pass) {
                grid.setColSel(0);
                grid.sort();
                ASSERT_EQ(rowsNow(), expected) << "text: " << text;
            }
        }
    }
}

TEST(ResultGrid, RowsGivenInAnyOrderSortLikeASearch)
{
    Concordance concordance(kText);
    ResultGrid& grid = concordance.grid();
    concordance.search("cas*");
    std::vector<reference::Entry> searched;
    for (size_t r = 1; r < grid.rows(); ++r) searched.push_back({std::string(grid.text(r, 0)), std::string(grid.text(r, 1))});
    // The same words, handed in reverse without saying which forms they are.
    WordList reversed;
    for (size_t r = grid.rows() - 1; r >= 1; --r) reversed.push_back(grid.hit(r));
    grid.showHits(std::move(reversed));
    grid.setColSel(0);
    grid.sort();
    EXPECT_EQ(rowsOf(grid), "casa[12] Casa[1] casa[2] CASA[3] casas[2] caso[12] caso[1]");
}

// A million words and more are grouped on two threads, and the markers of a
// numbered text ranked without a sort: the rows must still run by form, then
// by marker as text, then in text order.
TEST(ResultGrid, MillionsOfHitsSortByFormThenMarkerAsText)
{
    std::mt19937 random(11);
    const std::vector<std::string> words = {"de", "la", "casa", "Casa", "CASA", "río", "rio", "sol", "Sol", "mar"};
    std::string text;
    size_t count = 0;
    for (int s = 1; count < (size_t(1) << 20) + 5000; ++s) {
        text += "[" + std::to_string(s) + "]";
        // Now and then a sentence with no word, whose marker has no run.
        const size_t length = random() % 7 == 0 ? 0 : 1 + random() % 12;
        for (size_t w = 0; w < length; ++w)
            text += " " + words[std::min<size_t>(random() % 16, words.size() - 1)];
        count += length;
        text += length ? ".\r\n" : " ...\r\n";
    }
    Concordance concordance(cp1252(text.c_str()));
    ResultGrid& grid = concordance.grid();
    concordance.search("*");
    ASSERT_EQ(grid.hitCount(), count);
    grid.setColSel(0);
    grid.sort();
    std::vector<bool> seen(count, false);
    auto lower = [](std::string form) {
        std::transform(form.begin(), form.end(), form.begin(), [](unsigned char c) { return std::tolower(c); });
        return form;
    };
    std::string formBefore, markerBefore;
    for (size_t r = 1; r < grid.rows(); ++r) {
        const WordId word = grid.hit(r);
        ASSERT_FALSE(seen[word]) << "row " << r;
        seen[word] = true;
        const std::string form = lower(grid.text(r, 0)), marker = grid.text(r, 1);
        if (r > 1) {
            ASSERT_LE(formBefore, form) << "row " << r;
            if (form == formBefore) {
                ASSERT_LE(markerBefore, marker) << "row " << r;
                if (marker == markerBefore) ASSERT_LT(grid.hit(r - 1), word) << "row " << r;
            }
        }
        formBefore = form;
        markerBefore = marker;
    }
}

} // namespace
} // namespace solandre
