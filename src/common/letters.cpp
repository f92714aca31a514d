// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/letters.h"

#include "common/cp1252.h"
#include "common/encoding.h"

#include <QChar>
#include <algorithm>
#include <memory>
#include <string>

namespace solandre {
namespace {

// ƒ and ˆ: written by the code page among its non-letters, letters to Unicode.
bool codePageNonLetter(char32_t c) { return c == 0x0192 || c == 0x02C6; }

bool isMarkCategory(QChar::Category category)
{
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
           category == QChar::Mark_Enclosing;
}

bool isLetterCategory(QChar::Category category)
{
    switch (category) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
        return true;
    default:
        return isMarkCategory(category);
    }
}

bool isUnspacedScript(QChar::Script script)
{
    switch (script) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Thai:
    case QChar::Script_Lao:
    case QChar::Script_Khmer:
    case QChar::Script_Myanmar:
        return true;
    default:
        return false;
    }
}

// Characters past the code page's 256.
WordClass classOfWide(char32_t c)
{
    if (codePageNonLetter(c)) return WordClass::None;
    if (isWordJoiner(c)) return WordClass::Joiner;
    const QChar::Category category = QChar::category(c);
    if (!isLetterCategory(category)) return WordClass::None;
    const QChar::Script script = QChar::script(c);
    if (isUnspacedScript(script)) return WordClass::Unspaced;
    if (isMarkCategory(category) || script == QChar::Script_Common || script == QChar::Script_Inherited)
        return WordClass::Follower;
    return WordClass::Letter;
}

bool isLetterClass(WordClass k) { return k != WordClass::None && k != WordClass::Joiner; }

// The class of every character of the Basic Multilingual Plane, looked up
// once: the Unicode tables behind QChar are walked on each call.
class BmpClasses {
public:
    BmpClasses()
    {
        for (char32_t c = 0x100; c < 0x10000; ++c) {
            const WordClass k = classOfWide(c);
            const bool letter = isLetterClass(k);
            const bool lower = letter && QChar::category(c) == QChar::Letter_Lowercase;
            const bool mark = letter && isMarkCategory(QChar::category(c));
            entries_[c] = static_cast<unsigned char>(unsigned(k) | (lower ? kLower : 0u) | (mark ? kMark : 0u));
        }
    }
    WordClass wordClass(char32_t c) const { return WordClass(entries_[c] & kClass); }
    bool lower(char32_t c) const { return entries_[c] & kLower; }
    bool mark(char32_t c) const { return entries_[c] & kMark; }

private:
    static constexpr unsigned kLower = 0x80, kMark = 0x40, kClass = 0x0F;
    std::array<unsigned char, 0x10000> entries_{};
};

const BmpClasses& bmpClasses()
{
    static const auto classes = std::make_unique<BmpClasses>();
    return *classes;
}

bool isCodePageLetter(char32_t c) // c < 0x100
{
    if (c < 0x80) return isAsciiLetter(static_cast<unsigned char>(c));
    return c >= 0xC0 && c != 0xD7 && c != 0xF7;
}

} // namespace

WordClass wordClass(char32_t c)
{
    if (c < 0x100) return isCodePageLetter(c) ? WordClass::Letter : WordClass::None;
    if (c < 0x10000) return bmpClasses().wordClass(c);
    if (c > 0x10FFFF) return WordClass::None;
    return classOfWide(c);
}

bool isLetter(char32_t c)
{
    if (c < 0x100) return isCodePageLetter(c);
    return isLetterClass(wordClass(c));
}

bool isLowerLetter(char32_t c)
{
    if (c < 0x80) return c >= 'a' && c <= 'z';
    if (c < 0x100) return c >= 0xE0 && c != 0xF7;
    if (c < 0x10000) return bmpClasses().lower(c);
    return isLetter(c) && QChar::category(c) == QChar::Letter_Lowercase;
}

bool isCombiningMark(char32_t c)
{
    if (c < 0x100) return false;
    if (c < 0x10000) return bmpClasses().mark(c);
    return c <= 0x10FFFF && isMarkCategory(QChar::category(c));
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
            std::string utf8;
            appendUtf8(utf8, cp1252ToUnicode(t.lowerCase[b]));
            t.lowerUtf8[b] = {};
            std::copy(utf8.begin(), utf8.end(), t.lowerUtf8[b].begin());
            t.lowerUtf8[b][3] = char(utf8.size());
        }
        return t;
    }();
    return classes;
}

} // namespace solandre
