// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/form_dictionary.h"

#include "common/page_memory.h"
#include "search/byte_order.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace solandre {
namespace {

// Below this many forms, a plain sort; above, a radix pass on the first
// two bytes first, then each bucket sorted alone.
constexpr size_t kPlainSortBelow = 4096;

bool sameBytes(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

// `s` must be followed by at least 8 readable bytes.
std::uint32_t hashPadded(std::string_view s)
{
    std::uint64_t h = s.size() * 0x9E3779B97F4A7C15ull;
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t v;
        std::memcpy(&v, s.data() + i, 8);
        h = (h ^ v) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    if (i < s.size()) {
        std::uint64_t tail;
        std::memcpy(&tail, s.data() + i, 8);
        tail &= (std::uint64_t(1) << (8 * (s.size() - i))) - 1;
        h = (h ^ tail) * 0x94D049BB133111EBull;
        h ^= h >> 29;
    }
    return std::uint32_t(h ^ (h >> 32));
}

int compareBytes(std::string_view a, std::string_view b)
{
    const int c = a.compare(b);
    return c < 0 ? -1 : c > 0;
}

// Forms of equal keys, by their bytes.
void sortTies(const FormDictionary& d, std::uint32_t* ids, size_t n)
{
    std::sort(ids, ids + n, [&](std::uint32_t a, std::uint32_t b) { return d.form(a) < d.form(b); });
}

// One bucket of keys that share their top two bytes, by the other six.
void sortBucket(std::uint64_t* keys, std::uint32_t* ids, size_t n, std::vector<std::uint64_t>& keysOut,
                std::vector<std::uint32_t>& idsOut)
{
    if (n < 48) {
        for (size_t k = 1; k < n; ++k) {
            const std::uint64_t key = keys[k];
            const std::uint32_t id = ids[k];
            size_t at = k;
            for (; at > 0 && keys[at - 1] > key; --at) {
                keys[at] = keys[at - 1];
                ids[at] = ids[at - 1];
            }
            keys[at] = key;
            ids[at] = id;
        }
        return;
    }
    sortByKeys(keys, ids, n, 6, keysOut, idsOut);
}

} // namespace

FormDictionary::FormDictionary() { makeTable(12); }

std::uint32_t FormDictionary::hashOf(std::string_view paddedForm) { return hashPadded(paddedForm); }

std::uint64_t FormDictionary::keyOf(std::string_view paddedForm)
{
    std::uint64_t v;
    std::memcpy(&v, paddedForm.data(), 8);
    if (paddedForm.size() < 8) v &= (std::uint64_t(1) << (8 * paddedForm.size())) - 1;
    if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
    return v;
}

std::uint32_t FormDictionary::intern(std::string_view form, std::uint32_t hash)
{
    for (std::uint32_t i = hash & mask_;; i = (i + 1) & mask_) {
        const std::uint32_t slot = table_[i];
        if (slot == 0) {
            const auto id = std::uint32_t(entries_.size());
            const size_t at = chars_.size();
            // The bytes after the last form stay readable: 8 are read at once.
            if (at + form.size() + 8 > chars_.capacity())
                chars_.reserve(std::max(2 * chars_.capacity(), at + form.size() + 8 + 4096));
            std::memcpy(chars_.data() + at, form.data(), form.size());
            chars_.resize(at + form.size());
            entries_.push_back({std::uint32_t(at), std::uint32_t(form.size())});
            counts_.push_back(0);
            table_[i] = (hash & ~mask_) | (id + 1);
            // Seven eighths full at most: probes still stay within a line or
            // two, and a table of millions of forms, read at random, spans
            // fewer pages.
            if (bits_ < 31 && 8 * entries_.size() > 7 * table_.size()) makeTable(bits_ + 1);
            return id;
        }
        if (((slot ^ hash) & ~mask_) == 0) {
            const std::uint32_t id = (slot & mask_) - 1;
            if (sameBytes(this->form(id), form)) return id;
        }
    }
}

void FormDictionary::expect(size_t forms)
{
    unsigned bits = bits_;
    while (bits < 31 && 8 * forms > 7 * (size_t(1) << bits)) ++bits;
    if (bits > bits_) makeTable(bits);
    // As many bytes again per form as so far.
    if (!entries_.empty()) chars_.reserve(chars_.size() / entries_.size() * forms * 11 / 10 + 8);
    entries_.reserve(forms);
    counts_.reserve(forms);
}

// The slots hold too few bits of the hash to place a form elsewhere, so a
// new table is filled from the forms, in the order met: the old one goes
// first, and the forms' bytes are read in the order they lie.
void FormDictionary::makeTable(unsigned bits)
{
    table_ = std::vector<std::uint32_t>();
    table_.reserve(size_t(1) << bits);
    detail::preferLargePages(table_.data(), table_.capacity() * sizeof(std::uint32_t));
    table_.resize(size_t(1) << bits);
    bits_ = bits;
    mask_ = std::uint32_t((std::uint64_t(1) << bits) - 1);
    for (std::uint32_t id = 0; id < entries_.size(); ++id) {
        const std::uint32_t hash = hashOf(form(id));
        std::uint32_t i = hash & mask_;
        while (table_[i] != 0) i = (i + 1) & mask_;
        table_[i] = (hash & ~mask_) | (id + 1);
    }
}

FormDictionary::Sorted FormDictionary::sorted() const
{
    const size_t n = size();
    Sorted out;
    out.ids.resize(n);
    out.keys.resize(n);
    if (n < kPlainSortBelow) {
        std::vector<std::pair<std::uint64_t, std::uint32_t>> pairs(n);
        for (std::uint32_t id = 0; id < n; ++id) pairs[id] = {keyOf(form(id)), id};
        std::sort(pairs.begin(), pairs.end(), [&](const auto& a, const auto& b) {
            return a.first != b.first ? a.first < b.first : form(a.second) < form(b.second);
        });
        for (size_t k = 0; k < n; ++k) {
            out.keys[k] = pairs[k].first;
            out.ids[k] = pairs[k].second;
        }
        return out;
    }
    // Forms are read in the order they lie, twice: to count the buckets,
    // then to fill them.
    std::vector<std::uint32_t> next(size_t(1) << 16 | 1, 0);
    for (std::uint32_t id = 0; id < n; ++id) ++next[(keyOf(form(id)) >> 48) + 1];
    for (size_t b = 1; b < next.size(); ++b) next[b] += next[b - 1];
    std::vector<std::uint32_t> bucketEnds(next.begin() + 1, next.end());
    for (std::uint32_t id = 0; id < n; ++id) {
        const std::uint64_t key = keyOf(form(id));
        const std::uint32_t at = next[key >> 48]++;
        out.ids[at] = id;
        out.keys[at] = key;
    }
    std::vector<std::uint64_t> keysOut;
    std::vector<std::uint32_t> idsOut;
    size_t start = 0;
    for (const std::uint32_t end : bucketEnds) {
        if (end - start > 1) sortBucket(out.keys.data() + start, out.ids.data() + start, end - start, keysOut, idsOut);
        start = end;
    }
    // Equal keys: forms that go on past their first 8 bytes.
    for (size_t k = 0; k < n;) {
        size_t end = k + 1;
        while (end < n && out.keys[end] == out.keys[k]) ++end;
        if (end - k > 1) sortTies(*this, out.ids.data() + k, end - k);
        k = end;
    }
    return out;
}

int compareTied(std::uint64_t, std::string_view a, std::string_view b)
{
    if (a.size() <= 8 || b.size() <= 8) return a.size() < b.size() ? -1 : a.size() > b.size();
    return compareBytes(a.substr(8), b.substr(8));
}

} // namespace solandre
