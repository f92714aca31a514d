// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx_test_support.h"

#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::oracleUnits;
using testing::pair;
using testing::readTmxBytes;
using testing::utf16;

// A memory with one unit holding `english` and `spanish` as written.
QByteArray memory(const QByteArray& declaration, const QByteArray& english, const QByteArray& spanish)
{
    return declaration + "<tmx version=\"1.4\"><header srclang=\"en\"/><body>\r\n<tu><tuv xml:lang=\"en\"><seg>" +
           english + "</seg></tuv><tuv xml:lang=\"es\"><seg>" + spanish + "</seg></tuv></tu>\r\n</body></tmx>\r\n";
}

const QByteArray kEnglish = "Text [1] \xE2\x82\xAC \xF0\x9D\x84\x9E\r\nend";      // € and a non-BMP character
const QByteArray kSpanish = "\xC3\x91" "and\xC3\xBA &amp; \xC2\xBF" "a\xC3\xB1o?"; // Ñandú & ¿año?
const SegmentPair kExpected = pair("Text <1> \xE2\x82\xAC \xF0\x9D\x84\x9E end", "\xC3\x91" "and\xC3\xBA & \xC2\xBF" "a\xC3\xB1o?");

struct EncodingCase {
    const char* name;
    QByteArray bytes;
    bool oracle = true; // QXmlStreamReader reads it too
};

void PrintTo(const EncodingCase& c, std::ostream* os)
{
    *os << c.name;
}

QByteArray declared(const char* encoding)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>\r\n";
}

const QByteArray kUtf8 = memory(declared("UTF-8"), kEnglish, kSpanish);
const QByteArray kUndeclared = memory("", kEnglish, kSpanish);
const QByteArray kUtf16 = memory(declared("UTF-16"), kEnglish, kSpanish);

const EncodingCase kReadable[] = {
    {"Utf8Declared", kUtf8},
    {"Utf8WithoutDeclaration", kUndeclared},
    {"Utf8WithoutEncodingInTheDeclaration", memory("<?xml version=\"1.0\"?>", kEnglish, kSpanish)},
    {"Utf8WithByteOrderMark", "\xEF\xBB\xBF" + kUtf8},
    {"Utf8LowerCaseName", memory(declared("utf-8"), kEnglish, kSpanish)},
    {"Utf16LeWithByteOrderMark", utf16(kUtf16, true, true)},
    {"Utf16BeWithByteOrderMark", utf16(kUtf16, false, true)},
    {"Utf16LeWithoutByteOrderMark", utf16(kUtf16, true, false)},
    {"Utf16BeWithoutByteOrderMark", utf16(kUtf16, false, false), false},
    {"Utf16LeDeclaredAsSuch", utf16(memory(declared("UTF-16LE"), kEnglish, kSpanish), true, false)},
    {"Utf16ByteOrderMarkWithoutDeclaration", utf16(kUndeclared, false, true)},
};

class ReadableEncoding : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(ReadableEncoding, GivesTheSameUnit)
{
    const QByteArray& bytes = GetParam().bytes;
    for (const qint64 step : {0, 1, 3}) {
        const auto reading = readTmxBytes(bytes, {}, step);
        ASSERT_EQ(reading.error, "") << "read " << step << " bytes at a time";
        ASSERT_EQ(reading.pairs.size(), 1u);
        EXPECT_EQ(reading.pairs[0], kExpected) << "read " << step << " bytes at a time";
    }
}

TEST_P(ReadableEncoding, AgreesWithQXmlStreamReader)
{
    if (!GetParam().oracle) GTEST_SKIP() << "QXmlStreamReader does not read this one";
    const auto units = oracleUnits(GetParam().bytes);
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].at("en"), kExpected.source);
    EXPECT_EQ(units[0].at("es"), kExpected.target);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadableEncoding, ::testing::ValuesIn(kReadable),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SingleByteEncodings, AreReadAsDeclared)
{
    struct Case {
        const char* encoding;
        QByteArray seg;
        std::string expected;
    };
    const Case cases[] = {
        {"ISO-8859-1", "\xE9t\xE9 \xBF\x80?", "\xC3\xA9t\xC3\xA9 \xC2\xBF\xC2\x80?"},
        {"latin1", "a\xF1o", "a\xC3\xB1o"},
        {"windows-1252", "\x80 \x93hi\x94 \x85", "\xE2\x82\xAC \xE2\x80\x9Chi\xE2\x80\x9D \xE2\x80\xA6"},
        {"CP1252", "\x81\x8D", "\xC2\x81\xC2\x8D"},
        {"US-ASCII", "plain [text]", "plain <text>"},
    };
    for (const Case& c : cases) {
        const QByteArray bytes = memory(declared(c.encoding), c.seg, "x");
        const auto reading = readTmxBytes(bytes, {}, 2);
        ASSERT_EQ(reading.error, "") << c.encoding;
        ASSERT_EQ(reading.pairs.size(), 1u);
        EXPECT_EQ(reading.pairs[0].source, c.expected) << c.encoding;
    }
}

