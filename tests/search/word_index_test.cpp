// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/letters.h"
#include "search/reference_search.h"
#include "search/word_index.h"
#include "support/temp_files.h"

#include <algorithm>
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

// `typed` is UTF-8, as a user types it.
std::vector<reference::Entry> search(const WordIndex& index, std::string_view typed)
{
    WordList hits;
    index.search(parsePattern(QString::fromUtf8(typed.data(), qsizetype(typed.size()))), hits);
    return entries(index, hits);
}

// Every `step`-th word of the index against the reading of the rules, and
// its vocabulary in byte order.
void expectWordsAsRead(const WordIndex& index, const std::vector<reference::Entry>& all, size_t step)
{
    ASSERT_EQ(index.size(), all.size());
    for (size_t k = 0; k < all.size(); k += step) {
        ASSERT_EQ(index.form(WordId(k)), all[k].form) << k;
        ASSERT_EQ(index.marker(WordId(k)), all[k].marker) << k;
    }
    for (std::uint32_t rank = 1; rank < index.vocabularySize(); ++rank)
        ASSERT_LT(index.lowerForm(rank - 1), index.lowerForm(rank));
}

// The index of `text` against the reading of the rules: every `step`-th
// word, the vocabulary's order, and the searches `typed`.
void expectIndexAsRead(const std::string& text, Encoding encoding, size_t step,
                       std::initializer_list<const char*> typed)
{
    const WordIndex index = WordIndex::build(text, encoding);
    const auto all = reference::wordIndex(text, encoding);
    expectWordsAsRead(index, all, step);
    for (const char* form : typed)
        ASSERT_EQ(search(index, form), reference::search(all, form, encoding)) << form;
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
        EXPECT_EQ(listing(search(index, c.typed)), cp1252(c.expected));
    }
}

TEST(WordIndex, TablesGivenBackAreMadeAgainWhenNextNeeded)
{
    // Suffix order, marker orders and the scratch bitmap are given back
    // between a collection's texts; every search and look-up after that
    // must answer as before.
    const WordIndex index = WordIndex::build(kText);
    auto markers = [&] {
        std::string out;
        for (const std::uint32_t run : index.runsWithMarker("[3]")) out += std::to_string(run) + " ";
        for (std::uint32_t run = 0; run < index.markerRuns(); ++run) out += std::to_string(index.markerTextRank(run)) + " ";
        for (const auto& [key, run] : index.runsByNumberKey()) out += std::to_string(run) + " ";
        return out;
    };
    const std::string markersBefore = markers();
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        index.releaseMemory();
        EXPECT_EQ(listing(search(index, c.typed)), cp1252(c.expected));
        EXPECT_EQ(listing(search(index, c.typed)), cp1252(c.expected));
        index.releaseMemory();
        EXPECT_EQ(markers(), markersBefore);
    }
}

