// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/segment_text.h"

#include "common/cp1252.h"
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

void appendCleanCp1252(std::string& out, std::string_view bytes)
{
    SegmentCleaner cleaner;
    for (const char b : bytes) cleaner.put(out, cp1252ToUnicode(static_cast<unsigned char>(b)));
}

} // namespace solandre
