// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/text_kind.h"

#include <gtest/gtest.h>

namespace solandre {
namespace {

TEST(CheckLooksLikeText, RefusesWhatIsNotATextAndSaysWhatItLooksLike)
{
    using namespace std::string_literals;
    struct Case { const char* name; std::string head; const char* lookalike; };
    const Case cases[] = {
        {"PDF", "%PDF-1.7\n%\xE2\xE3\n1 0 obj"s, "parece un documento PDF"},
        {"Word (zip)", "PK\x03\x04\x14\0\x06\0\x08\0\0\0!\0[Content_Types].xml...word/document.xml"s,
         "parece un documento de Word"},
        {"OpenDocument (zip)", "PK\x03\x04\x14\0\0\0\0\0mimetypeapplication/vnd.oasis.opendocument.text"s,
         "parece un documento OpenDocument"},
        {"another zip", "PK\x03\x04\x14\0\0\0\0\0datos.csv"s, "parece un archivo comprimido ZIP"},
        {"old Word", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0\0\0"s, "parece un documento de Word antiguo"},
        {"NUL bytes", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR"s, nullptr},
        {"a NUL late in the head", std::string(60000, 'a') + '\0', nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Status checked = checkLooksLikeText("/t/x.bin", c.head);
        ASSERT_FALSE(checked.ok());
        const QString message = checked.error().message;
        EXPECT_TRUE(message.contains("/t/x.bin"));
        EXPECT_TRUE(message.contains(QString::fromUtf8("no es un fichero de texto")));
        if (c.lookalike) {
            EXPECT_TRUE(message.contains(QString::fromUtf8(c.lookalike))) << message.toStdString();
        }
    }
}

TEST(CheckLooksLikeText, AcceptsTexts)
{
    using namespace std::string_literals;
    struct Case { const char* name; std::string head; };
    const Case cases[] = {
        {"empty", ""},
        {"Windows-1252", "Una canci\xF3n. Otra.\r\n"s},
        {"UTF-8 with its mark", "\xEF\xBB\xBFUna canci\xC3\xB3n."s},
        {"UTF-16 little-endian with its mark", "\xFF\xFEU\0n\0a\0"s},
        {"UTF-16 big-endian with its mark", "\xFE\xFF\0U\0n\0a"s},
        {"a NUL past the first 64 KiB", std::string(70000, 'a') + '\0'},
        {"\"PK\" as a word", "PK es una sigla."},
    };
    for (const Case& c : cases) EXPECT_TRUE(checkLooksLikeText("x", c.head).ok()) << c.name;
}

} // namespace
} // namespace solandre
