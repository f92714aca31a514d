// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every fuzz target shares: the split of an input into a short
// leading argument (up to the first line break, at most 24 bytes) and the
// text that follows, and the stop at a disagreement.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace solandre::fuzz {

inline std::pair<std::string_view, std::string_view> argumentAndText(const uint8_t* data, size_t size)
{
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const size_t end = all.substr(0, 24).find('\n');
    if (end == std::string_view::npos) return {all.substr(0, std::min<size_t>(size, 4)), all.substr(std::min<size_t>(size, 4))};
    return {all.substr(0, end), all.substr(end + 1)};
}

// A disagreement with the independent reading stops the run, named.
inline void check(bool ok, const char* what)
{
    if (ok) return;
    std::fprintf(stderr, "mismatch: %s\n", what);
    std::abort();
}

} // namespace solandre::fuzz
