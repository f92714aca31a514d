// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/concordance.h"
#include "search/frequencies.h"
#include "search/reference_lines.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>
#include <random>

namespace solandre {
namespace {

using testing::cp1252;

// "form count" pairs, UTF-8.
std::string listing(const WordIndex& index, const std::vector<FormFrequency>& list)
{
    std::string out;
    for (const FormFrequency& f : list)
        out += (out.empty() ? "" : " ") + std::string(index.lowerForm(f.rank)) + " " + std::to_string(f.count);
    return out;
}

TEST(Frequencies, EachMatchingFormLowerCasedWithItsHitsInEitherOrder)
{
    Concordance concordance(cp1252("[1] Casa casa CASA casas.\r\n[2] Cántaro canto casas cama.\r\n"));
    concordance.search("ca*");
    std::vector<FormFrequency> list = countForms(concordance.grid());
    // "Cántaro" does not start with "ca": accents count.
    EXPECT_EQ(listing(concordance.index(), list), "cama 1 canto 1 casa 3 casas 2");
    sortFrequencies(list, FrequencyOrder::ByCount);
    EXPECT_EQ(listing(concordance.index(), list), "casa 3 casas 2 cama 1 canto 1");
    sortFrequencies(list, FrequencyOrder::Alphabetical);
    EXPECT_EQ(listing(concordance.index(), list), "cama 1 canto 1 casa 3 casas 2");
}

TEST(Frequencies, RowsGivenWithoutTheirFormsAreCountedAlike)
{
    Concordance concordance(cp1252("[1] Casa casa CASA casas.\r\n[2] canto casas.\r\n"));
    concordance.search("ca*");
    ResultGrid& grid = concordance.grid();
    WordList rows;
    for (size_t r = grid.rows() - 1; r >= 1; --r) rows.push_back(grid.hit(r));
    grid.showHits(std::move(rows));
    EXPECT_EQ(listing(concordance.index(), countForms(grid)), "canto 1 casa 3 casas 2");
}

TEST(Frequencies, NoHitsNoForms)
{
    Concordance concordance(cp1252("[1] casa.\r\n"));
    EXPECT_TRUE(countForms(concordance.grid()).empty()) << "before any search";
    concordance.search("nada");
    EXPECT_TRUE(countForms(concordance.grid()).empty());
    EXPECT_TRUE(countForms(Concordance().grid()).empty());
}

TEST(Frequencies, APhraseCountsEachDistinctTextMatchedLowerCased)
{
    Concordance concordance(cp1252("[1] La Casa del río.\r\n[2] la casa del\r\nRío; la casa, del río.\r\n"));
    ASSERT_EQ(concordance.search("la casa del r*"), 3u);
    std::vector<FormFrequency> list = countForms(concordance.grid());
    auto shown = [&] {
        std::string out;
        for (const FormFrequency& f : list)
            out += (out.empty() ? "" : " / ") + std::string(frequencyText(concordance.index(), f)) + " " +
                   std::to_string(f.count);
        return out;
    };
    // A line break reads as a blank; signs between the words count.
    EXPECT_EQ(shown(), "la casa del r\xC3\xADo 2 / la casa, del r\xC3\xADo 1");
    sortFrequencies(list, FrequencyOrder::Alphabetical);
    EXPECT_EQ(shown(), "la casa del r\xC3\xADo 2 / la casa, del r\xC3\xADo 1");
}

TEST(Frequencies, AgreeWithTheCharacterByCharacterCountOnRandomTexts)
{
    std::mt19937 random(5);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    const std::vector<std::string> words = {"a", "A", "ab", "Ab", "é", "É", "ÿ", "š", "Ÿa", "œ", "Œ", "ß", "σ", "ς", "Σ"};
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int s = 1; s <= 1 + int(pick(20)); ++s) {
            text += "[" + std::to_string(s) + "]";
            for (size_t w = pick(6); w > 0; --w) text += " " + words[pick(words.size())];
            text += ".\r\n";
        }
        Concordance concordance(text);
        for (const char* typed : {"*", "a*", "*a"}) {
            concordance.search(typed);
            std::string expected, actual = listing(concordance.index(), countForms(concordance.grid()));
            for (const auto& [form, count] : reference::frequencies(text, typed, concordance.encoding()))
                expected += (expected.empty() ? "" : " ") + form + " " + std::to_string(count);
            ASSERT_EQ(actual, expected) << text << typed;
        }
    }
}

} // namespace
} // namespace solandre
