// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/cp1252.h"
#include "common/encoding.h"

#include <gtest/gtest.h>

namespace solandre {
namespace {

TEST(Cp1252, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    const QString text = fromCp1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(toCp1252(text), all);
}

TEST(Cp1252, MapsTheWindowsOnlyCodes)
{
    struct Case { unsigned char byte; char16_t unicode; };
    const Case cases[] = {
        {0x80, 0x20AC}, {0x8C, 0x0152}, {0x9C, 0x0153}, {0x9F, 0x0178}, {0x85, 0x2026},
        {0x93, 0x201C}, {0x81, 0x0081} /* undefined: kept as C1 control */,
        {0xE9, 0x00E9}, {0xBF, 0x00BF}, {'a', 'a'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cp1252ToUnicode(c.byte), c.unicode) << int(c.byte);
        EXPECT_EQ(unicodeToCp1252(c.unicode), c.byte) << int(c.byte);
    }
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeOneQuestionMark)
{
    EXPECT_EQ(toCp1252(QString::fromUtf8("a\u4E2Db")), "a?b");
    EXPECT_EQ(toCp1252(QString::fromUtf8("a\U0001F600b")), "a?b"); // one per surrogate pair
    EXPECT_EQ(toCp1252(QString::fromUtf8("\u00BFQu\u00E9?")), "\xBFQu\xE9?");
}

} // namespace
} // namespace solandre

namespace solandre {
namespace {

TEST(Cp1252, Utf8OfEveryByteMatchesQt)
{
    std::string all;
    for (int c = 0; c < 256; ++c) all += char(c);
    EXPECT_EQ(QString::fromUtf8(toUtf8(all, Encoding::Windows1252)), fromCp1252(all));
}

} // namespace
} // namespace solandre