// Runs ranked by their markers' text: most texts are numbered 1 to n, whose
// order is walked rather than sorted; it must be the sort's.
TEST(WordIndex, MarkerRanksAreThoseOfTheMarkersTextsSorted)
{
    auto numbered = [](std::vector<std::string> numbers) {
        std::string text;
        for (const std::string& n : numbers) text += "[" + n + "] casa. ";
        return text;
    };
    auto oneTo = [](int n) {
        std::vector<std::string> out;
        for (int k = 1; k <= n; ++k) out.push_back(std::to_string(k));
        return out;
    };
    auto shuffled = [](std::vector<std::string> v) {
        std::shuffle(v.begin(), v.end(), std::mt19937(7));
        return v;
    };
    auto with = [](std::vector<std::string> v, std::string extra) {
        v.push_back(std::move(extra));
        return v;
    };
    struct Case { const char* name; std::string text; };
    const Case cases[] = {
        {"one sentence", numbered(oneTo(1))},
        {"1 to 9", numbered(oneTo(9))},
        {"1 to 10", numbered(oneTo(10))},
        {"1 to 101", numbered(oneTo(101))},
        {"1 to 1234", numbered(oneTo(1234))},
        {"1 to 1234 in no order", numbered(shuffled(oneTo(1234)))},
        {"a number missing", numbered(with(oneTo(120), "122"))},
        {"a number twice", numbered(with(oneTo(120), "17"))},
        {"a zero in front", numbered(with(oneTo(120), "0121"))},
        {"not from 1", numbered({"2", "3", "4", "10", "11"})},
        {"numbers far apart", numbered({"5", "1000000", "12"})},
        {"a zero", numbered(with(oneTo(12), "0"))},
        {"a marker not a number", numbered(with(oneTo(30), "3a"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WordIndex index = WordIndex::build(c.text);
        std::vector<std::string> sorted;
        for (std::uint32_t run = 0; run < index.markerRuns(); ++run)
            sorted.emplace_back(index.markerOfRun(run));
        std::sort(sorted.begin(), sorted.end());
        sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
        for (std::uint32_t run = 0; run < index.markerRuns(); ++run) {
            const std::string marker(index.markerOfRun(run));
            const auto expected = std::lower_bound(sorted.begin(), sorted.end(), marker) - sorted.begin();
            ASSERT_EQ(index.markerTextRank(run), std::uint32_t(expected)) << marker;
        }
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
    // The code page's letters among the signs: Š Œ Ž š œ ž Ÿ are letters.
    for (size_t shift = 0; shift < 20; ++shift) {
        const std::string text = "[1] " + std::string(shift, 'x') + cp1252(" cœur sœur Œuvre ŠŽŸ ƒ ") +
                                 std::string(40, 'y') + ".\r\n";
        const WordIndex index = WordIndex::build(text);
        EXPECT_EQ(search(index, "*"), reference::wordIndex(text)) << shift;
        EXPECT_EQ(listing(search(index, "œuvre")), cp1252("Œuvre[1]")) << shift;
    }
}

TEST(WordIndex, WordsOfEveryScript)
{
    const std::string text = "[1] Łódź i Kraków, ŁÓDŹ.\r\n[2] Σοφός σοφΌς ΣΟΦΌΣ Αθήνα.\r\n"
                             "[3] Привет МИР мир.\r\n[4] 我来了，你好。\r\n[5] किताब पढ़ी।\r\n"
                             "[6] كتاب الكتاب.\r\n[7] Ǆemal ǆem ǅ.\r\n";
    const WordIndex index = WordIndex::build(text, Encoding::Utf8);
    EXPECT_EQ(search(index, "*"), reference::wordIndex(text, Encoding::Utf8));
    struct Case { const char* name; const char* typed; const char* expected; };
    const Case cases[] = {
        {"Polish any case", "łódź", "Łódź[1] ŁÓDŹ[1]"},
        {"Polish prefix", "kra*", "Kraków[1]"},
        {"final sigma matches Σ and σ", "σοφός", "Σοφός[2] σοφΌς[2] ΣΟΦΌΣ[2]"},
        {"Greek suffix", "*ήνα", "Αθήνα[2]"},
        {"Russian", "мир", "МИР[3] мир[3]"},
        {"Chinese words are cut by the dictionary", "你好", "你好[4]"},
        {"Devanagari vowel signs belong to their word", "किताब", "किताब[5]"},
        {"Arabic", "*كتاب", "كتاب[6] الكتاب[6]"},
        {"title case folds", "ǆem*", "Ǆemal[7] ǆem[7]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(listing(search(index, c.typed)), c.expected);
    }
}

TEST(WordIndex, AUtf8TextIndexesAsItsWindows1252Twin)
{
    const std::string utf8 = "[1] Canción canción CANCIÓN œuvre Œuvre.\r\n[2] Ñandú ñandú. Straße.\r\n"
                             "[3] Ÿ ÿ Š š.\r\n";
    const std::string twin = cp1252(utf8.c_str());
    const WordIndex a = WordIndex::build(utf8, Encoding::Utf8);
    const WordIndex b = WordIndex::build(twin, Encoding::Windows1252);
    for (const char* typed : {"*", "canción", "canci*", "*ión", "œ*", "ñandú", "*e", "ÿ", "š"}) {
        SCOPED_TRACE(typed);
        std::vector<reference::Entry> fromTwin = search(b, typed);
        for (auto& e : fromTwin) e = {toUtf8(e.form, Encoding::Windows1252), toUtf8(e.marker, Encoding::Windows1252)};
        EXPECT_EQ(search(a, typed), fromTwin);
    }
    ASSERT_EQ(a.vocabularySize(), b.vocabularySize());
    for (std::uint32_t rank = 0; rank < a.vocabularySize(); ++rank)
        EXPECT_EQ(a.lowerForm(rank), b.lowerForm(rank)) << "vocabulary in code-point order";
}

TEST(WordIndex, EveryLetterOfWindows1252LowerCasesAsItsUtf8Twin)
{
    // Each letter alone, and inside a word too long for the short road.
    std::string twin = "[1] ";
    for (int b = 0; b < 256; ++b) {
        if (!cp1252Classes().letter[b]) continue;
        twin += std::string(1, char(b)) + " x" + std::string(1, char(b)) + std::string(70, 'y') + " ";
    }
    const WordIndex a = WordIndex::build(toUtf8(twin, Encoding::Windows1252), Encoding::Utf8);
    const WordIndex b = WordIndex::build(twin, Encoding::Windows1252);
    ASSERT_EQ(a.vocabularySize(), b.vocabularySize());
    for (std::uint32_t rank = 0; rank < a.vocabularySize(); ++rank) EXPECT_EQ(a.lowerForm(rank), b.lowerForm(rank));
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

    std::string text(Encoding encoding)
    {
        static const std::vector<std::string> common = {
            "casa", "Casa", "CASA", "cas", "as", "a", "É", "él", "ÿ", "ß", "Œ", "œ", "ƒ", "×", "7",
            " ", " ", ", ", ".\r\n", "'", "-", "*", "[", "]"};
        static const std::vector<std::string> unicode = {"Ł", "ó", "Σ", "ς", "σ", "Ж", "我", "。",
                                                         "क", "ि", "😀", "\xC3", "\xE2\x82"};
        std::string t;
        int sentence = 0;
        const size_t length = pick(80);
        for (size_t k = 0; k < length; ++k) {
            if (pick(8) == 0) t += "[" + std::to_string(++sentence) + "] ";
            if (encoding == Encoding::Utf8 && pick(3) == 0)
                t += unicode[pick(unicode.size())];
            else
                t += encoding == Encoding::Utf8 ? common[pick(common.size())] : cp1252(common[pick(common.size())].c_str());
        }
        if (pick(2)) t += "\r\n";
        return t;
    }

    // A form as a user would type it, in UTF-8.
    std::string typed(const std::vector<reference::Entry>& words, Encoding encoding)
    {
        QString w = words.empty() ? QStringLiteral("casa") : decodeText(words[pick(words.size())].form, encoding);
        for (QChar& c : w)
            if (pick(3) == 0) c = c.isUpper() ? c.toLower() : c.toUpper();
        const qsizetype cut = qsizetype(pick(size_t(w.size()) + 1));
        QString t;
        switch (pick(7)) {
        case 0: t = w; break;
        case 1: t = w.left(cut) + "*"; break;
        case 2: t = "*" + w.mid(cut); break;
        case 3: t = w.left(cut) + "*" + w.mid(qsizetype(pick(size_t(w.size()) + 1))); break;
        case 4: t = w.left(cut) + "**" + w.mid(cut); break;
        case 5: t = w + " "; break;
        default: t = pick(2) ? "*" : ""; break;
        }
        return t.toStdString();
    }
};

TEST_F(RandomTexts, SearchAgreesWithTheStepByStepRulesInBothEncodings)
{
    for (const Encoding encoding : {Encoding::Windows1252, Encoding::Utf8}) {
        for (int round = 0; round < 2000; ++round) {
            const std::string t = text(encoding);
            const WordIndex index = WordIndex::build(t, encoding);
            const auto words = reference::wordIndex(t, encoding);
            ASSERT_EQ(search(index, "*"), words) << "text: " << t;
            for (int q = 0; q < 10; ++q) {
                const std::string form = typed(words, encoding);
                ASSERT_EQ(search(index, form), reference::search(words, form, encoding))
                    << "text: " << t << "\nform: " << form;
            }
        }
    }
}

TEST(WordIndex, ABigTextIndexedInTwoPartsAgreesWithTheRules)
{
    // Over eight megabytes: the scan runs on two threads, split at a marker,
    // and their vocabularies are merged.
    for (const Encoding encoding : {Encoding::Windows1252, Encoding::Utf8}) {
        std::string text;
        std::mt19937 random(3);
        const char* words[] = {"casa", "Casa", "río", "Río", "canción", "œuvre", "x", "ABC", "zeta"};
        for (int s = 1; text.size() < (9u << 20); ++s) {
            text += "[" + std::to_string(s) + "] ";
            for (int w = 0; w < 8; ++w) {
                const std::string word = words[random() % std::size(words)] + std::to_string(random() % 3000);
                text += (encoding == Encoding::Utf8 ? word : cp1252(word.c_str())) + " ";
            }
            text += ".\r\n";
        }
        expectIndexAsRead(text, encoding, 997, {"casa1", "río2*", "*99", "c*9", "œuvre1234"});
    }
}

TEST(WordIndex, StretchesOfNewFormsAndOfFamiliarOnesAgreeWithTheRules)
{
    // Long stretches where nearly every word is a new form, between
    // stretches of a few forms said again: the scan changes its way of
    // finding forms between them, and every word keeps its form and marker.
    for (const Encoding encoding : {Encoding::Windows1252, Encoding::Utf8}) {
        std::string text;
        std::mt19937 random(11);
        const char* letters[] = {"a", "B", "c", "ñ", "Ó", "z", "é", "Q"};
        const char* familiar[] = {"casa", "Casa", "río", "el", "de"};
        auto newForm = [&] {
            std::string word;
            // Some longer than any kept beside the recent forms, a few very long.
            const size_t length = random() % 20 == 0 ? 70 + random() % 30 : 1 + random() % 24;
            for (size_t k = 0; k < length; ++k) word += letters[random() % std::size(letters)];
            return word;
        };
        int sentence = 0;
        for (int stretch = 0; stretch < 6; ++stretch) {
            const bool fresh = stretch % 2 == 0;
            for (int w = 0; w < 9000; ++w) {
                if (random() % 7 == 0) text += "[" + std::to_string(++sentence) + "] ";
                const std::string word = fresh && random() % 10 != 0 ? newForm() : familiar[random() % std::size(familiar)];
                text += (encoding == Encoding::Utf8 ? word : cp1252(word.c_str())) + " ";
            }
        }
        expectIndexAsRead(text, encoding, 1, {"casa", "río", "a*", "*z", "ñ*ó"});
    }
}

TEST(WordIndex, ABigTextOfManyFormsMergesItsVocabularyInTwoHalves)
{
    // Over eight megabytes and about a million forms: the two parts'
    // vocabularies are merged from both ends at once.
    std::string text;
    std::mt19937 random(5);
    const char letters[] = "abcdeABCDE\xF1\xD1\xE9";
    for (int s = 1; text.size() < (9u << 20); ++s) {
        text += "[" + std::to_string(s) + "] ";
        for (int w = 0; w < 8; ++w) {
            for (size_t k = 2 + random() % 11; k > 0; --k) text += letters[random() % (sizeof letters - 1)];
            text += ' ';
        }
        text += ".\r\n";
    }
    const WordIndex index = WordIndex::build(text, Encoding::Windows1252);
    const auto all = reference::wordIndex(text, Encoding::Windows1252);
    ASSERT_GT(index.vocabularySize(), size_t(1) << 19);
    expectWordsAsRead(index, all, 13);
    // Forms about the middle of the vocabulary, where the halves meet, and
    // short ones met in both parts.
    const std::uint32_t middle = std::uint32_t(index.vocabularySize() / 2);
    std::vector<std::string> typed = {"ab", "dd", "éñ"};
    for (std::uint32_t rank = middle - 1; rank < middle + 2; ++rank) {
        const std::string_view form = index.lowerForm(rank);
        typed.push_back(decodeText(std::string(form), Encoding::Windows1252).toStdString());
    }
    for (const std::string& form : typed)
        ASSERT_EQ(search(index, form), reference::search(all, form, Encoding::Windows1252)) << form;
}

TEST(WordIndex, BuildingReportsProgressAndCanBeStopped)
{
    std::string text;
    for (int s = 1; text.size() < (10u << 20); ++s) text += "[" + std::to_string(s) + "] una frase corta.\r\n";
    std::vector<double> told;
    const auto built = WordIndex::build(text, Encoding::Windows1252, [&](double done) {
        told.push_back(done);
        return true;
    });
    ASSERT_TRUE(built.has_value());
    ASSERT_GE(told.size(), 3u);
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_EQ(told.back(), 1.0);
    EXPECT_FALSE(WordIndex::build(text, Encoding::Windows1252, [](double done) { return done < 0.3; }));
}

} // namespace
} // namespace solandre
