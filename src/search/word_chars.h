// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the word index reads characters in each encoding: whether a character
// is a letter and how long it is, letters sixteen bytes at a time where that
// is safe, and a word lower-cased into UTF-8, as the vocabulary holds forms.

#include "common/cp1252.h"
#include "common/encoding.h"
#include "common/letters.h"

#include <cstdint>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace solandre {

struct CharAt {
    bool letter;
    size_t length; // in bytes
};

// Returned by letterMask for sixteen bytes that must be read one by one.
inline constexpr std::uint32_t kMaskUnknown = 0xFFFFFFFF;

struct Cp1252Chars {
    const Cp1252Classes& classes = cp1252Classes();

    CharAt at(const unsigned char* p, const unsigned char*) const { return {classes.letter[*p], 1}; }

#if defined(__SSE2__)
    // The letters of sixteen bytes holding no bracket.
    std::uint32_t letterMask(__m128i v) const
    {
        auto eq = [&](char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
        if (_mm_movemask_epi8(_mm_or_si128(eq('['), eq(']')))) return kMaskUnknown;
        // A-Z, a-z: (c | 0x20) - 'a' < 26; 192-255 but for × and ÷; Š Œ Ž š œ ž Ÿ.
        const __m128i folded = _mm_sub_epi8(_mm_or_si128(v, _mm_set1_epi8(0x20)), _mm_set1_epi8('a'));
        const __m128i ascii = _mm_cmpeq_epi8(_mm_min_epu8(folded, _mm_set1_epi8(25)), folded);
        const __m128i high = _mm_cmpeq_epi8(_mm_max_epu8(v, _mm_set1_epi8(char(192))), v);
        const __m128i signs = _mm_or_si128(eq(char(215)), eq(char(247)));
        __m128i ligatures = _mm_or_si128(_mm_or_si128(eq(char(0x8A)), eq(char(0x8C))), eq(char(0x8E)));
        ligatures = _mm_or_si128(ligatures, _mm_or_si128(_mm_or_si128(eq(char(0x9A)), eq(char(0x9C))),
                                                         _mm_or_si128(eq(char(0x9E)), eq(char(0x9F)))));
        const __m128i letters = _mm_or_si128(_mm_or_si128(ascii, _mm_andnot_si128(signs, high)), ligatures);
        return std::uint32_t(_mm_movemask_epi8(letters));
    }
#endif

    void lower(std::string_view word, std::string& out) const
    {
        for (const char b : word) {
            const unsigned char l = classes.lowerCase[static_cast<unsigned char>(b)];
            if (l < 0x80)
                out += char(l);
            else
                appendUtf8(out, cp1252ToUnicode(l));
        }
    }
};

struct Utf8Chars {
    CharAt at(const unsigned char* p, const unsigned char* end) const
    {
        if (*p < 0x80) return {isAsciiLetter(*p), 1};
        const unsigned char* q = p;
        const char32_t c = nextUtf8(q, end);
        return {c != kBadChar && isLetter(c), size_t(q - p)};
    }

#if defined(__SSE2__)
    // The letters of sixteen ASCII bytes holding no bracket.
    std::uint32_t letterMask(__m128i v) const
    {
        if (_mm_movemask_epi8(v)) return kMaskUnknown;
        auto eq = [&](char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
        if (_mm_movemask_epi8(_mm_or_si128(eq('['), eq(']')))) return kMaskUnknown;
        const __m128i folded = _mm_sub_epi8(_mm_or_si128(v, _mm_set1_epi8(0x20)), _mm_set1_epi8('a'));
        const __m128i ascii = _mm_cmpeq_epi8(_mm_min_epu8(folded, _mm_set1_epi8(25)), folded);
        return std::uint32_t(_mm_movemask_epi8(ascii));
    }
#endif

    void lower(std::string_view word, std::string& out) const
    {
        const auto* p = reinterpret_cast<const unsigned char*>(word.data());
        const auto* end = p + word.size();
        while (p < end) {
            if (*p < 0x80) {
                out += char((*p >= 'A' && *p <= 'Z') ? *p + 32 : *p);
                ++p;
                continue;
            }
            const char32_t c = nextUtf8(p, end);
            appendUtf8(out, lowerCase(c));
        }
    }
};

} // namespace solandre
