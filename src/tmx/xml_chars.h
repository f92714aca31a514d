// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Character classes of XML 1.0 (fifth edition) for the tokenizer.

#include <QString>
#include <cstdint>
#include <string_view>

namespace solandre::xml {

// Byte classes; bytes from 0x80 on are looked at as characters.
struct ByteClasses {
    bool nameStart[256] = {};
    bool name[256] = {};
    bool attributeStop[256] = {}; // ends a plain run in an attribute value
};

constexpr ByteClasses makeByteClasses()
{
    ByteClasses t;
    for (int c = 0; c < 128; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        t.nameStart[c] = letter || c == '_' || c == ':';
        t.name[c] = t.nameStart[c] || (c >= '0' && c <= '9') || c == '-' || c == '.';
    }
    for (const char c : {'"', '\'', '<', '&', '\t', '\n', '\r'}) t.attributeStop[int(c)] = true;
    return t;
}
constexpr ByteClasses kBytes = makeByteClasses();

inline bool isNameStart(char32_t c)
{
    if (c < 0x80) return kBytes.nameStart[c];
    return (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) ||
           (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

inline bool isNameChar(char32_t c)
{
    if (c < 0x80) return kBytes.name[c];
    return isNameStart(c) || c == 0xB7 || (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

inline bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

inline bool isXmlChar(uint32_t v)
{
    return v == 0x9 || v == 0xA || v == 0xD || (v >= 0x20 && v <= 0xD7FF) || (v >= 0xE000 && v <= 0xFFFD) ||
           (v >= 0x10000 && v <= 0x10FFFF);
}

inline QString text(const char* begin, const char* end)
{
    return QString::fromUtf8(begin, qsizetype(end - begin));
}

inline QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace solandre::xml
