// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sorting many byte strings fast: eight bytes of each at a time as a number,
// by radix passes, then only the strings that tie on those eight bytes again,
// eight bytes further on. Sorting millions of distinct forms by comparing
// them through pointers spends its time in cache misses.

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace solandre {

// Sorts `ids` by the strings `text(id)` in byte order, a string before any
// longer string it begins; strings may hold NUL bytes. With `rank`, bytes
// compare by their ranks in it instead (ranks all different, NUL's 0).
void sortByBytes(std::vector<std::uint32_t>& ids,
                 const std::function<std::string_view(std::uint32_t)>& text,
                 const std::array<unsigned char, 256>* rank = nullptr);

// Sorts `ids` by their `keys` (n of each, side by side) on the keys' low
// `bytes` bytes, least significant first, keeping the order of ties; a pass
// where every key has the same byte is skipped. The scratch vectors grow to
// n and can serve again.
void sortByKeys(std::uint64_t* keys, std::uint32_t* ids, size_t n, int bytes, std::vector<std::uint64_t>& keysScratch,
                std::vector<std::uint32_t>& idsScratch);

} // namespace solandre
