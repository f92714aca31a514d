// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/encoding.h"
#include "common/text_file.h"
#include "support/reference_text.h"
#include "support/temp_files.h"

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

namespace solandre {
namespace {

using namespace std::string_literals;

TEST(GuessEncoding, MarksThenValidityThenWindows1252)
{
    struct Case { const char* name; std::string bytes; FileEncoding encoding; size_t mark; };
    const Case cases[] = {
        {"UTF-8 mark", "\xEF\xBB\xBFhola", FileEncoding::Utf8, 3},
        {"UTF-8 mark on plain ASCII", "\xEF\xBB\xBF[1] a.", FileEncoding::Utf8, 3},
        {"UTF-16 little-endian mark", "\xFF\xFEh\0"s, FileEncoding::Utf16LE, 2},
        {"UTF-16 big-endian mark", "\xFE\xFF\0h"s, FileEncoding::Utf16BE, 2},
        {"valid UTF-8 with a high byte", "canci\xC3\xB3n", FileEncoding::Utf8, 0},
        {"ASCII alone reads as Windows-1252", "cancion", FileEncoding::Windows1252, 0},
        {"Windows-1252 accents", "canci\xF3n", FileEncoding::Windows1252, 0},
        {"a valid start, a bad end", "\xC3\xB3 ... \xF3n", FileEncoding::Windows1252, 0},
        {"overlong encoding", "\xC0\xAF", FileEncoding::Windows1252, 0},
        {"encoded surrogate", "\xED\xA0\x80", FileEncoding::Windows1252, 0},
        {"past U+10FFFF", "\xF4\x90\x80\x80", FileEncoding::Windows1252, 0},
        {"cut at the end", "casa\xC3", FileEncoding::Windows1252, 0},
        {"four bytes", "\xF0\x9F\x98\x80", FileEncoding::Utf8, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const EncodingGuess guess = guessEncoding(c.bytes);
        EXPECT_EQ(guess.encoding, c.encoding);
        EXPECT_EQ(guess.markLength, c.mark);
    }
}

// "Canción" on `sequences` lines, with `bad` Windows-1252 bytes in the middle.
std::string mostlyUtf8(int sequences, int bad)
{
    std::string text;
    for (int k = 0; k < sequences; ++k) text += "Canci\xC3\xB3n\n";
    text.insert(text.find('\n', text.size() / 2) + 1, std::string(size_t(bad), '\xE9'));
    return text;
}

TEST(GuessEncoding, MostlyUtf8IsUtf8UpToOneBadBytePerHundredSequences)
{
    struct Case { const char* name; std::string bytes; FileEncoding encoding; std::uint64_t invalid; };
    const Case cases[] = {
        {"one bad byte in 100 sequences", mostlyUtf8(100, 1), FileEncoding::Utf8, 1},
        {"two in 200", mostlyUtf8(200, 2), FileEncoding::Utf8, 2},
        {"two in 100", mostlyUtf8(100, 2), FileEncoding::Windows1252, 0},
        {"one in 99", mostlyUtf8(99, 1), FileEncoding::Windows1252, 0},
        {"bad bytes and no valid sequence", "caf\xE9 y t\xE9", FileEncoding::Windows1252, 0},
        {"a lone bad byte", "\xE9", FileEncoding::Windows1252, 0},
        {"a cut sequence at the end counts as bad", mostlyUtf8(100, 0) + "\xC3", FileEncoding::Utf8, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const EncodingGuess guess = guessEncoding(c.bytes);
        EXPECT_EQ(guess.encoding, c.encoding);
        EXPECT_EQ(guess.invalidBytes, c.invalid);
    }
}

TEST(Utf8Census, CountsAPieceAtATimeAndStopsWhenUtf8IsOutOfReach)
{
    const std::string text = mostlyUtf8(1000, 5);
    Utf8Census whole, pieces;
    whole.count(text);
    for (size_t at = 0; at < text.size(); at += 777) {
        size_t end = std::min(text.size(), at + 777);
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
        pieces.count(std::string_view(text).substr(at, end - at), text.size() - end);
        at = end - 777;
    }
    EXPECT_EQ(whole.sequences, 1000u);
    EXPECT_EQ(whole.invalid, 5u);
    EXPECT_EQ(text[whole.firstInvalid], '\xE9');
    EXPECT_EQ(pieces.sequences, whole.sequences);
    EXPECT_EQ(pieces.invalid, whole.invalid);
    EXPECT_EQ(pieces.firstInvalid, whole.firstInvalid);
    EXPECT_TRUE(whole.isUtf8());

    // Windows-1252 text: given up long before its end.
    std::string cp1252;
    for (int k = 0; k < 20000; ++k) cp1252 += "Canci\xF3n y coraz\xF3n. ";
    Utf8Census early;
    EXPECT_FALSE(early.count(cp1252));
    EXPECT_LT(early.counted, cp1252.size() / 2);
    EXPECT_FALSE(early.isUtf8());
}

TEST(TextFile, AMostlyUtf8TextIsUtf8AndTellsWhereItsFirstBadByteIs)
{
    std::string rows;
    for (int k = 1; k <= 300; ++k) rows += "Canci\xC3\xB3n " + std::to_string(k) + (k == 120 ? " caf\xE9" : "") + "\r\n";
    const TextFile text = TextFile::fromBytes(rows, "tabla.tsv");
    EXPECT_EQ(text.encoding(), Encoding::Utf8);
    EXPECT_EQ(text.text(), rows) << "the bad byte is kept as it is";
    EXPECT_EQ(text.invalidBytes(), 1u);
    EXPECT_EQ(text.firstInvalidLine(), 120u);
    const QString warning = text.invalidBytesWarning();
    EXPECT_TRUE(warning.contains("\"tabla.tsv\"")) << warning.toStdString();
    EXPECT_TRUE(warning.contains("1 byte")) << warning.toStdString();
    EXPECT_TRUE(warning.contains("línea 120")) << warning.toStdString();

    // Lines ended by a lone CR, as old Macs wrote them.
    std::string mac;
    for (int k = 1; k <= 200; ++k) mac += "Canci\xC3\xB3n" + std::string(k == 50 ? "\xE9" : "") + "\r";
    EXPECT_EQ(TextFile::fromBytes(mac).firstInvalidLine(), 50u);
    EXPECT_EQ(TextFile::fromBytes(mostlyUtf8(200, 0)).invalidBytesWarning(), QString());
}

TEST(IsValidUtf8, AgreesWithAPlainDecodingOnRandomBytes)
{
    // Pieces that cross the sixteen-byte blocks at every place: characters of
    // every length, and every way of being wrong.
    const std::vector<std::string> pieces = {
        "a", "abcdefg", "\xC3\xB3", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xE0\xA0\x80",
        "\xED\x9F\xBF", "\xF4\x8F\xBF\xBF", "\xEF\xBF\xBD",
        "\x80", "\xBF", "\xC0\x80", "\xC1\xBF", "\xC3", "\xE2\x82", "\xF0\x9F\x98",
        "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80",
        "\xFF", "\xC3\xB3\xB3"};
    std::mt19937 random(11);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes;
        const bool valid = random() % 2 == 0;
        for (int k = random() % 40; k > 0; --k) {
            const size_t pick = random() % (valid ? 9 : pieces.size());
            bytes += pieces[pick];
        }
        const reference::Chars chars = reference::decode(bytes, Encoding::Utf8);
        const bool expected = std::none_of(chars.begin(), chars.end(),
                                           [](char32_t c) { return c >= 0xDC80 && c <= 0xDCFF; });
        ASSERT_EQ(isValidUtf8(bytes), expected) << ::testing::PrintToString(bytes);
    }
}

TEST(Utf16ToUtf8, PairsJoinAndLoneHalvesAreReplaced)
{
    EXPECT_EQ(utf16ToUtf8("h\0\xF3\0=\xD8\0\xDE"s, false), "hó😀");
    EXPECT_EQ(utf16ToUtf8("\0h\0\xF3\xD8=\xDE\0"s, true), "hó😀");
    EXPECT_EQ(utf16ToUtf8("=\xD8h\0"s, false), "\xEF\xBF\xBDh");
    EXPECT_EQ(utf16ToUtf8("h\0x"s, false), "h\xEF\xBF\xBD");
}

TEST(EncodeText, Windows1252WritesOnlyWhatItHas)
{
    EXPECT_EQ(encodeText(u"canción œ €", Encoding::Windows1252), std::optional<std::string>("canci\xF3n \x9C \x80"));
    EXPECT_EQ(encodeText(u"Łódź", Encoding::Windows1252), std::nullopt);
    EXPECT_EQ(encodeText(u"?", Encoding::Windows1252), std::optional<std::string>("?"));
    EXPECT_EQ(encodeText(u"Łódź", Encoding::Utf8), std::optional<std::string>("Łódź"));
}

TEST(TextFile, ReadsEveryKindOfTextAfterItsMark)
{
    testing::TempDir dir;
    struct Case { const char* name; std::string bytes; std::string text; Encoding encoding; std::string mark; };
    const Case cases[] = {
        {"Windows-1252", "canci\xF3n.", "canci\xF3n.", Encoding::Windows1252, ""},
        {"UTF-8", "canci\xC3\xB3n.", "canci\xC3\xB3n.", Encoding::Utf8, ""},
        {"UTF-8 with its mark", "\xEF\xBB\xBF[1] a.", "[1] a.", Encoding::Utf8, "\xEF\xBB\xBF"},
        {"UTF-16 becomes UTF-8 with a mark", "\xFF\xFE\xF3\0.\0"s, "\xC3\xB3.", Encoding::Utf8, "\xEF\xBB\xBF"},
        {"UTF-16 big-endian too", "\xFE\xFF\0\xF3\0."s, "\xC3\xB3.", Encoding::Utf8, "\xEF\xBB\xBF"},
        {"empty", "", "", Encoding::Windows1252, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto text = TextFile::open(dir.write("t.txt", c.bytes));
        ASSERT_TRUE(text.ok());
        EXPECT_EQ(text.value().text(), c.text);
        EXPECT_EQ(text.value().encoding(), c.encoding);
        EXPECT_EQ(text.value().mark(), c.mark);
        // Memory given back stays readable from the file.
        text.value().release(c.text.size());
        EXPECT_EQ(text.value().text(), c.text);
    }
    const auto pdf = TextFile::open(dir.write("d.pdf", "%PDF-1.4\n"));
    ASSERT_FALSE(pdf.ok());
    EXPECT_TRUE(pdf.error().message.contains("no es un fichero de texto"));
    EXPECT_FALSE(TextFile::open(dir.path("no.txt")).ok());
}

} // namespace
} // namespace solandre
