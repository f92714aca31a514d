// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/line_keys.h"

namespace solandre {
namespace {

constexpr size_t kRecentSlots = size_t(1) << 14;
// Further than this, a word is found from the index's samples instead.
constexpr WordId kMaxSteps = 64;

bool bracketIn(std::string_view gap) { return gap.find_first_of("[]") != std::string_view::npos; }

std::uint32_t hashOf(std::string_view bytes)
{
    std::uint32_t h = 2166136261u;
    for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

} // namespace

LineKeyReader::LineKeyReader(const WordIndex& index, LineKey key)
    : index_(index), chars_(index), key_(key), recent_(kRecentSlots)
{
}

void LineKeyReader::step()
{
    const size_t next = chars_.nextLetter(chars_.wordEnd(starts_[2]));
    starts_[0] = starts_[1];
    starts_[1] = starts_[2];
    starts_[2] = next;
    known_ = std::min(known_ + 1, 3);
    ++word_;
}

void LineKeyReader::moveTo(WordId hit)
{
    if (!placed_ || hit < word_ || hit - word_ > kMaxSteps) {
        // From two words before, so that both are known too.
        word_ = hit >= 2 ? hit - 2 : 0;
        starts_[2] = chars_.placeOf(index_.form(word_));
        known_ = 1;
        placed_ = true;
    }
    while (word_ < hit) step();
}

std::uint32_t LineKeyReader::rankOf(size_t start, size_t end)
{
    const std::string_view word = chars_.slice(start, end);
    const std::uint32_t hash = hashOf(word);
    Recent& slot = recent_[hash & (kRecentSlots - 1)];
    if (slot.length == word.size() && slot.hash == hash && chars_.slice(slot.offset, slot.offset + slot.length) == word)
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
    const size_t start = starts_[2], end = chars_.wordEnd(start);
    size_t from = start, to = end;
    switch (key_) {
    case LineKey::Form:
        break;
    case LineKey::Right1:
    case LineKey::Right2: {
        // The next words in the text, before any bracket; as in the index,
        // only a non-letter ends a word.
        to = end;
        for (int k = key_ == LineKey::Right1 ? 1 : 2; k > 0; --k) {
            from = chars_.nextLetter(to);
            if (bracketIn(chars_.slice(to, from))) return 0;
            to = chars_.wordEnd(from);
            if (from == to || to == chars_.size()) return 0;
        }
        break;
    }
    case LineKey::Left1:
    case LineKey::Left2: {
        // The index's words before the hit, as long as no bracket stands between.
        size_t after = start;
        for (int k = 1; k <= (key_ == LineKey::Left1 ? 1 : 2); ++k) {
            if (known_ <= k) return 0;
            from = starts_[2 - k];
            to = chars_.wordEnd(from);
            if (bracketIn(chars_.slice(to, after))) return 0;
            after = from;
        }
        break;
    }
    }
    return rankOf(from, to) + 1;
}

} // namespace solandre
