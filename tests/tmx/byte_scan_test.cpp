// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/byte_scan.h"
#include "tmx/utf8.h"

#include <gtest/gtest.h>
#include <cctype>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace solandre {
namespace {

// Random buffers mixing plain letters with the bytes the scans look for, at
// every offset and length, so that each vector lane and each tail is hit.
std::vector<std::string> randomBuffers()
{
    const std::string alphabet = std::string("abcXYZ09 -._:<>&[]\"'=/\t\n\r\x01\x1F\x7F") +
                                 "\xC2\x85\xC3\xA9\xE2\x80\xA8\xE2\x82\xAC\xF0\x9F\x98\x80\xFF\x80\xBF\xC0\xED\xA0";
    std::mt19937 random(11);
    std::vector<std::string> buffers;
    for (int round = 0; round < 3000; ++round) {
        std::string s;
        const size_t length = random() % 100;
        const bool sparse = round % 2 == 0; // mostly plain letters, as in real text
        for (size_t i = 0; i < length; ++i)
            s += sparse && random() % 8 ? char('a' + random() % 26) : alphabet[random() % alphabet.size()];
        buffers.push_back(s);
    }
    return buffers;
}

struct FindCase {
    const char* name;
    std::function<const char*(const char*, const char*)> scan;
    std::function<bool(unsigned char)> stopsAt;
};

TEST(ByteScan, FindsTheFirstByteOfItsKind)
{
    const FindCase cases[] = {
        {"findTextSpecial", scan::findTextSpecial, scan::isTextSpecial},
        {"findTextSpecialSse2", scan::findTextSpecialSse2, scan::isTextSpecial},
        {"findMarkup", scan::findMarkup, [](unsigned char c) { return c == '<' || c == '&' || c == ']'; }},
        {"findAttributeStop", scan::findAttributeStop,
         [](unsigned char c) { return std::string_view("\"'<&\t\n\r").find(char(c)) != std::string_view::npos; }},
        {"skipBlanks", scan::skipBlanks, [](unsigned char c) { return !(c == ' ' || c == '\t' || c == '\n' || c == '\r'); }},
        {"skipAsciiNameChars", scan::skipAsciiNameChars,
         [](unsigned char c) { return !(std::isalnum(c) && c < 0x80) && c != '-' && c != '.' && c != '_'; }},
    };
    for (const std::string& s : randomBuffers()) {
        std::string buffer = s + std::string(64, '<'); // slack that the scans must ignore
        const char* begin = buffer.data();
        const char* end = begin + s.size();
        for (const FindCase& c : cases) {
            for (size_t from = 0; from <= s.size(); from += 1 + from / 8) {
                const char* expected = begin + from;
                while (expected < end && !c.stopsAt(static_cast<unsigned char>(*expected))) ++expected;
                ASSERT_EQ(c.scan(begin + from, end) - begin, expected - begin) << c.name << " in \"" << s << "\"";
            }
        }
    }
}

TEST(ByteScan, CountsLineBreaksAndCharacters)
{
    for (const std::string& s : randomBuffers()) {
        const std::string buffer = s + std::string(64, '\n');
        const char* begin = buffer.data();
        for (const bool afterCr : {false, true}) {
            int64_t lines = 0;
            bool cr = afterCr;
            for (const char c : s) {
                lines += c == '\r' || (c == '\n' && !cr);
                cr = c == '\r';
            }
            ASSERT_EQ(scan::countLineBreaks(begin, begin + s.size(), afterCr), lines) << s;
        }
        int64_t chars = 0;
        for (const char c : s) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        ASSERT_EQ(scan::countChars(begin, begin + s.size()), chars) << s;
        const size_t last = s.find_last_of("\r\n");
        const char* found = scan::findLastLineBreak(begin, begin + s.size());
        ASSERT_EQ(found ? size_t(found - begin) : std::string::npos, last) << s;
    }
}

// The vector check passes only what the strict decoder accepts, and stops
// on a character boundary.
TEST(ByteScan, SkipsOnlyCheckedText)
{
    auto plain = [](const char* p, const char* end) {
        while (p < end) {
            const auto c = static_cast<unsigned char>(*p);
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
            const utf8::Decoded d = utf8::decode(p, size_t(end - p));
            if (d.length <= 0) return false;
            p += d.length;
        }
        return true;
    };
    int skippedSome = 0;
    for (const std::string& s : randomBuffers()) {
        for (const std::string& text : {s, s + s + s + s + s}) {
            const std::string buffer = text + std::string(64, 'x');
            const char* begin = buffer.data();
            const char* end = begin + text.size();
            for (const auto skip : {scan::skipPlainText, scan::skipPlainTextSse2}) {
                const char* stop = skip(begin, end);
                ASSERT_TRUE(stop >= begin && stop <= end);
                ASSERT_TRUE(plain(begin, stop)) << text;
                skippedSome += stop > begin;
            }
        }
    }
#if defined(__SSE2__)
    EXPECT_GT(skippedSome, 1000); // without vectors nothing is skipped: the bytes are looked at one by one
#endif
}

} // namespace
} // namespace solandre
