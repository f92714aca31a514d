#include "search/reference_search.h"
#include "search/word_index.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>
#include <random>

namespace solandre {
namespace {

using testing::cp1252;

std::vector<reference::Entry> entries(const WordIndex& index, const WordList& words)
{
    std::vector<reference::Entry> out;
    for (WordId w : words) out.push_back({std::string(index.form(w)), std::string(index.marker(w))});
    return out;
}

std::vector<reference::Entry> search(const WordIndex& index, std::string_view typed)
{
    WordList hits;
    index.search(parsePattern(typed), hits);
    return entries(index, hits);
}

// "form marker" pairs, space separated, for readable expectations.
std::string listing(const std::vector<reference::Entry>& hits)
{
    std::string out;
    for (const auto& e : hits) out += (out.empty() ? "" : " ") + e.form + e.marker;
    return out;
}

const std::string kText = cp1252(
    "[1] Casa casa CASA casas Casablanca.\r\n"
    "[2] Él dijo: ÉL y el, él.\r\n"
    "[3] Cantar canto cant mente claramente.\r\n"
    "[4] Aba abba l'eau peut-être.\r\n"
    "[5] a* a b 1984 tiene cifras.\r\n");

struct Case {
    const char* name;
    const char* typed;    // UTF-8 here
    const char* expected; // form and marker of each hit, UTF-8
};

const Case kCases[] = {
    {"any case finds every spelling", "Casa", "Casa[1] casa[1] CASA[1]"},
    {"accents matter", "el", "el[2]"},
    {"accented capitals lower-case", "Él", "Él[2] ÉL[2] él[2]"},
    {"prefix includes the bare prefix", "cant*", "Cantar[3] canto[3] cant[3]"},
    {"suffix includes the bare suffix", "*mente", "mente[3] claramente[3]"},
    {"prefix and suffix may overlap", "ab*ba", "Aba[4] abba[4]"},
    {"a second star belongs to the suffix", "a**", ""},
    {"trailing blank finds nothing", "casa ", ""},
    {"empty form finds nothing", "", ""},
    {"apostrophe splits words", "eau", "eau[4]"},
    {"apostrophe in the form finds nothing", "l'eau", ""},
    {"hyphen splits words", "être", "être[4]"},
    {"digits are not words", "1984", ""},
    {"a letter alone is a word", "a", "a[5] a[5]"},
    {"star inside a suffix", "c*s*", ""},
    {"prefix longer than the form", "casablancas*", ""},
    {"suffix longer than the form", "*xcasa", ""},
};

TEST(WordIndex, SearchCases)
{
    const WordIndex index = WordIndex::build(kText);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(listing(search(index, cp1252(c.typed))), cp1252(c.expected));
    }
}

TEST(WordIndex, StarAloneListsEveryWordInTextOrder)
{
    const WordIndex index = WordIndex::build(kText);
    EXPECT_EQ(search(index, "*"), reference::wordIndex(kText));
    EXPECT_EQ(search(index, "*").size(), 27u);
}

TEST(WordIndex, MarkersOfOddTexts)
{
    struct Odd {
        const char* name;
        const char* text;
        const char* words; // every word with its marker
    };
    const Odd odd[] = {
        {"no marker at all", "uno dos.\r\n", "uno dos"},
        {"word before the first marker", "uno [1] dos.\r\n", "uno dos[1]"},
        {"letters inside brackets are words", "[a1] x.", "a[1 x[1]"},
        {"closing without opening", "uno] dos]] tres.", "uno] dos]] tres]]]"},
        {"marker never closed", "[1 uno dos.", "uno[1   dos[1  ."},
        {"marker opened twice", "[1[2] uno.", "uno[2]"},
        {"last word without a non-letter after it", "[1] uno dos", "uno[1]"},
        {"stray closing after a marker", "[1] uno] dos.", "uno[1]] dos[1]]"},
    };
    for (const Odd& o : odd) {
        SCOPED_TRACE(o.name);
        const WordIndex index = WordIndex::build(o.text);
        EXPECT_EQ(listing(search(index, "*")), o.words);
        EXPECT_EQ(search(index, "*"), reference::wordIndex(o.text));
    }
}

TEST(WordIndex, SignsSplitWordsInLongStretchesWithoutBrackets)
{
    // The index reads sixteen bytes at a time where no bracket is near; × and
    // ÷ sit among the letters of the code page but are not letters. Put them
    // at every place of a block, far from any bracket.
    for (const char* sign : {"×", "÷", "ª", "1"}) {
        for (size_t shift = 0; shift < 32; ++shift) {
            SCOPED_TRACE(std::string(sign) + " after " + std::to_string(shift) + " letters");
            const std::string text = "[1] " + std::string(shift, 'x') + " uno" + cp1252(sign) +
                                     "dos " + std::string(40, 'y') + ".\r\n";
            const WordIndex index = WordIndex::build(text);
            EXPECT_EQ(search(index, "*"), reference::wordIndex(text));
            EXPECT_EQ(listing(search(index, "dos")), "dos[1]");
        }
    }
}

TEST(WordIndex, WordTwiceInOneSentenceGivesTwoRows)
{
    const WordIndex index = WordIndex::build("[6] x.\r\n[7] la casa y la mesa.\r\n");
    EXPECT_EQ(listing(search(index, "LA")), "la[7] la[7]");
}

// Random numbered and hand-made texts; random forms built from their words.
class RandomTexts : public ::testing::Test {
protected:
    std::mt19937 random{20261207};
    size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); }

    std::string text()
    {
        static const std::vector<std::string> pieces = [] {
            std::vector<std::string> p;
            for (const char* s : {"casa", "Casa", "CASA", "cas", "as", "a", "É", "él", "ÿ", "ß",
                                  "Œ", "×", "7", " ", " ", ", ", ".\r\n", "'", "-", "*", "[", "]"})
                p.push_back(cp1252(s));
            return p;
        }();
        std::string t;
        int sentence = 0;
        const size_t length = pick(80);
        for (size_t k = 0; k < length; ++k) {
            if (pick(8) == 0) t += "[" + std::to_string(++sentence) + "] ";
            t += pieces[pick(pieces.size())];
        }
        if (pick(2)) t += "\r\n";
        return t;
    }

    std::string typed(const std::vector<reference::Entry>& words)
    {
        std::string w = words.empty() ? "casa" : words[pick(words.size())].form;
        for (char& c : w)
            if (pick(3) == 0) c = char(c ^ 0x20); // other case for letters, odd bytes otherwise
        const size_t cut = pick(w.size() + 1);
        switch (pick(7)) {
        case 0: return w;
        case 1: return w.substr(0, cut) + "*";
        case 2: return "*" + w.substr(cut);
        case 3: return w.substr(0, cut) + "*" + w.substr(pick(w.size() + 1));
        case 4: return w.substr(0, cut) + "**" + w.substr(cut);
        case 5: return w + " ";
        default: return pick(2) ? "*" : "";
        }
    }
};

TEST_F(RandomTexts, SearchAgreesWithTheStepByStepRules)
{
    for (int round = 0; round < 3000; ++round) {
        const std::string t = text();
        const WordIndex index = WordIndex::build(t);
        const auto words = reference::wordIndex(t);
        ASSERT_EQ(search(index, "*"), words) << "text: " << t;
        for (int q = 0; q < 10; ++q) {
            const std::string form = typed(words);
            ASSERT_EQ(search(index, form), reference::search(words, form))
                << "text: " << t << "\nform: " << form;
        }
    }
}

} // namespace
} // namespace solandre
