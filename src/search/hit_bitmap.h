// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A list's hits as bits of a bitmap of the text's words, for the sorts of
// concordance lines that read every hit's key in text order: a line finds
// what was read of its word through the count of hits before it.

#include "search/word_index.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

namespace solandre {

class HitBitmap {
public:
    // False when a word is met twice.
    bool mark(const WordList& order, size_t words)
    {
        bits_.assign(words / 64 + 1, 0);
        for (const WordId word : order) {
            std::uint64_t& block = bits_[word / 64];
            const std::uint64_t bit = std::uint64_t(1) << (word % 64);
            if (block & bit) return false;
            block |= bit;
        }
        before_.resize(bits_.size() + 1);
        std::uint32_t count = 0;
        for (size_t b = 0; b < bits_.size(); ++b) {
            before_[b] = count;
            count += std::uint32_t(std::popcount(bits_[b]));
        }
        before_.back() = count;
        return true;
    }

    // Blocks of 64 words; the hits before block `block` (all of them before
    // the end, blocks()).
    size_t blocks() const { return bits_.size(); }
    std::uint32_t hitsBefore(size_t block) const { return before_[block]; }
    // The first block with about half the hits before it.
    size_t middle() const
    {
        return size_t(std::lower_bound(before_.begin(), before_.end() - 1, before_.back() / 2) - before_.begin());
    }

    // Calls visit(word) for the hits of blocks [from, to) in text order,
    // until it returns false.
    template <class Visit> bool inTextOrder(size_t from, size_t to, Visit&& visit) const
    {
        for (size_t b = from; b < to; ++b)
            for (std::uint64_t block = bits_[b]; block; block &= block - 1)
                if (!visit(WordId(b * 64 + size_t(std::countr_zero(block))))) return false;
        return true;
    }

    std::uint32_t placeInText(WordId word) const
    {
        const std::uint64_t lower = bits_[word / 64] & ((std::uint64_t(1) << (word % 64)) - 1);
        return before_[word / 64] + std::uint32_t(std::popcount(lower));
    }

    // Calls use(k, placeInText(order[k])) for every line. The places jump
    // about a list as big as the text's words, and so do what they lead to:
    // a line's block of the bitmap is asked of memory far ahead, its place a
    // little nearer (use.prefetch), and what the place leads to nearer still
    // (use.prefetchThen), so that the waits overlap.
    template <class Use> void forEachLine(const WordList& order, Use&& use) const
    {
        constexpr size_t kAhead = 32, kThen = 16, kBlockAhead = 64;
        const size_t n = order.size();
        std::uint32_t ahead[kAhead];
        for (size_t k = 0; k < std::min(n, kAhead); ++k) ahead[k] = placeInText(order[k]);
        for (size_t k = 0; k < std::min(n, kAhead); ++k) use.prefetch(ahead[k]);
        for (size_t k = 0; k < n; ++k) {
            const std::uint32_t place = ahead[k % kAhead];
            if (k + kBlockAhead < n) {
                const WordId word = order[k + kBlockAhead];
                __builtin_prefetch(&bits_[word / 64]);
                __builtin_prefetch(&before_[word / 64]);
            }
            if (k + kThen < n) use.prefetchThen(ahead[(k + kThen) % kAhead]);
            if (k + kAhead < n) {
                ahead[k % kAhead] = placeInText(order[k + kAhead]);
                use.prefetch(ahead[k % kAhead]);
            }
            use(k, place);
        }
    }

private:
    std::vector<std::uint64_t> bits_;
    std::vector<std::uint32_t> before_;
};

// Runs `first` here and `second` (when `both`) on a thread of its own, or
// after it where no thread can be had; true when both went to their end.
template <class First, class Second> bool inTwoHalves(First&& first, Second&& second, bool both)
{
    if (!both) return first();
    bool secondDone = false;
    std::thread other;
    try {
        other = std::thread([&] { secondDone = second(); });
    } catch (const std::system_error&) {
        return first() && second();
    }
    const bool firstDone = first();
    other.join();
    return firstDone && secondDone;
}

} // namespace solandre
