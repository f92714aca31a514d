// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Strict UTF-8 decoding and encoding, shared by the readers and the writer.

#include <cstddef>
#include <string>

namespace solandre::utf8 {

struct Decoded {
    // > 0: a valid sequence of that many bytes, giving `code`.
    // 0: a valid beginning that the available bytes cut short.
    // < 0: invalid; skip -length bytes (the longest valid beginning, at least one).
    int length;
    char32_t code;
};

inline Decoded decode(const char* text, size_t available)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char lead = p[0];
    if (lead < 0x80) return {1, lead};
    int length;
    unsigned char low = 0x80, high = 0xBF; // range allowed for the second byte
    char32_t code;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;  // overlong
        if (lead == 0xED) high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        if (lead == 0xF0) low = 0x90;  // overlong
        if (lead == 0xF4) high = 0x8F; // beyond U+10FFFF
    } else {
        return {-1, 0};
    }
    for (int i = 1; i < length; ++i) {
        if (size_t(i) >= available) return {0, 0};
        const unsigned char c = p[i];
        if (i == 1 ? (c < low || c > high) : (c < 0x80 || c > 0xBF)) return {-i, 0};
        code = (code << 6) | (c & 0x3F);
    }
    return {length, code};
}

// Writes the UTF-8 form of `c` at `out` (room for 4 bytes) and returns its length.
inline int encode(char* out, char32_t c)
{
    if (c < 0x80) {
        out[0] = char(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = char(0xC0 | (c >> 6));
        out[1] = char(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = char(0xE0 | (c >> 12));
        out[1] = char(0x80 | ((c >> 6) & 0x3F));
        out[2] = char(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = char(0xF0 | (c >> 18));
    out[1] = char(0x80 | ((c >> 12) & 0x3F));
    out[2] = char(0x80 | ((c >> 6) & 0x3F));
    out[3] = char(0x80 | (c & 0x3F));
    return 4;
}

inline void append(std::string& out, char32_t c)
{
    char bytes[4];
    out.append(bytes, size_t(encode(bytes, c)));
}

} // namespace solandre::utf8
