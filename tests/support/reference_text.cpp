// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/reference_text.h"

#include <QChar>
#include <QString>
#include <unicode/ubrk.h>
#include <unicode/ucol.h>
#include <unicode/unorm2.h>
#include <vector>

namespace solandre::reference {
namespace {

// Windows-1252 0x80-0x9F; 0 where the code page leaves a code undefined
// (those bytes stand for the C1 control of the same value).
constexpr char32_t kHighBlock[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

char32_t fromByte(unsigned char b)
{
    if (b < 0x80 || b >= 0xA0) return b;
    return kHighBlock[b - 0x80] ? kHighBlock[b - 0x80] : char32_t(b);
}

unsigned char toByte(char32_t c)
{
    for (int b = 0; b < 256; ++b)
        if (fromByte(static_cast<unsigned char>(b)) == c) return static_cast<unsigned char>(b);
    return '?';
}

// The code page's letters above 0xFF: Š Œ Ž š œ ž Ÿ.
bool ligatureLetter(char32_t c)
{
    return c == 0x0160 || c == 0x0152 || c == 0x017D || c == 0x0161 || c == 0x0153 ||
           c == 0x017E || c == 0x0178;
}

} // namespace

bool inCp1252(char32_t c)
{
    if (c < 0x100) return !(c >= 0x80 && c < 0xA0) || fromByte(static_cast<unsigned char>(c)) == c;
    for (const char32_t h : kHighBlock)
        if (h == c) return true;
    return false;
}

bool letter(char32_t c)
{
    if (c < 0x100)
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 192 && c <= 214) ||
               (c >= 216 && c <= 246) || c >= 248;
    if (inCp1252(c)) return ligatureLetter(c);
    return QChar::isLetter(c) || QChar::isMark(c);
}

bool lowerLetter(char32_t c)
{
    if (c < 0x100) return (c >= 'a' && c <= 'z') || (c >= 224 && c <= 246) || c >= 248;
    if (inCp1252(c)) return c == 0x0161 || c == 0x0153 || c == 0x017E;
    return QChar::category(c) == QChar::Letter_Lowercase;
}

char32_t lower(char32_t c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 192 && c <= 214) || (c >= 216 && c <= 222)) return c + 32;
    if (c < 0x100) return c;
    switch (c) {
    case 0x0152: return 0x0153;
    case 0x0160: return 0x0161;
    case 0x017D: return 0x017E;
    case 0x0178: return 0x00FF;
    default: break;
    }
    if (inCp1252(c)) return c;
    return QChar::toCaseFolded(c);
}

Chars lower(const Chars& text)
{
    Chars out;
    for (const char32_t c : text) out += lower(c);
    return out;
}

namespace {

bool joiner(char32_t c) { return c == 0x200C || c == 0x200D; }

bool unspacedScript(char32_t c)
{
    const QChar::Script script = QChar::script(c);
    return script == QChar::Script_Han || script == QChar::Script_Hiragana || script == QChar::Script_Katakana ||
           script == QChar::Script_Thai || script == QChar::Script_Lao || script == QChar::Script_Khmer ||
           script == QChar::Script_Myanmar;
}

// Whether a letter of the run sides with the one before it.
bool sidesWithTheOneBefore(char32_t c)
{
    const QChar::Script script = QChar::script(c);
    return joiner(c) || QChar::isMark(c) || script == QChar::Script_Common || script == QChar::Script_Inherited;
}

// ICU's cuts strictly inside `stretch`, as places in it.
std::vector<size_t> icuCuts(const Chars& stretch)
{
    std::u16string units;
    std::vector<size_t> charAt; // of each unit
    for (size_t k = 0; k < stretch.size(); ++k) {
        const char32_t c = stretch[k];
        if (c >= 0x10000) {
            units += char16_t(0xD800 + ((c - 0x10000) >> 10));
            units += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
            charAt.push_back(k);
            charAt.push_back(k);
        } else {
            units += char16_t(c);
            charAt.push_back(k);
        }
    }
    std::vector<size_t> cuts;
    UErrorCode status = U_ZERO_ERROR;
    UBreakIterator* breaks = ubrk_open(UBRK_WORD, "", reinterpret_cast<const UChar*>(units.data()),
                                       int32_t(units.size()), &status);
    if (U_FAILURE(status)) return cuts;
    for (int32_t at = ubrk_first(breaks); at != UBRK_DONE; at = ubrk_next(breaks))
        if (at > 0 && size_t(at) < units.size() && !joiner(stretch[charAt[size_t(at)]]))
            cuts.push_back(charAt[size_t(at)]);
    ubrk_close(breaks);
    return cuts;
}

} // namespace

