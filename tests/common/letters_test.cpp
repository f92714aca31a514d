// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/cp1252.h"
#include "common/letters.h"
#include "common/marker.h"
#include "support/reference_text.h"

#include <QChar>
#include <gtest/gtest.h>

namespace solandre {
namespace {

TEST(LetterClass, AgreesWithTheWrittenOutRulesOnEveryCodeOfTheCodePage)
{
    const Cp1252Classes& table = cp1252Classes();
    int letters = 0;
    for (int b = 0; b < 256; ++b) {
        const char32_t c = cp1252ToUnicode(static_cast<unsigned char>(b));
        EXPECT_EQ(isLetter(c), reference::letter(c)) << "code " << b;
        EXPECT_EQ(isLowerLetter(c), reference::lowerLetter(c)) << "code " << b;
        EXPECT_EQ(lowerCase(c), reference::lower(c)) << "code " << b;
        EXPECT_EQ(table.letter[b], reference::letter(c)) << "code " << b;
        EXPECT_EQ(table.lower[b], reference::lowerLetter(c)) << "code " << b;
        EXPECT_EQ(cp1252ToUnicode(table.lowerCase[b]), reference::lower(c)) << "code " << b;
        letters += isLetter(c);
    }
    // A-Z, a-z, À-Ö, Ø-ö, ø-ÿ, and Š Œ Ž š œ ž Ÿ.
    EXPECT_EQ(letters, 26 + 26 + 23 + 31 + 8 + 7);
}

TEST(LetterClass, AgreesWithTheWrittenOutRulesOnTheWholeOfUnicode)
{
    for (char32_t c = 0; c < 0x110000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        ASSERT_EQ(isLetter(c), reference::letter(c)) << std::hex << unsigned(c);
        ASSERT_EQ(isLowerLetter(c), reference::lowerLetter(c)) << std::hex << unsigned(c);
        ASSERT_EQ(lowerCase(c), reference::lower(c)) << std::hex << unsigned(c);
    }
}

TEST(LetterClass, NotableCharacters)
{
    struct Case { const char* name; char32_t c; bool letter; bool lower; char32_t lowered; };
    const Case cases[] = {
        {"A", U'A', true, false, U'a'},
        {"z", U'z', true, true, U'z'},
        {"digit", U'0', false, false, U'0'},
        {"×", U'×', false, false, U'×'},
        {"÷", U'÷', false, false, U'÷'},
        {"ß counts as upper-case", U'ß', true, false, U'ß'},
        {"Þ", U'Þ', true, false, U'þ'},
        {"ÿ", U'ÿ', true, true, U'ÿ'},
        {"Œ", U'Œ', true, false, U'œ'},
        {"œ", U'œ', true, true, U'œ'},
        {"Š", U'Š', true, false, U'š'},
        {"Ž", U'Ž', true, false, U'ž'},
        {"Ÿ lower-cases to ÿ", U'Ÿ', true, false, U'ÿ'},
        {"ƒ is no letter in the code page", U'ƒ', false, false, U'ƒ'},
        {"ˆ likewise", U'ˆ', false, false, U'ˆ'},
        {"ª", U'ª', false, false, U'ª'},
        {"µ", U'µ', false, false, U'µ'},
        {"¿", U'¿', false, false, U'¿'},
        {"Ł", U'Ł', true, false, U'ł'},
        {"Σ", U'Σ', true, false, U'σ'},
        {"final sigma folds to σ", U'ς', true, true, U'σ'},
        {"Ж", U'Ж', true, false, U'ж'},
        {"a letter without case is upper-case", U'我', true, false, U'我'},
        {"Arabic", U'ب', true, false, U'ب'},
        {"a Devanagari vowel sign is a letter", U'\u093F', true, false, U'\u093F'},
        {"a combining accent is a letter", U'\u0301', true, false, U'\u0301'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isLetter(c.c), c.letter);
        EXPECT_EQ(isLowerLetter(c.c), c.lower);
        EXPECT_EQ(isLetter(c.c) && !isLowerLetter(c.c), c.letter && !c.lower);
        EXPECT_EQ(lowerCase(c.c), c.lowered);
    }
}

TEST(WordClass, HowEachCharacterTakesPartInARunOfLetters)
{
    struct Case { const char* name; char32_t c; WordClass kind; bool mark; };
    const Case cases[] = {
        {"a Latin letter", U'a', WordClass::Letter, false},
        {"a code-page letter", U'Œ', WordClass::Letter, false},
        {"a code-page sign", U'ª', WordClass::None, false},
        {"a digit", U'7', WordClass::None, false},
        {"Cyrillic", U'ж', WordClass::Letter, false},
        {"Devanagari", U'क', WordClass::Letter, false},
        {"a Devanagari vowel sign", U'\u093F', WordClass::Follower, true},
        {"a combining accent", U'\u0301', WordClass::Follower, true},
        {"an Arabic vowel mark", U'\u064E', WordClass::Follower, true},
        {"a Hebrew point", U'\u05B0', WordClass::Follower, true},
        {"Han", U'中', WordClass::Unspaced, false},
        {"Han beyond the first plane", U'\U00020000', WordClass::Unspaced, false},
        {"Hiragana", U'は', WordClass::Unspaced, false},
        {"Katakana", U'コ', WordClass::Unspaced, false},
        {"the long vowel mark, of no script of its own", U'ー', WordClass::Follower, false},
        {"a Thai letter", U'ก', WordClass::Unspaced, false},
        {"a Thai vowel sign", U'\u0E34', WordClass::Unspaced, true},
        {"Lao", U'ລ', WordClass::Unspaced, false},
        {"Khmer", U'ក', WordClass::Unspaced, false},
        {"Myanmar", U'မ', WordClass::Unspaced, false},
        {"Hangul is written with blanks", U'한', WordClass::Letter, false},
        {"ZERO WIDTH JOINER", U'\u200D', WordClass::Joiner, false},
        {"ZERO WIDTH NON-JOINER", U'\u200C', WordClass::Joiner, false},
        {"ideographic full stop", U'。', WordClass::None, false},
        {"past Unicode", char32_t(0x110000), WordClass::None, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(wordClass(c.c), c.kind);
        EXPECT_EQ(isCombiningMark(c.c), c.mark);
        EXPECT_EQ(isLetter(c.c), c.kind != WordClass::None && c.kind != WordClass::Joiner);
    }
}

TEST(EndMarks, StopsAndQuestions)
{
    for (const char32_t c : {U'.', U'。', U'．', U'।', U'॥'}) EXPECT_EQ(endMark(c), EndMark::Stop) << unsigned(c);
    for (const char32_t c : {U'?', U'!', U'？', U'！', U'؟'}) EXPECT_EQ(endMark(c), EndMark::Question) << unsigned(c);
    for (const char32_t c : {U',', U'…', U';', U'¿', U'¡', U'\u037E'}) EXPECT_EQ(endMark(c), EndMark::None) << unsigned(c);
}

TEST(SentenceMarker, HasNoSixteenBitLimit)
{
    EXPECT_EQ(sentenceMarker(1), "[1]");
    EXPECT_EQ(sentenceMarker(32767), "[32767]");
    EXPECT_EQ(sentenceMarker(32768), "[32768]");
    EXPECT_EQ(sentenceMarker(4294967296ULL), "[4294967296]");
    std::string prefix = "x";
    appendRecordPrefix(prefix, 12);
    EXPECT_EQ(prefix, "x[12] ");
}

} // namespace
} // namespace solandre
