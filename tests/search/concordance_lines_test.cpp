// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/concordance.h"
#include "search/concordance_lines.h"
#include "search/reference_lines.h"
#include "support/reference_text.h"
#include "support/temp_files.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

namespace solandre {
namespace {

using testing::cp1252;

ConcordanceLines linesOf(Concordance& concordance, const char* typed)
{
    concordance.search(QString::fromUtf8(typed));
    return ConcordanceLines::ofGrid(concordance.grid());
}

// "left|form|right marker" per line, UTF-8.
std::string shown(const ConcordanceLines& lines, Encoding encoding, size_t context = ConcordanceLines::kContext)
{
    std::string out;
    for (size_t k = 0; k < lines.size(); ++k) {
        const ConcordanceLine l = lines.line(k, context);
        out += (k ? " / " : "") + toUtf8(l.left, encoding) + "|" + toUtf8(l.form, encoding) + "|" +
               toUtf8(l.right, encoding) + " " + toUtf8(l.marker, encoding);
    }
    return out;
}

TEST(ConcordanceLines, ShowTheSentenceAroundEachHit)
{
    struct Case {
        const char* name;
        const char* text; // UTF-8 here, Windows-1252 in the test
        const char* typed;
        size_t context;
        const char* expected;
    };
    const Case cases[] = {
        {"contexts stop at the markers", "[1] La casa blanca.\r\n[2] Otra casa.\r\n", "casa", 60,
         "La|casa|blanca. [1] / Otra|casa|. [2]"},
        {"line breaks and tabs fold to one blank", "[1] Una\r\n\tvieja  casa\r\nal sol.\r\n[2] x.", "casa", 60,
         "Una vieja|casa|al sol. [1]"},
        {"a word the cut goes through is left out", "[1] abcdef ghij casa klmno pqrstu.\r\n", "casa", 8,
         "ghij|casa|klmno [1]"},
        {"a cut between words keeps both ends whole", "[1] abc ghij casa klmn pq.\r\n", "casa", 6,
         "ghij|casa|klmn [1]"},
        {"the form as written, capitals and accents", "[1] CASA y Casa, él.\r\n", "casa", 60,
         "|CASA|y Casa, él. [1] / CASA y|Casa|, él. [1]"},
        {"any bracket ends a context", "[1] dijo [*] casa [nota] fin.\r\n", "casa", 60, "|casa| [*]"},
        {"a hit before any marker has none", "casa [1] x.\r\n", "casa", 60, "|casa| "},
        {"a hit right after its marker", "[1]casa.[2] x.", "casa", 60, "|casa|. [1]"},
    };
    for (const Case& c : cases) {
        Concordance concordance(cp1252(c.text));
        EXPECT_EQ(shown(linesOf(concordance, c.typed), Encoding::Windows1252, c.context), c.expected) << c.name;
    }
}

TEST(ConcordanceLines, CountCharactersNotBytesInUtf8)
{
    Concordance concordance("[1] ĳĳ éé σσσ casa ñññ жж.\r\n");
    ASSERT_EQ(concordance.encoding(), Encoding::Utf8);
    EXPECT_EQ(shown(linesOf(concordance, "casa"), Encoding::Utf8, 7), "éé σσσ|casa|ñññ жж [1]");
}

TEST(ConcordanceLines, KeyWordsAreTheLowerCasedNeighboursInTheSentence)
{
    Concordance concordance(cp1252("[1] Uno DOS casa Tres cuatro.\r\n[2] casa Él.\r\n[3] Al final casa"));
    const ConcordanceLines lines = linesOf(concordance, "casa");
    ASSERT_EQ(lines.size(), 2u); // letters that run to the end of the text are no word
    const std::pair<LineKey, const char*> first[] = {{LineKey::Form, "casa"},  {LineKey::Left1, "dos"},
                                                     {LineKey::Left2, "uno"},  {LineKey::Right1, "tres"},
                                                     {LineKey::Right2, "cuatro"}};
    for (const auto& [key, word] : first) EXPECT_EQ(lines.keyWord(0, key), word) << int(key);
    EXPECT_EQ(lines.keyWord(1, LineKey::Left1), "") << "the marker ends the sentence";
    EXPECT_EQ(lines.keyWord(1, LineKey::Right1), "él");
    EXPECT_EQ(lines.keyWord(1, LineKey::Right2), "") << "the next marker ends it too";
}

// Random numbered and hand-made texts with brackets, line breaks and, in
// UTF-8, bytes that are no character.
class RandomLines : public ::testing::Test {
protected:
    std::mt19937 random{20261208};
    size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); }

