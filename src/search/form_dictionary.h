// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The distinct lower-cased forms of a part of a text, while it is scanned:
// each form's bytes once in one block, and a table of 32-bit slots (the
// form's number and the top bits of its hash) to find them. A text of
// millions of distinct forms is mostly this, so nothing here is kept per
// form that the index does not need after: no string of its own, no hash
// beside the slot, no second table while the table grows.
//
// Then the forms in byte order, part by part, and two parts walked
// together as one vocabulary, without copying their forms.

#include "common/pod_array.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace solandre {

class FormDictionary {
public:
    struct Entry {
        std::uint32_t offset; // in chars()
        std::uint32_t length;
    };

    FormDictionary();

    // The form's number, from 0 in the order met. `form` must be followed
    // by 8 readable bytes (their content does not matter).
    std::uint32_t intern(std::string_view form) { return intern(form, hashOf(form)); }
    // The same with the form's hashOf() known: a caller with many forms at
    // hand hashes them and asks for their slots ahead (prefetchSlot), so
    // that the misses of a table far bigger than the cache overlap.
    std::uint32_t intern(std::string_view form, std::uint32_t hash);
    static std::uint32_t hashOf(std::string_view paddedForm);
    void prefetchSlot(std::uint32_t hash) const { __builtin_prefetch(table_.data() + (hash & mask_)); }
    // Then, the slot read, the form that may be the one asked for (the
    // first whose slot bears its hash's top bits) or kNoMatch, with its
    // entry and count asked for ahead; then its bytes (prefetchBytes). A
    // form met before costs three reads far apart: the table's, its entry's
    // and its bytes'.
    static constexpr std::uint32_t kNoMatch = 0xFFFFFFFFu;
    std::uint32_t prefetchMatch(std::uint32_t hash) const
    {
        for (std::uint32_t i = hash & mask_;; i = (i + 1) & mask_) {
            const std::uint32_t slot = table_[i];
            if (slot == 0) return kNoMatch;
            if (((slot ^ hash) & ~mask_) == 0) {
                const std::uint32_t id = (slot & mask_) - 1;
                __builtin_prefetch(entries_.data() + id);
                __builtin_prefetch(counts_.data() + id);
                return id;
            }
        }
    }
    void prefetchBytes(std::uint32_t id) const { __builtin_prefetch(chars_.data() + entries_[id].offset); }

    // Room for `forms` forms at once, so that the table grows once.
    void expect(size_t forms);

    size_t size() const { return entries_.size(); }
    std::string_view form(std::uint32_t id) const
    {
        return {chars_.data() + entries_[id].offset, entries_[id].length};
    }
    const Entry& entry(std::uint32_t id) const { return entries_[id]; }
    // A form about to be read, out of the order met: its entry and count
    // asked for ahead.
    void prefetch(std::uint32_t id) const
    {
        __builtin_prefetch(entries_.data() + id);
        __builtin_prefetch(counts_.data() + id);
    }
    // Free for the caller: the builder counts each form's words here.
    PodArray<std::uint32_t>& counts() { return counts_; }
    const PodArray<std::uint32_t>& counts() const { return counts_; }
    // The forms' bytes, each followed by at least 8 readable bytes.
    PodArray<char>& chars() { return chars_; }
    void dropTable() { std::vector<std::uint32_t>().swap(table_); }
    // Once the forms are placed elsewhere: only counts() and chars() stay.
    void dropEntries() { entries_ = PodArray<Entry>(); }

    // The forms by bytes, and beside each its first 8 bytes as a
    // big-endian number (zeros past its end): two forms are compared by
    // their keys first, and by their bytes only when both go on.
    struct Sorted {
        PodArray<std::uint32_t> ids;
        PodArray<std::uint64_t> keys;
    };
    Sorted sorted() const;

    static std::uint64_t keyOf(std::string_view paddedForm);

private:
    void makeTable(unsigned bits);

    // A slot: 0 when free, else the form's number + 1 in the low `bits_`
    // bits and the hash's bits above them: a slot whose high bits differ
    // from the hash's is another form, with no look at its bytes.
    std::vector<std::uint32_t> table_;
    unsigned bits_ = 0;
    std::uint32_t mask_ = 0;
    PodArray<Entry> entries_;
    PodArray<char> chars_;
    PodArray<std::uint32_t> counts_;
};

// Negative, 0 or positive as form `a` of one dictionary sorts before, as,
// or after form `b` of another, their keys (equal) given.
int compareTied(std::uint64_t key, std::string_view a, std::string_view b);
inline int compareForms(std::uint64_t keyA, std::string_view a, std::uint64_t keyB, std::string_view b)
{
    return keyA != keyB ? (keyA < keyB ? -1 : 1) : compareTied(keyA, a, b);
}

// Every distinct form of two sorted dictionaries in byte order, once:
// `each(first, second)` with its number in each, kAbsent where it is not.
// Only the forms at [iBegin, iEnd) of `sa` and [jBegin, jEnd) of `sb`, when
// given; `Backward`, from the last form to the first.
constexpr std::uint32_t kAbsent = 0xFFFFFFFFu;
template <bool Backward = false, class F>
void forEachMerged(const FormDictionary& a, const FormDictionary::Sorted& sa, size_t iBegin, size_t iEnd,
                   const FormDictionary& b, const FormDictionary::Sorted& sb, size_t jBegin, size_t jEnd, F&& each)
{
    const size_t na = iEnd - iBegin, nb = jEnd - jBegin;
    // The k-th form met of each list.
    auto at = [](size_t begin, size_t end, size_t k) { return Backward ? end - 1 - k : begin + k; };
    // The forms' entries lie in the order met, far apart: asked for this
    // far ahead.
    constexpr size_t kAhead = 16;
    size_t i = 0, j = 0;
    while (i < na && j < nb) {
        if (i + kAhead < na) a.prefetch(sa.ids[at(iBegin, iEnd, i + kAhead)]);
        if (j + kAhead < nb) b.prefetch(sb.ids[at(jBegin, jEnd, j + kAhead)]);
        const size_t x = at(iBegin, iEnd, i), y = at(jBegin, jEnd, j);
        int c = sa.keys[x] != sb.keys[y] ? (sa.keys[x] < sb.keys[y] ? -1 : 1)
                                         : compareTied(sa.keys[x], a.form(sa.ids[x]), b.form(sb.ids[y]));
        if (Backward) c = -c;
        if (c < 0) {
            each(sa.ids[x], kAbsent);
            ++i;
        } else if (c > 0) {
            each(kAbsent, sb.ids[y]);
            ++j;
        } else {
            each(sa.ids[x], sb.ids[y]);
            ++i;
            ++j;
        }
    }
    for (; i < na; ++i) {
        if (i + kAhead < na) a.prefetch(sa.ids[at(iBegin, iEnd, i + kAhead)]);
        each(sa.ids[at(iBegin, iEnd, i)], kAbsent);
    }
    for (; j < nb; ++j) {
        if (j + kAhead < nb) b.prefetch(sb.ids[at(jBegin, jEnd, j + kAhead)]);
        each(kAbsent, sb.ids[at(jBegin, jEnd, j)]);
    }
}
template <class F>
void forEachMerged(const FormDictionary& a, const FormDictionary::Sorted& sa, const FormDictionary& b,
                   const FormDictionary::Sorted& sb, F&& each)
{
    forEachMerged(a, sa, 0, sa.ids.size(), b, sb, 0, sb.ids.size(), each);
}

} // namespace solandre
