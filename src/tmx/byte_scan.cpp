// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/byte_scan.h"

#if defined(SOLANDRE_SCAN_AVX2)
#include <immintrin.h>

namespace solandre::scan {
namespace {

bool detectAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

#define AVX2 __attribute__((target("avx2")))

AVX2 inline __m256i load32(const char* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
AVX2 inline __m256i eq32(__m256i v, char c)
{
    return _mm256_cmpeq_epi8(v, _mm256_set1_epi8(c));
}
AVX2 inline uint32_t bits32(__m256i m)
{
    return uint32_t(_mm256_movemask_epi8(m));
}
AVX2 inline __m256i control32(__m256i v)
{
    return _mm256_cmpeq_epi8(_mm256_min_epu8(v, _mm256_set1_epi8(0x1F)), v);
}

} // namespace

const bool kAvx2 = detectAvx2();

// As findTextSpecialSse2, 32 bytes at a time; stops at the first special
// byte, or where fewer than 32 bytes are left.
AVX2 const char* findTextSpecialAvx2(const char* p, const char* end)
{
    for (; end - p >= 32; p += 32) {
        const __m256i v = load32(p);
        const __m256i m = _mm256_or_si256(
            _mm256_or_si256(_mm256_or_si256(eq32(v, '<'), eq32(v, '&')), _mm256_or_si256(eq32(v, '['), eq32(v, ']'))),
            _mm256_or_si256(_mm256_or_si256(eq32(v, char(0xC2)), eq32(v, char(0xE2))), control32(v)));
        if (const uint32_t mask = bits32(m)) return p + __builtin_ctz(mask);
    }
    return p;
}

// As skipPlainTextSse2, 32 bytes at a time.
AVX2 const char* skipPlainTextAvx2(const char* p, const char* end)
{
    uint32_t carry = 0;
    while (end - p >= 32) {
        const __m256i v = load32(p);
        const __m256i allowed = _mm256_or_si256(_mm256_or_si256(eq32(v, '\t'), eq32(v, '\n')), eq32(v, '\r'));
        const uint32_t forbidden = bits32(_mm256_andnot_si256(allowed, control32(v)));
        const uint32_t nonAscii = bits32(v);
        if ((nonAscii | carry | forbidden) == 0) {
            p += 32;
            continue;
        }
        const uint32_t continuation = bits32(_mm256_cmpgt_epi8(_mm256_set1_epi8(-64), v));
        const uint32_t lead = bits32(_mm256_and_si256(_mm256_cmpgt_epi8(v, _mm256_set1_epi8(-63)),
                                                      _mm256_cmpgt_epi8(_mm256_set1_epi8(-32), v)));
        const uint32_t other = nonAscii & ~(continuation | lead);
        if (forbidden || other || continuation != ((lead << 1) | carry)) break;
        carry = lead >> 31;
        p += 32;
    }
    return p - carry;
}

} // namespace solandre::scan
#endif
