// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Vector scans over the reader's buffer. Each may read up to 15 bytes past
// `end` (the buffer keeps that much slack) and ignores what it finds there.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace solandre::scan {

// Wider versions of two scans, for processors with AVX2 (byte_scan.cpp).
// They stop short of the end, leaving the last bytes to the SSE2 versions.
#if defined(__GNUC__) && defined(__x86_64__)
#define SOLANDRE_SCAN_AVX2 1
extern const bool kAvx2;
const char* findTextSpecialAvx2(const char* p, const char* end);
const char* skipPlainTextAvx2(const char* p, const char* end);
#endif

#if defined(__SSE2__)
inline __m128i load(const char* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline unsigned bits(__m128i m)
{
    return unsigned(_mm_movemask_epi8(m));
}
inline __m128i eq(__m128i v, char c)
{
    return _mm_cmpeq_epi8(v, _mm_set1_epi8(c));
}
// Bytes 0x00 to 0x1F.
inline __m128i control(__m128i v)
{
    return _mm_cmpeq_epi8(_mm_min_epu8(v, _mm_set1_epi8(0x1F)), v);
}
inline const char* first(const char* p, unsigned mask, const char* end)
{
    const char* q = p + __builtin_ctz(mask);
    return q < end ? q : end;
}
#endif

// Where character data needs a look when it is kept: markup and references,
// brackets, controls (line breaks, tabs) and the lead bytes of U+0085 (C2)
// and of U+2028 / U+2029 (E2).
inline bool isTextSpecial(unsigned char c)
{
    return c < 0x20 || c == '<' || c == '&' || c == '[' || c == ']' || c == 0xC2 || c == 0xE2;
}

inline const char* findTextSpecialSse2(const char* p, const char* end)
{
#if defined(__SSE2__)
    for (; p < end; p += 16) {
        const __m128i v = load(p);
        const __m128i m = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(eq(v, '<'), eq(v, '&')), _mm_or_si128(eq(v, '['), eq(v, ']'))),
            _mm_or_si128(_mm_or_si128(eq(v, char(0xC2)), eq(v, char(0xE2))), control(v)));
        if (const unsigned mask = bits(m)) return first(p, mask, end);
    }
    return end;
#else
    while (p < end && !isTextSpecial(static_cast<unsigned char>(*p))) ++p;
    return p;
#endif
}

// Where character data that is dropped still needs a look: markup,
// references, and "]" (for "]]>").
inline const char* findMarkup(const char* p, const char* end)
{
#if defined(__SSE2__)
    for (; p < end; p += 16) {
        const __m128i v = load(p);
        const __m128i m = _mm_or_si128(_mm_or_si128(eq(v, '<'), eq(v, '&')), eq(v, ']'));
        if (const unsigned mask = bits(m)) return first(p, mask, end);
    }
    return end;
#else
    while (p < end && *p != '<' && *p != '&' && *p != ']') ++p;
    return p;
#endif
}

#if defined(__SSE2__)
// Bytes from `low` to `high`.
inline __m128i inRange(__m128i v, char low, char high)
{
    const __m128i offset = _mm_sub_epi8(v, _mm_set1_epi8(low));
    return _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(char(high - low))), offset);
}
#endif

// The first byte that is not a blank of XML (space, TAB, LF, CR).
inline const char* skipBlanks(const char* p, const char* end)
{
#if defined(__SSE2__)
    for (; p < end; p += 16) {
        const __m128i v = load(p);
        const __m128i blank =
            _mm_or_si128(_mm_or_si128(eq(v, ' '), eq(v, '\n')), _mm_or_si128(eq(v, '\t'), eq(v, '\r')));
        if (const unsigned mask = ~bits(blank) & 0xFFFF) return first(p, mask, end);
    }
    return end;
#else
    while (p < end && (*p == ' ' || *p == '\n' || *p == '\t' || *p == '\r')) ++p;
    return p;
#endif
}

// The first byte that is not an ASCII name character other than ":"
// (letters, digits, "-", "." and "_").
inline const char* skipAsciiNameChars(const char* p, const char* end)
{
#if defined(__SSE2__)
    for (; p < end; p += 16) {
        const __m128i v = load(p);
        const __m128i letter = inRange(_mm_or_si128(v, _mm_set1_epi8(0x20)), 'a', 'z');
        const __m128i other = _mm_or_si128(_mm_or_si128(eq(v, '-'), eq(v, '.')), eq(v, '_'));
        const __m128i name = _mm_or_si128(_mm_or_si128(letter, inRange(v, '0', '9')), other);
        if (const unsigned mask = ~bits(name) & 0xFFFF) return first(p, mask, end);
    }
    return end;
#else
    auto isName = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
               c == '.' || c == '_';
    };
    while (p < end && isName(*p)) ++p;
    return p;
#endif
}

// The end of a plain run in an attribute value: a quote, markup, a
// reference or a blank that is normalized.
inline const char* findAttributeStop(const char* p, const char* end)
{
#if defined(__SSE2__)
    for (; p < end; p += 16) {
        const __m128i v = load(p);
        const __m128i m = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(eq(v, '"'), eq(v, '\'')), _mm_or_si128(eq(v, '<'), eq(v, '&'))),
            _mm_or_si128(_mm_or_si128(eq(v, '\t'), eq(v, '\n')), eq(v, '\r')));
        if (const unsigned mask = bits(m)) return first(p, mask, end);
    }
    return end;
