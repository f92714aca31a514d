// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/brackets.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace solandre {

size_t findBracket(std::string_view text, size_t from)
{
    const char* data = text.data();
    const size_t n = text.size();
#if defined(__SSE2__)
    const __m128i open = _mm_set1_epi8('['), close = _mm_set1_epi8(']');
    for (; from + 16 <= n; from += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
        const int mask =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, open), _mm_cmpeq_epi8(v, close)));
        if (mask) return from + size_t(std::countr_zero(unsigned(mask)));
    }
#endif
    for (; from < n; ++from)
        if (data[from] == '[' || data[from] == ']') return from;
    return n;
}

} // namespace solandre
