// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the next "[" or "]" fast: the scans of numbered texts change their
// state only at brackets and take everything between two of them at once.

#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace solandre {

// The position of the first "[" or "]" at or after `from`, or text.size().
size_t findBracket(std::string_view text, size_t from);

// Bit k set where p[k] is "[" or "]", for the 64 bytes from p: a scan that
// meets a bracket every few dozen bytes then goes from bit to bit.
inline std::uint64_t bracketsIn64(const char* p)
{
#if defined(__SSE2__)
    const __m128i open = _mm_set1_epi8('['), close = _mm_set1_epi8(']');
    std::uint64_t mask = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        const auto bits = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, open), _mm_cmpeq_epi8(v, close))));
        mask |= std::uint64_t(bits) << (16 * k);
    }
    return mask;
#else
    std::uint64_t mask = 0;
    for (int k = 0; k < 64; ++k)
        if (p[k] == '[' || p[k] == ']') mask |= std::uint64_t{1} << k;
    return mask;
#endif
}

} // namespace solandre
