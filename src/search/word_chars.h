// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the word index reads characters in each encoding: whether a character
// is a letter and how long it is, letters sixteen bytes at a time where that
// is safe, and a word lower-cased into UTF-8 (word_form.h), as the vocabulary
// holds forms.

#include "common/cp1252.h"
#include "common/encoding.h"
#include "common/letters.h"
#include "common/word_form.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace solandre {

struct CharAt {
    bool letter;           // a joiner is none by itself: see `joiner`
    size_t length;         // in bytes
    bool joiner = false;   // a letter only between two letters
    bool unspaced = false; // a letter whose run is cut as word_breaks.h says
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

    // The letters of a word, combining marks left out.
    size_t letterCount(std::string_view word) const { return word.size(); }

    void lower(std::string_view word, std::string& out) const
    {
        // Three bytes at most a character, and four written at once.
        const size_t at = out.size();
        out.resize(at + 3 * word.size() + 1);
        char* to = out.data() + at;
        for (const char b : word) {
            const std::array<char, 4>& utf8 = classes.lowerUtf8[static_cast<unsigned char>(b)];
            std::memcpy(to, utf8.data(), 4);
            to += utf8[3];
        }
        out.resize(size_t(to - out.data()));
    }
};

struct Utf8Chars {
    CharAt at(const unsigned char* p, const unsigned char* end) const
    {
        if (*p < 0x80) return {isAsciiLetter(*p), 1};
        const unsigned char* q = p;
        const char32_t c = nextUtf8(q, end);
        const size_t length = size_t(q - p);
        switch (c == kBadChar ? WordClass::None : wordClass(c)) {
        case WordClass::None: return {false, length};
        case WordClass::Joiner: return {false, length, true};
        case WordClass::Unspaced: return {true, length, false, true};
        default: return {true, length};
        }
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

    size_t letterCount(std::string_view word) const
    {
        size_t letters = 0;
        const auto* p = reinterpret_cast<const unsigned char*>(word.data());
        const auto* end = p + word.size();
        while (p < end) {
            if (*p < 0x80) {
                ++letters;
                ++p;
                continue;
            }
            const char32_t c = nextUtf8(p, end);
            letters += !isCombiningMark(c) && !isWordJoiner(c);
        }
        return letters;
    }

    void lower(std::string_view word, std::string& out) const { appendFoldedForm(out, word); }
};

} // namespace solandre