#else
    while (p < end && *p != '"' && *p != '\'' && *p != '<' && *p != '&' && *p != '\t' && *p != '\n' &&
           *p != '\r')
        ++p;
    return p;
#endif
}

#if defined(__SSE2__)
// Adds up the 0xFF bytes of the compare masks `flags(p)` gives for each whole
// block of 16 bytes from `p`; moves `p` past the last whole block.
template <class Flags> int64_t countFlagged(const char*& p, const char* end, Flags flags)
{
    int64_t count = 0;
    const __m128i zero = _mm_setzero_si128();
    while (end - p >= 16) {
        // A byte counter holds 255 blocks.
        const size_t blocks = std::min<size_t>(size_t(end - p) / 16, 255);
        __m128i sum = zero;
        for (size_t i = 0; i < blocks; ++i, p += 16) sum = _mm_sub_epi8(sum, flags(p));
        const __m128i total = _mm_sad_epu8(sum, zero);
        count += _mm_cvtsi128_si32(total) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(total, total));
    }
    return count;
}
#endif

// Line breaks in [p, end): CR LF, CR and LF count one each. `afterCr` says
// whether the byte before `p` was a CR (so an LF at `p` ends no new line).
inline int64_t countLineBreaks(const char* p, const char* end, bool afterCr)
{
    if (p == end) return 0;
    // Each CR counts, and each LF not right after a CR.
    int64_t count = *p == '\r' || (*p == '\n' && !afterCr);
    ++p;
#if defined(__SSE2__)
    count += countFlagged(p, end, [](const char* q) {
        const __m128i v = load(q);
        const __m128i lfAlone = _mm_andnot_si128(eq(load(q - 1), '\r'), eq(v, '\n'));
        return _mm_or_si128(eq(v, '\r'), lfAlone);
    });
#endif
    for (; p < end; ++p) count += *p == '\r' || (*p == '\n' && p[-1] != '\r');
    return count;
}

// Characters in [p, end) of valid UTF-8: the bytes that are not continuations.
inline int64_t countChars(const char* p, const char* end)
{
    int64_t count = 0;
#if defined(__SSE2__)
    count += countFlagged(p, end, [](const char* q) {
        return _mm_cmpgt_epi8(load(q), _mm_set1_epi8(char(0xBF)));
    });
#endif
    for (; p < end; ++p) count += (static_cast<unsigned char>(*p) & 0xC0) != 0x80;
    return count;
}

// Moves over whole blocks of 16 bytes that need no closer look when checking
// the input: ASCII other than the controls XML forbids, and well-formed
// two-byte UTF-8 sequences (most accented letters). Stops at a block with
// anything else, or with fewer than 16 bytes left, at a character boundary.
inline const char* skipPlainTextSse2(const char* p, const char* end)
{
#if defined(__SSE2__)
    unsigned carry = 0; // the last byte was a lead byte, its continuation next
    while (end - p >= 16) {
        const __m128i v = load(p);
        const __m128i allowed = _mm_or_si128(_mm_or_si128(eq(v, '\t'), eq(v, '\n')), eq(v, '\r'));
        const unsigned forbidden = bits(_mm_andnot_si128(allowed, control(v)));
        const unsigned nonAscii = bits(v);
        if ((nonAscii | carry | forbidden) == 0) {
            p += 16;
            continue;
        }
        // As signed bytes, continuations 0x80..0xBF are below -64, leads of
        // two bytes 0xC2..0xDF between -63 and -32.
        const unsigned continuation = bits(_mm_cmplt_epi8(v, _mm_set1_epi8(-64)));
        const unsigned lead = bits(_mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(-63)),
                                                 _mm_cmplt_epi8(v, _mm_set1_epi8(-32))));
        const unsigned other = nonAscii & ~(continuation | lead);
        if (forbidden || other || continuation != (((lead << 1) | carry) & 0xFFFF)) break;
        carry = lead >> 15;
        p += 16;
    }
    return p - carry;
#else
    (void)end;
    return p;
#endif
}

// The last CR or LF in [begin, end), or nullptr. Reads nothing outside.
inline const char* findLastLineBreak(const char* begin, const char* end)
{
#if defined(__SSE2__)
    while (end - begin >= 16) {
        const __m128i v = load(end - 16);
        if (const unsigned mask = bits(_mm_or_si128(eq(v, '\n'), eq(v, '\r'))))
            return end - 16 + (31 - __builtin_clz(mask));
        end -= 16;
    }
#endif
    while (end > begin) {
        --end;
        if (*end == '\n' || *end == '\r') return end;
    }
    return nullptr;
}

inline const char* findTextSpecial(const char* p, const char* end)
{
#if defined(SOLANDRE_SCAN_AVX2)
    if (kAvx2) {
        p = findTextSpecialAvx2(p, end);
        if (end - p >= 32) return p;
    }
#endif
    return findTextSpecialSse2(p, end);
}

inline const char* skipPlainText(const char* p, const char* end)
{
#if defined(SOLANDRE_SCAN_AVX2)
    if (kAvx2) {
        p = skipPlainTextAvx2(p, end);
        if (end - p >= 32) return p;
    }
#endif
    return skipPlainTextSse2(p, end);
}

} // namespace solandre::scan
