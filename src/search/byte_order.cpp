// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/byte_order.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace solandre {
namespace {

// Eight bytes from `depth` on, as a big-endian number, zeros past the end.
std::uint64_t keyAt(std::string_view s, size_t depth, const std::array<unsigned char, 256>* rank)
{
    std::uint64_t key = 0;
    for (size_t k = 0; k < 8; ++k) {
        key <<= 8;
        if (depth + k < s.size()) {
            const auto b = static_cast<unsigned char>(s[depth + k]);
            key |= rank ? (*rank)[b] : b;
        }
    }
    return key;
}

void sortFrom(std::uint32_t* ids, size_t n, size_t depth,
              const std::function<std::string_view(std::uint32_t)>& text, const std::array<unsigned char, 256>* rank)
{
    if (n < 2) return;
    if (n < 64) {
        auto before = [rank](char x, char y) {
            const auto a = static_cast<unsigned char>(x), b = static_cast<unsigned char>(y);
            return rank ? (*rank)[a] < (*rank)[b] : a < b;
        };
        std::sort(ids, ids + n, [&](std::uint32_t a, std::uint32_t b) {
            const std::string_view x = text(a).substr(std::min(depth, text(a).size()));
            const std::string_view y = text(b).substr(std::min(depth, text(b).size()));
            // Strings that ended before `depth` tied there with NUL bytes.
            if (x == y) return text(a).size() < text(b).size();
            return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), before);
        });
        return;
    }
    std::vector<std::uint64_t> keys(n), keysScratch;
    std::vector<std::uint32_t> idsScratch;
    for (size_t k = 0; k < n; ++k) keys[k] = keyAt(text(ids[k]), depth, rank);
    sortByKeys(keys.data(), ids, n, 8, keysScratch, idsScratch);
    // Runs of equal keys that go on past these eight bytes are sorted further.
    // A zero byte is either a NUL or the end of a string: when none of the run
    // goes on, the shorter strings are the ones that end first.
    for (size_t start = 0; start < n;) {
        size_t end = start + 1;
        while (end < n && keys[end] == keys[start]) ++end;
        if (end - start > 1) {
            const auto goesOn = [&](std::uint32_t id) { return text(id).size() > depth + 8; };
            if ((keys[start] & 0xFF) != 0 || std::any_of(ids + start, ids + end, goesOn))
                sortFrom(ids + start, end - start, depth + 8, text, rank);
            else
                std::stable_sort(ids + start, ids + end,
                                 [&](std::uint32_t a, std::uint32_t b) { return text(a).size() < text(b).size(); });
        }
        start = end;
    }
}

} // namespace

void sortByKeys(std::uint64_t* keys, std::uint32_t* ids, size_t n, int bytes, std::vector<std::uint64_t>& keysScratch,
                std::vector<std::uint32_t>& idsScratch)
{
    if (keysScratch.size() < n) {
        keysScratch.resize(n);
        idsScratch.resize(n);
    }
    std::uint64_t* fromKeys = keys;
    std::uint32_t* fromIds = ids;
    std::uint64_t* toKeys = keysScratch.data();
    std::uint32_t* toIds = idsScratch.data();
    for (int shift = 0; shift < 8 * bytes; shift += 8) {
        std::array<size_t, 257> counts{};
        for (size_t k = 0; k < n; ++k) ++counts[((fromKeys[k] >> shift) & 0xFF) + 1];
        if (*std::max_element(counts.begin(), counts.end()) == n) continue;
        for (size_t b = 1; b < 257; ++b) counts[b] += counts[b - 1];
        for (size_t k = 0; k < n; ++k) {
            const size_t at = counts[(fromKeys[k] >> shift) & 0xFF]++;
            toKeys[at] = fromKeys[k];
            toIds[at] = fromIds[k];
        }
        std::swap(fromKeys, toKeys);
        std::swap(fromIds, toIds);
    }
    if (fromKeys != keys) {
        std::memcpy(keys, fromKeys, n * sizeof *keys);
        std::memcpy(ids, fromIds, n * sizeof *ids);
    }
}

void sortByBytes(std::vector<std::uint32_t>& ids,
                 const std::function<std::string_view(std::uint32_t)>& text,
                 const std::array<unsigned char, 256>* rank)
{
    sortFrom(ids.data(), ids.size(), 0, text, rank);
}

} // namespace solandre