// XML lets a declaration hold any number of blanks: one of more than a
// kilobyte still names the encoding, even from a slow pipe.
TEST(SingleByteEncodings, ALongDeclarationIsReadWhole)
{
    for (const int blanks : {1100, 5000, 70000}) {
        SCOPED_TRACE(blanks);
        const QByteArray declaration = "<?xml version=\"1.0\"" + QByteArray(blanks, ' ') + "encoding=\"ISO-8859-1\"\n?>";
        const QByteArray bytes = memory(declaration, "\xE9t\xE9", "a\xF1o");
        for (const qint64 step : {0, 7, 4096}) {
            const auto reading = readTmxBytes(bytes, {}, step);
            ASSERT_EQ(reading.error, "") << "read " << step << " bytes at a time";
            ASSERT_EQ(reading.pairs.size(), 1u);
            EXPECT_EQ(reading.pairs[0], pair("\xC3\xA9t\xC3\xA9", "a\xC3\xB1o"));
        }
        const auto units = oracleUnits(bytes);
        ASSERT_EQ(units.size(), 1u);
        EXPECT_EQ(units[0].at("en"), "\xC3\xA9t\xC3\xA9");
    }
    const QByteArray utf16Declaration = utf16("<?xml version=\"1.0\"" + QByteArray(3000, ' ') + "encoding=\"UTF-16\"?>", true, true);
    const auto reading = readTmxBytes(utf16Declaration + utf16(memory("", kEnglish, kSpanish), true, false), {}, 3);
    ASSERT_EQ(reading.error, "");
    EXPECT_EQ(reading.pairs.at(0), kExpected);
}

TEST(RefusedEncodings, AreNamedInTheMessage)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"Unsupported", memory(declared("Shift_JIS"), "a", "b"),
         "codificación no admitida: \"Shift_JIS\" (se leen UTF-8, UTF-16, ISO-8859-1, windows-1252 y US-ASCII)"},
        {"Utf32", QByteArray("\xFF\xFE\x00\x00<\x00\x00\x00", 8), "UTF-32"},
        {"Utf16MarkDeclaredUtf8", utf16(kUtf8, true, true), "está en UTF-16 LE pero su declaración XML dice \"UTF-8\""},
        {"Utf16LeMarkDeclaredBe", utf16(memory(declared("UTF-16BE"), "a", "b"), true, true),
         "está en UTF-16 LE pero su declaración XML dice \"UTF-16BE\""},
        {"BytesDeclaredUtf16", kUtf16, "dice \"UTF-16\" pero el fichero no está en UTF-16"},
        {"Utf8MarkDeclaredLatin1", "\xEF\xBB\xBF" + memory(declared("ISO-8859-1"), "a", "b"),
         "marca de UTF-8 pero su declaración XML dice \"ISO-8859-1\""},
    };
    for (const Case& c : cases) {
        const auto error = readTmxBytes(c.bytes).error;
        EXPECT_EQ(error.rfind("No se puede leer el fichero \"m.tmx\": ", 0), 0u) << c.name << ": " << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
    }
}

// UTF-16 with a bad unit where "¶" stands: the fault is reported there.
QByteArray utf16WithFault(const std::string& marked, const QByteArray& bad, bool littleEndian)
{
    const size_t at = marked.find("¶");
    return utf16(QByteArray::fromStdString(marked.substr(0, at)), littleEndian, true) + bad +
           utf16(QByteArray::fromStdString(marked.substr(at + 2)), littleEndian, false);
}

TEST(BrokenUtf16, IsRefusedWhereTheFaultIs)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* where;
        const char* reason;
    };
    const std::string doc = "<tmx><body>\n<tu>\xC3\xB1\xF0\x9D\x84\x9E¶x</tu></body></tmx>";
    const std::string end = "<tmx><body/></tmx>\n ¶";
    const Case cases[] = {
        {"LoneLowSurrogateLe", utf16WithFault(doc, QByteArray("\x00\xDC", 2), true), "2, columna 7",
         "un sustituto bajo suelto"},
        {"LoneLowSurrogateBe", utf16WithFault(doc, QByteArray("\xDC\x00", 2), false), "2, columna 7",
         "un sustituto bajo suelto"},
        {"HighSurrogateWithoutPair", utf16WithFault(doc, QByteArray("\x00\xD8", 2), true), "2, columna 7",
         "un sustituto alto sin su pareja"},
        {"HighSurrogateAtTheEnd", utf16WithFault(end, QByteArray("\x00\xD8", 2), true), "2, columna 2",
         "acaba con un sustituto alto"},
        {"OddByteAtTheEnd", utf16WithFault(end, QByteArray("\x41", 1), true), "2, columna 2",
         "acaba con un byte suelto"},
    };
    for (const Case& c : cases) {
        for (const qint64 step : {0, 1, 5}) {
            const std::string error = readTmxBytes(c.bytes, {}, step).error;
            const std::string expected =
                std::string("XML mal formado en la línea ") + c.where + ": UTF-16 ";
            EXPECT_NE(error.find(expected), std::string::npos) << c.name << ": " << error;
            EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
        }
    }
}

TEST(BrokenAscii, IsRefusedWhereTheByteIs)
{
    const QByteArray bytes = memory(declared("US-ASCII"), "caf\xE9", "x");
    EXPECT_NE(readTmxBytes(bytes).error.find("línea 3, columna 32: el byte 0xE9 no es US-ASCII"),
              std::string::npos)
        << readTmxBytes(bytes).error;
}

} // namespace
} // namespace solandre
