#include "tmx/segment_text.h"

#include "tmx/utf8.h"

namespace solandre {

void SegmentCleaner::appendOther(std::string& out, char32_t c)
{
    utf8::append(out, c);
}

void appendCleanUtf8(std::string& out, std::string_view bytes)
{
    SegmentCleaner cleaner;
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x80 && c != '[' && c != ']') {
            // Runs of plain ASCII go over at once.
            size_t j = i + 1;
            while (j < bytes.size()) {
                const unsigned char d = static_cast<unsigned char>(bytes[j]);
                if (d < 0x20 || d >= 0x80 || d == '[' || d == ']') break;
                ++j;
            }
            out.append(bytes.data() + i, j - i);
            cleaner.clearCr();
            i = j;
            continue;
        }
        const utf8::Decoded d = utf8::decode(bytes.data() + i, bytes.size() - i);
        if (d.length > 0) {
            cleaner.put(out, d.code);
            i += size_t(d.length);
        } else {
            cleaner.put(out, 0xFFFD);
            i += d.length == 0 ? bytes.size() - i : size_t(-d.length);
        }
    }
}

char32_t cp1252ToUnicode(unsigned char c)
{
    static constexpr char16_t k80[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    return c >= 0x80 && c < 0xA0 ? k80[c - 0x80] : c;
}

void appendCleanCp1252(std::string& out, std::string_view bytes)
{
    SegmentCleaner cleaner;
    for (const char b : bytes) cleaner.put(out, cp1252ToUnicode(static_cast<unsigned char>(b)));
}

} // namespace solandre
