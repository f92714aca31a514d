#include "common/cp1252.h"
#include "common/letters.h"
#include "common/marker.h"

#include <QChar>
#include <gtest/gtest.h>

namespace solandre {
namespace {

// Unicode gives an independent opinion on every code: the letter class is the
// Unicode letters of the code page outside 128-191, and lower-casing is
// Unicode's, except that 128-191 (Œ, Š, Ÿ, ª, µ ...) are left alone.
bool outsideHighPunctuation(int c) { return c < 128 || c >= 192; }
QChar unicodeOf(int c) { return QChar(cp1252ToUnicode(static_cast<unsigned char>(c))); }

TEST(LetterClass, AgreesWithUnicodeOnEveryCode)
{
    int letters = 0;
    for (int c = 0; c < 256; ++c) {
        const bool expected = outsideHighPunctuation(c) && unicodeOf(c).isLetter();
        EXPECT_EQ(isLetter(static_cast<unsigned char>(c)), expected) << "code " << c;
        EXPECT_EQ(kLetterTable[c], expected) << "code " << c;
        letters += expected;
    }
    EXPECT_EQ(letters, 26 + 26 + 23 + 31 + 8);
}

TEST(LetterClass, NotableCodes)
{
    struct Case { int code; bool letter; bool lower; };
    const Case cases[] = {
        {'A', true, false}, {'z', true, true},   {'0', false, false}, {' ', false, false},
        {215, false, false} /* × */, {247, false, false} /* ÷ */,
        {223, true, false} /* ß counts as upper-case */, {222, true, false} /* Þ */,
        {255, true, true} /* ÿ */, {248, true, true} /* ø */, {192, true, false} /* À */,
        {140, false, false} /* Œ */, {156, false, false} /* œ */, {159, false, false} /* Ÿ */,
        {170, false, false} /* ª */, {181, false, false} /* µ */, {191, false, false} /* ¿ */,
        {161, false, false} /* ¡ */, {'[', false, false}, {'\'', false, false},
    };
    for (const auto& c : cases) {
        const auto code = static_cast<unsigned char>(c.code);
        EXPECT_EQ(isLetter(code), c.letter) << "code " << c.code;
        EXPECT_EQ(isLowerLetter(code), c.lower) << "code " << c.code;
        EXPECT_EQ(isUpperLetter(code), c.letter && !c.lower) << "code " << c.code;
    }
}

TEST(LowerCasing, AgreesWithUnicodeOnEveryCode)
{
    for (int c = 0; c < 256; ++c) {
        const auto code = static_cast<unsigned char>(c);
        const unsigned char expected =
            outsideHighPunctuation(c) ? unicodeToCp1252(unicodeOf(c).toLower().unicode()) : code;
        EXPECT_EQ(int(toLower(code)), int(expected)) << "code " << c;
        EXPECT_EQ(int(kLowerTable[c]), int(expected)) << "code " << c;
    }
}

TEST(LowerCasing, ComparisonsKeepAccents)
{
    EXPECT_TRUE(equalsIgnoringCase("CASA", "casa"));
    EXPECT_TRUE(equalsIgnoringCase("\xC9L", "\xE9l"));  // ÉL / él
    EXPECT_FALSE(equalsIgnoringCase("el", "\xE9l"));     // el / él
    EXPECT_FALSE(equalsIgnoringCase("casa", "casas"));
    EXPECT_EQ(toLower("\xC0\xD6\xD8\xDE\xDF\x8A"), "\xE0\xF6\xF8\xFE\xDF\x8A");
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