    std::string text(Encoding encoding)
    {
        static const std::vector<std::string> common = {
            "casa", "Casa", "CASA", "cas", "a", "b", "ab", "Ab", "é", "É", "ÿ", "š", "Ÿa", "ß", "Œ", "œ", "ƒ",
            "7", " ", " ", "  ", ", ", ".\r\n", "\t", "'", "-", "[", "]", "[x]"};
        static const std::vector<std::string> unicode = {"Ł", "ó", "Σ", "ς", "σ", "Ж", "我", "。", "😀",
                                                         "\xC3", "\xE2\x82"};
        std::string t;
        int sentence = 0;
        for (size_t k = pick(120); k > 0; --k) {
            if (pick(10) == 0) t += "[" + std::to_string(++sentence) + "] ";
            if (encoding == Encoding::Utf8 && pick(4) == 0)
                t += unicode[pick(unicode.size())];
            else
                t += encoding == Encoding::Utf8 ? common[pick(common.size())]
                                                : cp1252(common[pick(common.size())].c_str());
        }
        return t;
    }
};

TEST_F(RandomLines, LinesAgreeWithTheCharacterByCharacterReading)
{
    for (const Encoding wanted : {Encoding::Windows1252, Encoding::Utf8}) {
        for (int round = 0; round < 600; ++round) {
            const std::string t = text(wanted);
            Concordance concordance(t);
            const Encoding encoding = concordance.encoding();
            const char* typed = pick(2) ? "*" : "ca*";
            const size_t width = pick(3) ? 1 + pick(12) : ConcordanceLines::kContext;
            const ConcordanceLines lines = linesOf(concordance, typed);
            const auto expected = reference::concordanceLines(t, typed, encoding, width);
            ASSERT_EQ(lines.size(), expected.size()) << t;
            for (size_t k = 0; k < lines.size(); ++k) {
                const ConcordanceLine l = lines.line(k, width);
                const reference::Line& e = expected[k];
                ASSERT_EQ(lines.hit(k), e.word) << t;
                ASSERT_EQ(l.left, e.left) << "text: " << t << "\nwidth: " << width << "\nline " << k;
                ASSERT_EQ(l.form, e.form) << t;
                ASSERT_EQ(l.right, e.right) << "text: " << t << "\nwidth: " << width << "\nline " << k;
                ASSERT_EQ(l.marker, e.marker) << t;
                const LineKey keys[] = {LineKey::Form, LineKey::Left1, LineKey::Left2, LineKey::Right1,
                                        LineKey::Right2};
                for (int key = 0; key < reference::kKeyWords; ++key)
                    ASSERT_EQ(lines.keyWord(k, keys[key]), e.keys[key]) << "text: " << t << "\nkey " << key;
            }
        }
    }
}

TEST_F(RandomLines, SortsAreStableSortsOfTheKeyWordsAndChainAsTheyShould)
{
    const std::pair<LineKey, reference::KeyWord> keys[] = {
        {LineKey::Form, reference::kForm},     {LineKey::Left1, reference::kLeft1},
        {LineKey::Left2, reference::kLeft2},   {LineKey::Right1, reference::kRight1},
        {LineKey::Right2, reference::kRight2}};
    for (const Encoding wanted : {Encoding::Windows1252, Encoding::Utf8}) {
        for (int round = 0; round < 300; ++round) {
            const std::string t = text(wanted);
            Concordance concordance(t);
            ConcordanceLines lines = linesOf(concordance, "*");
            auto expected = reference::concordanceLines(t, "*", concordance.encoding(), 10);
            // Three sorts in a row: each orders by its key, ties in the order
            // the one before left.
            for (int step = 0; step < 3; ++step) {
                const auto& [key, word] = keys[pick(std::size(keys))];
                ASSERT_TRUE(lines.sort(key));
                std::stable_sort(expected.begin(), expected.end(), [w = word](const auto& x, const auto& y) {
                    return reference::alphabeticallyBefore(x.keys[w], y.keys[w]);
                });
                for (size_t k = 0; k < lines.size(); ++k)
                    ASSERT_EQ(lines.hit(k), expected[k].word) << "text: " << t << "\nstep " << step;
            }
        }
    }
}

