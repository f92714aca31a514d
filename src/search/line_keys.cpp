// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/line_keys.h"

#include <cstring>

namespace solandre {
namespace {

constexpr size_t kRecentSlots = size_t(1) << 14;
// Further than this, a word is found from the index's samples instead.
constexpr WordId kMaxSteps = 64;

// Gaps between words are short: a loop beats a library search.
bool bracketIn(std::string_view gap)
{
    for (const char c : gap)
        if (c == '[' || c == ']') return true;
    return false;
}

// Words are short: up to eight bytes, one masked comparison (when eight
// bytes can be read from both) beats a loop, whose end is a different byte
// each word.
bool sameBytes(std::string_view a, std::string_view b, const char* textEnd)
{
    if (a.size() != b.size()) return false;
    if (a.size() <= 8 && textEnd - a.data() >= 8 && textEnd - b.data() >= 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a.data(), 8);
        std::memcpy(&y, b.data(), 8);
        return a.empty() || ((x ^ y) & (~std::uint64_t{0} >> (8 * (8 - a.size())))) == 0;
    }
    return a == b;
}

// Eight bytes at a time: a byte at a time, the multiplications chain. Only
// the cache of recent words uses it, so any spread of the bits will do.
std::uint32_t hashOf(std::string_view bytes, const char* textEnd)
{
    constexpr std::uint64_t kMix = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = bytes.size();
    size_t k = 0;
    for (std::uint64_t v; k + 8 <= bytes.size(); k += 8) {
        std::memcpy(&v, bytes.data() + k, 8);
        h = (h ^ v) * kMix;
        h ^= h >> 29;
    }
    if (k < bytes.size()) {
        const size_t rest = bytes.size() - k;
        std::uint64_t v = 0;
        if (textEnd - (bytes.data() + k) >= 8) {
            std::memcpy(&v, bytes.data() + k, 8);
            v &= ~std::uint64_t{0} >> (8 * (8 - rest));
        } else {
            std::memcpy(&v, bytes.data() + k, rest);
        }
        h = (h ^ v) * kMix;
        h ^= h >> 29;
    }
    return std::uint32_t(h >> 32) ^ std::uint32_t(h);
}

} // namespace

LineKeyReader::LineKeyReader(const WordIndex& index, LineKey key)
    : index_(index), chars_(index), key_(key), recent_(kRecentSlots)
{
}

void LineKeyReader::reach(WordId word)
{
    const size_t start = chars_.nextLetter(endOf(word - 1));
    starts_[word % kRing] = start;
    ends_[word % kRing] = chars_.wordEnd(start);
    last_ = word;
    if (last_ - first_ >= kRing) first_ = last_ - kRing + 1;
}

void LineKeyReader::moveTo(WordId hit)
{
    if (!placed_ || hit < word_ || hit - word_ > kMaxSteps) {
        // From two words before, so that both are known too.
        first_ = last_ = hit >= 2 ? hit - 2 : 0;
        starts_[first_ % kRing] = chars_.placeOf(index_.form(first_));
        ends_[first_ % kRing] = chars_.wordEnd(startOf(first_));
        placed_ = true;
    }
    word_ = hit;
    while (last_ < hit) reach(last_ + 1);
    // Words before a jump back are forgotten, as when placed anew.
    if (first_ + 2 < hit) first_ = hit - 2;
}

std::uint32_t LineKeyReader::rankOf(size_t start, size_t end)
{
    const std::string_view word = chars_.slice(start, end);
    const char* textEnd = chars_.text().data() + chars_.size();
    const std::uint32_t hash = hashOf(word, textEnd);
    Recent& slot = recent_[hash & (kRecentSlots - 1)];
    if (slot.length == word.size() && slot.hash == hash &&
        sameBytes(chars_.slice(slot.offset, slot.offset + slot.length), word, textEnd))
        return slot.rank;
    lowered_.clear();
    chars_.lower(start, end, lowered_);
    size_t first = 0, count = index_.vocabularySize();
    while (count > 0) {
        const size_t half = count / 2;
        if (index_.lowerForm(std::uint32_t(first + half)) < lowered_) {
            first += half + 1;
            count -= half + 1;
        } else {
            count = half;
        }
    }
    slot = {hash, std::uint32_t(start), std::uint32_t(word.size()), std::uint32_t(first)};
    return std::uint32_t(first);
}

std::uint32_t LineKeyReader::rank(WordId hit)
{
    moveTo(hit);
    size_t from = startOf(hit), to = endOf(hit);
    switch (key_) {
    case LineKey::Form:
        break;
    case LineKey::Right1:
    case LineKey::Right2: {
        // The next words in the text, before any bracket; as in the index,
        // only a non-letter ends a word.
        for (WordId k = 1; k <= (key_ == LineKey::Right1 ? 1u : 2u); ++k) {
            if (last_ < hit + k) reach(hit + k);
            from = startOf(hit + k);
            if (bracketIn(chars_.slice(to, from))) return 0;
            to = endOf(hit + k);
            if (from == to || to == chars_.size()) return 0;
        }
        break;
    }
    case LineKey::Left1:
    case LineKey::Left2: {
        // The index's words before the hit, as long as no bracket stands between.
        size_t after = from;
        for (WordId k = 1; k <= (key_ == LineKey::Left1 ? 1u : 2u); ++k) {
            if (hit < first_ + k) return 0;
            from = startOf(hit - k);
            to = endOf(hit - k);
            if (bracketIn(chars_.slice(to, after))) return 0;
            after = from;
        }
        break;
    }
    }
    return rankOf(from, to) + 1;
}

} // namespace solandre
