// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/text_features.h"

#include <gtest/gtest.h>

#include <string>

using namespace solandre::align;

namespace {

TEST(NormalizeWord, FoldsCaseAccentsAndCompatibilityForms)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Expedition", "expedition"},
        {"expédition", "expedition"},
        {"GRÖSSE", "grosse"},
        {"Größe", "grosse"},
        {"ÉTÉ", "ete"},
        {"\xef\xac\x81n", "fin"}, // "ﬁ" ligature
        {"Kangchendzönga", "kangchendzonga"},
        {"Ελλάδα", "ελλαδα"},
        {"e\xcc\x81te", "ete"}, // combining acute accent
    };
    for (const auto& [word, normalized] : cases)
        EXPECT_EQ(normalizeWord(word), normalized) << word;
}

struct SentenceCase {
    const char* name;
    std::string sentence;
    std::vector<std::string> forms;
    std::uint32_t length;
};

const SentenceCase kSentences[] = {
    {"WordsAndNumbers", "Mit 3 Bildern", {"mit", "#3", "bildern"}, 11},
    {"QuotesFoldedOtherMarksDropped", "«Volveré», dijo.", {"\"", "volvere", "dijo"}, 15},
    {"InvertedQuestionMarkIsAQuestionMark", "¿Qué?", {"?", "que"}, 5},
    {"FormsCountOncePerSentence", "3,000 and 3 000 and", {"#3", "#000", "and"}, 15},
    {"ElisionSplits", "l'Himalaya", {"l", "himalaya"}, 10},
    {"BracketsAndPercent", "(env. 7315 m) 5 %", {"(", "env", "#7315", "m", "#5", "%"}, 13},
    {"NoBreakSpaceSeparates",
     "a\xc2\xa0"
     "b",
     {"a", "b"},
     2},
    {"ChineseCutIntoWordsByTheDictionary", "我爱中国人民。", {"我", "爱", "中国", "人民"}, 7},
    {"DevanagariSignsStayInTheirWord", "भारत देश", {"भरत", "दश"}, 7},
    {"AJoinerBetweenLettersStaysInTheWord", "می\u200Cخواهم", {"می\u200Cخواهم"}, 8},
    {"Empty", "", {}, 0},
    {"InvalidByteSeparatesWords",
     "a\xff"
     "b",
     {"a", "b"},
     3},
    {"TruncatedSequence", "ab\xc3", {"ab"}, 3},
    {"SurrogateEncoded", "\xed\xa0\x80x", {"x"}, 4},
    {"OverlongSlash", "\xc0\xaf", {}, 2},
    {"BeyondUnicode", "\xf4\x90\x80\x80", {}, 4},
};

class ReadSentence : public testing::TestWithParam<SentenceCase> {};

TEST_P(ReadSentence, FormsAndLength)
{
    const SentenceCase& c = GetParam();
    FormTable table;
    const SideText side = readSide({c.sentence}, table);
    ASSERT_EQ(side.size(), 1u);
    EXPECT_EQ(side.length[0], c.length);
    std::vector<std::string> forms;
    for (std::uint32_t f = 0; f < side.formCount(0); ++f)
        forms.push_back(table.text(side.formsOf(0)[f]));
    EXPECT_EQ(forms, c.forms);
}

INSTANTIATE_TEST_SUITE_P(Sentences, ReadSentence, testing::ValuesIn(kSentences),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadSide, TextsReadApartShareTheFormsTheyHaveInCommon)
{
    FormTable sourceForms, targetForms;
    const SideText source = readSide({"Zürich 1956", "Everest"}, sourceForms);
    SideText target = readSide({"Everest et Zurich", "en 1956"}, targetForms);
    absorbForms(sourceForms, targetForms, target);
    ASSERT_EQ(target.formCount(0), 3u);
    EXPECT_EQ(target.formsOf(0)[0], source.formsOf(1)[0]); // everest
    EXPECT_EQ(target.formsOf(0)[2], source.formsOf(0)[0]); // zurich
    EXPECT_EQ(target.formsOf(1)[1], source.formsOf(0)[1]); // 1956
    EXPECT_EQ(sourceForms.text(target.formsOf(0)[1]), "et");
}

TEST(ReadSide, ManySpellingsKeepTheirOwnForms)
{
    // Enough spellings that the reader's table of them grows several times;
    // each spelling read again, or in capitals, finds the form it had.
    auto spelling = [](int k) {
        std::string w = "w";
        for (; k > 0; k /= 26)
            w += static_cast<char>('a' + k % 26);
        return w;
    };
    std::vector<std::string> sentences;
    for (int k = 0; k < 20000; ++k)
        sentences.push_back(spelling(k * 7919 % 20000) + " " + spelling(k % 50));
    sentences.push_back("WBC wbc");
    FormTable table;
    const SideText side = readSide({sentences.begin(), sentences.end()}, table);
    ASSERT_EQ(side.size(), sentences.size());
    for (int k = 0; k < 20000; ++k) {
        ASSERT_EQ(side.formCount(k), k % 50 == k * 7919 % 20000 ? 1u : 2u) << k;
        EXPECT_EQ(table.text(side.formsOf(k)[0]), spelling(k * 7919 % 20000)) << k;
        EXPECT_EQ(table.text(side.formsOf(k)[side.formCount(k) - 1]), spelling(k % 50)) << k;
    }
    EXPECT_EQ(side.formCount(20000), 1u);
    EXPECT_EQ(table.size(), 20000u);
}

} // namespace