TEST_F(RandomLines, SortsOfAFewHitsInALongTextChainAsTheyShould)
{
    // Hits far sparser than the words are put in text order another way.
    std::string t;
    for (int s = 0; s < 400; ++s) {
        t += "[" + std::to_string(s + 1) + "] ";
        for (int w = 0; w < 12; ++w) t += std::string(1, char('a' + pick(3))) + char('a' + pick(26)) + " ";
        if (s % 40 == 7) t += pick(2) ? "casa " : "[x] casa ";
        t += ".\r\n";
    }
    Concordance concordance(t);
    ConcordanceLines lines = linesOf(concordance, "casa");
    auto expected = reference::concordanceLines(t, "casa", concordance.encoding(), 10);
    ASSERT_EQ(lines.size(), expected.size());
    const std::pair<LineKey, reference::KeyWord> keys[] = {
        {LineKey::Right1, reference::kRight1}, {LineKey::Left1, reference::kLeft1}, {LineKey::Left2, reference::kLeft2}};
    for (const auto& [key, word] : keys) {
        ASSERT_TRUE(lines.sort(key));
        std::stable_sort(expected.begin(), expected.end(), [w = word](const auto& x, const auto& y) {
            return reference::alphabeticallyBefore(x.keys[w], y.keys[w]);
        });
        for (size_t k = 0; k < lines.size(); ++k) ASSERT_EQ(lines.hit(k), expected[k].word) << int(key);
    }
}

// A list of millions of lines has its keys read in two halves at once: the
// chain of sorts orders as the keys read in one pass, ties as they were.
TEST_F(RandomLines, SortsOfMillionsOfLinesChainAsTheKeysReadInOnePassOrderThem)
{
    const char* words[] = {"casa", "Casa", "perro", "\xE9l", "\xFF" "a", "l'eau", "de", "la", "Ab", "ab", "[x]"};
    std::string t;
    for (int s = 1; t.size() < (size_t(6) << 20); ++s) {
        t += "[" + std::to_string(s) + "] ";
        for (size_t w = 4 + pick(10); w > 0; --w) t += std::string(words[pick(std::size(words))]) + (pick(6) ? " " : ", ");
        t += ".\r\n";
    }
    Concordance concordance(t);
    ConcordanceLines lines = linesOf(concordance, "*");
    ASSERT_GT(lines.size(), size_t(1) << 20);
    for (const LineKey key : {LineKey::Form, LineKey::Right2, LineKey::Left1, LineKey::Right1, LineKey::Left2}) {
        const std::optional<LineKeyWords> read = lines.keyWords(key, {});
        ASSERT_TRUE(read.has_value());
        std::vector<std::uint32_t> alphabetical(read->texts.size());
        std::iota(alphabetical.begin(), alphabetical.end(), 0);
        std::sort(alphabetical.begin(), alphabetical.end(), [&](std::uint32_t a, std::uint32_t b) {
            return reference::alphabeticallyBefore(read->texts[a], read->texts[b]);
        });
        std::vector<std::uint32_t> placeOfText(read->texts.size() + 1, 0);
        for (std::uint32_t k = 0; k < alphabetical.size(); ++k) placeOfText[alphabetical[k] + 1] = k + 1;
        std::vector<WordId> expected(lines.size());
        std::vector<size_t> order(lines.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return placeOfText[read->keys[a]] < placeOfText[read->keys[b]];
        });
        for (size_t k = 0; k < order.size(); ++k) expected[k] = lines.hit(order[k]);
        ASSERT_TRUE(lines.sort(key));
        for (size_t k = 0; k < lines.size(); ++k) ASSERT_EQ(lines.hit(k), expected[k]) << "key " << int(key) << ", line " << k;
    }
}

