// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/letters.h"

#include "common/cp1252.h"

#include <QChar>

namespace solandre {
namespace {

// ƒ and ˆ: written by the code page among its non-letters, letters to Unicode.
bool codePageNonLetter(char32_t c) { return c == 0x0192 || c == 0x02C6; }

} // namespace

bool isLetter(char32_t c)
{
    if (c < 0x80) return isAsciiLetter(static_cast<unsigned char>(c));
    if (c < 0x100) return c >= 0xC0 && c != 0xD7 && c != 0xF7;
    if (codePageNonLetter(c)) return false;
    return QChar::isLetter(c);
}

bool isLowerLetter(char32_t c)
{
    if (c < 0x80) return c >= 'a' && c <= 'z';
    if (c < 0x100) return c >= 0xE0 && c != 0xF7;
    if (codePageNonLetter(c)) return false;
    return QChar::category(c) == QChar::Letter_Lowercase;
}

char32_t lowerCase(char32_t c)
{
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c < 0x100) return ((c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xDE)) ? c + 32 : c;
    if (codePageNonLetter(c)) return c;
    return QChar::toCaseFolded(c);
}

EndMark endMark(char32_t c)
{
    switch (c) {
    case U'.':
    case U'\u3002': // 。
    case U'\uFF0E': // ．
    case U'\u0964': // ।
    case U'\u0965': // ॥
        return EndMark::Stop;
    case U'?':
    case U'!':
    case U'\uFF1F': // ？
    case U'\uFF01': // ！
    case U'\u061F': // ؟
        return EndMark::Question;
    default:
        return EndMark::None;
    }
}

const Cp1252Classes& cp1252Classes()
{
    static const Cp1252Classes classes = [] {
        Cp1252Classes t{};
        for (int b = 0; b < 256; ++b) {
            const char32_t c = cp1252ToUnicode(static_cast<unsigned char>(b));
            t.letter[b] = isLetter(c);
            t.lower[b] = isLowerLetter(c);
            t.lowerCase[b] = unicodeToCp1252(char16_t(lowerCase(c)));
        }
        return t;
    }();
    return classes;
}

} // namespace solandre