std::vector<Span> words(const Chars& text)
{
    const size_t n = text.size();
    std::vector<bool> inRun(n);
    for (size_t i = 0; i < n; ++i)
        inRun[i] = letter(text[i]) ||
                   (joiner(text[i]) && i > 0 && i + 1 < n && letter(text[i - 1]) && letter(text[i + 1]));
    std::vector<Span> out;
    for (size_t i = 0; i < n;) {
        if (!inRun[i]) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < n && inRun[end]) ++end;
        // Each letter unspaced or not; then the places where that changes.
        std::vector<bool> unspaced(end - i);
        for (size_t k = i; k < end; ++k)
            unspaced[k - i] = unspacedScript(text[k]) ||
                              (sidesWithTheOneBefore(text[k]) && k > i && unspaced[k - i - 1]);
        std::vector<size_t> cuts;
        size_t stretch = i;
        for (size_t k = i + 1; k <= end; ++k) {
            if (k < end && unspaced[k - i] == unspaced[k - 1 - i]) continue;
            if (unspaced[k - 1 - i])
                for (const size_t cut : icuCuts(text.substr(stretch, k - stretch))) cuts.push_back(stretch + cut);
            if (k < end) cuts.push_back(k);
            stretch = k;
        }
        size_t from = i;
        for (const size_t cut : cuts) {
            out.push_back({from, cut, true});
            from = cut;
        }
        out.push_back({from, end, false});
        i = end;
    }
    return out;
}

Chars fold(const Chars& word)
{
    auto nfc = [](const Chars& chars) {
        const std::u16string units = QString::fromUcs4(chars.data(), qsizetype(chars.size())).toStdU16String();
        UErrorCode status = U_ZERO_ERROR;
        const UNormalizer2* composition = unorm2_getNFCInstance(&status);
        std::u16string out(units.size() * 3 + 16, u'\0');
        const int32_t length = unorm2_normalize(composition, reinterpret_cast<const UChar*>(units.data()),
                                                int32_t(units.size()), reinterpret_cast<UChar*>(out.data()),
                                                int32_t(out.size()), &status);
        out.resize(size_t(length));
        return QString::fromStdU16String(out).toStdU32String();
    };
    return nfc(lower(nfc(word)));
}

bool alphabeticallyBefore(std::string_view a, std::string_view b)
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("", &status);
    const UCollationResult order =
        ucol_strcollUTF8(collator, a.data(), int32_t(a.size()), b.data(), int32_t(b.size()), &status);
    ucol_close(collator);
    if (order != UCOL_EQUAL) return order == UCOL_LESS;
    return decode(a, Encoding::Utf8) < decode(b, Encoding::Utf8);
}

int endMark(char32_t c)
{
    if (c == '.' || c == 0x3002 || c == 0xFF0E || c == 0x0964 || c == 0x0965) return 1;
    if (c == '?' || c == '!' || c == 0xFF1F || c == 0xFF01 || c == 0x061F) return 2;
    return 0;
}

Chars decode(std::string_view bytes, Encoding encoding)
{
    Chars out;
    if (encoding == Encoding::Windows1252) {
        for (const char b : bytes) out += fromByte(static_cast<unsigned char>(b));
        return out;
    }
    for (size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const size_t length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        char32_t c = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
        bool ok = length > 0 && i + length <= bytes.size();
        for (size_t k = 1; ok && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            ok = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        ok = ok && c >= least[length] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        if (ok) {
            out += c;
            i += length;
        } else {
            out += char32_t(0xDC00 + b);
            ++i;
        }
    }
    return out;
}

std::string encode(const Chars& text, Encoding encoding)
{
    std::string out;
    for (const char32_t c : text) {
        if (c >= 0xDC80 && c <= 0xDCFF) {
            out += char(c - 0xDC00);
        } else if (encoding == Encoding::Windows1252) {
            out += char(toByte(c));
        } else if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

ReadText asRead(std::string_view file)
{
    if (file.starts_with("\xEF\xBB\xBF")) return {std::string(file.substr(3)), Encoding::Utf8};
    const bool little = file.starts_with("\xFF\xFE"), big = file.starts_with("\xFE\xFF");
    if (little || big) {
        Chars text;
        std::vector<char32_t> units;
        for (size_t i = 2; i + 1 < file.size(); i += 2) {
            const auto a = static_cast<unsigned char>(file[i]), b = static_cast<unsigned char>(file[i + 1]);
            units.push_back(little ? char32_t(a | b << 8) : char32_t(a << 8 | b));
        }
        for (size_t k = 0; k < units.size(); ++k) {
            const char32_t u = units[k];
            const bool high = u >= 0xD800 && u <= 0xDBFF, low = u >= 0xDC00 && u <= 0xDFFF;
            if (high && k + 1 < units.size() && units[k + 1] >= 0xDC00 && units[k + 1] <= 0xDFFF) {
                text += 0x10000 + ((u - 0xD800) << 10) + (units[k + 1] - 0xDC00);
                ++k;
            } else {
                text += high || low ? char32_t(0xFFFD) : u;
            }
        }
        if (file.size() % 2) text += char32_t(0xFFFD);
        return {encode(text, Encoding::Utf8), Encoding::Utf8};
    }
    bool high = false, valid = true;
    for (const char32_t c : decode(file, Encoding::Utf8)) {
        high = high || c >= 0x80;
        valid = valid && !(c >= 0xDC80 && c <= 0xDCFF); // a byte that starts no character
    }
    return {std::string(file), high && valid ? Encoding::Utf8 : Encoding::Windows1252};
}

} // namespace solandre::reference