TEST(ConcordanceLines, SortsByEveryKeyOnAWordOrderThatShowsIt)
{
    // Sentence by sentence, the keys differ in every column.
    Concordance concordance(cp1252("[1] b a casa z y.\r\n[2] a c casa x Z.\r\n[3] c b Casa y x.\r\n"));
    struct Case { LineKey key; const char* markers; };
    const Case cases[] = {
        {LineKey::Left1, "[1] [3] [2]"},
        {LineKey::Left2, "[2] [1] [3]"},
        {LineKey::Right1, "[2] [3] [1]"},
        {LineKey::Right2, "[3] [1] [2]"},
        {LineKey::Form, "[1] [2] [3]"}, // equal forms keep text order
    };
    for (const Case& c : cases) {
        ConcordanceLines lines = linesOf(concordance, "casa");
        lines.sort(c.key);
        std::string markers;
        for (size_t k = 0; k < lines.size(); ++k) markers += (k ? " " : "") + std::string(lines.line(k).marker);
        EXPECT_EQ(markers, c.markers) << int(c.key);
    }
}

TEST(ConcordanceLines, AStoppedSortLeavesTheOrderAsItWas)
{
    std::string text;
    for (int s = 300; s >= 1; --s) text += "[" + std::to_string(301 - s) + "] w" + char('a' + s % 26) + " casa.\r\n";
    Concordance concordance(text);
    ConcordanceLines lines = linesOf(concordance, "casa");
    std::vector<WordId> before;
    for (size_t k = 0; k < lines.size(); ++k) before.push_back(lines.hit(k));
    EXPECT_FALSE(lines.sort(LineKey::Left1, [](double) { return false; }));
    for (size_t k = 0; k < lines.size(); ++k) ASSERT_EQ(lines.hit(k), before[k]);
    EXPECT_TRUE(lines.sort(LineKey::Left1, [](double) { return true; }));
    EXPECT_NE(lines.hit(0), before[0]);
}

TEST(ConcordanceLines, APhraseIsTheKeyWithTheContextsAroundItAndItsNeighbours)
{
    Concordance concordance(cp1252("[1] Dijo que la casa\r\ndel río era vieja.\r\n[2] Casa, del río: nada.\r\n"));
    const ConcordanceLines lines = linesOf(concordance, "casa del río");
    EXPECT_EQ(shown(lines, Encoding::Windows1252), "Dijo que la|casa del río|era vieja. [1] / |Casa, del río|: nada. [2]");
    ASSERT_EQ(lines.hitWords(), 3u);
    const std::pair<LineKey, const char*> first[] = {{LineKey::Form, "casa del río"}, {LineKey::Left1, "la"},
                                                     {LineKey::Left2, "que"},        {LineKey::Right1, "era"},
                                                     {LineKey::Right2, "vieja"}};
    for (const auto& [key, word] : first) EXPECT_EQ(toUtf8(lines.keyWord(0, key), Encoding::Utf8), word) << int(key);
    EXPECT_EQ(lines.keyWord(1, LineKey::Form), "casa, del r\xC3\xADo");
    EXPECT_EQ(lines.keyWord(1, LineKey::Right1), "nada");

    // Sorted by the word before the phrase (none first), then by its text
    // (" " before ",").
    ConcordanceLines sorted = ConcordanceLines::ofGrid(concordance.grid());
    ASSERT_TRUE(sorted.sort(LineKey::Left1));
    EXPECT_EQ(sorted.hit(0), lines.hit(1));
    ASSERT_TRUE(sorted.sort(LineKey::Form));
    EXPECT_EQ(sorted.hit(0), lines.hit(0));
}

TEST(ConcordanceLines, AnEmptySearchMakesNoLines)
{
    Concordance concordance(cp1252("[1] casa.\r\n"));
    ConcordanceLines lines = linesOf(concordance, "nada");
    EXPECT_TRUE(lines.empty());
    EXPECT_TRUE(lines.sort(LineKey::Right1));
    EXPECT_TRUE(ConcordanceLines().empty());
}

} // namespace
} // namespace solandre
