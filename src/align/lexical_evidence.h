// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How much the shared keys of a bead say for it, as a log-likelihood ratio of
// "these sentences translate each other" against "they are unrelated".
//
// A form of one text is an item when some sentence of the other text holds one
// of its keys. Chance finds that key in a sentence of the other text with the
// share of sentences holding it (q); a counterpart holds it with the form's
// reliability (p), or by chance. So a match is worth much for a rare key and
// little for a common one, and a miss tells against the bead as much as the
// form is usually rendered by its key.

#include "align/lexical_keys.h"
#include "align/text_features.h"

#include <bit>
#include <cstdint>
#include <vector>

namespace solandre::align {

inline constexpr int kMaxBeadSide = 3; // most sentences on one side of a bead
inline constexpr int kMaxItems = 64;   // per sentence, the rarest kept (one bit each)

struct Item {
    float gain[kMaxBeadSide] = {}; // a match against 1, 2 or 3 sentences, over a miss
    std::uint32_t keyBegin = 0, keyEnd = 0;
};

struct SideEvidence {
    std::vector<std::uint32_t> itemBegin; // per sentence, one more than sentences
    std::vector<Item> items;
    std::vector<std::uint32_t> keys;
    std::vector<float> missed; // per sentence: the score when none of its items match
};

// `reliability`: each form's p, per form of the shared table.
SideEvidence buildEvidence(const SideText& text, int side, const FormKeys& keys,
                           const std::vector<std::uint32_t>& otherFrequency,
                           std::size_t otherSentences, const std::vector<double>& reliability);

// Which items of a source and of a target sentence found their keys in the other.
struct PairMatch {
    std::uint64_t source = 0, target = 0;
};

class Matcher {
public:
    Matcher(const SideEvidence& source, const SideEvidence& target, std::uint32_t keyCount);
    // Matches source sentence `s` against target sentences [first, end).
    void matchRow(std::uint32_t s, std::uint32_t first, std::uint32_t end, PairMatch* out);

private:
    const SideEvidence& source_;
    const SideEvidence& target_;
    std::vector<std::uint32_t> stamp_;
    std::vector<std::uint64_t> holders_; // per key: the source items carrying it
    std::uint32_t nextStamp_ = 0;
};

// Evidence of the bead of source sentences [s0, s0 + a) and target sentences
// [t0, t0 + b), both sides non-empty; match(x, y) is the PairMatch of source
// s0 + x with target t0 + y.
template <class MatchOf>
double beadEvidence(const SideEvidence& source, const SideEvidence& target, std::uint32_t s0, int a,
                    std::uint32_t t0, int b, MatchOf&& match)
{
    auto sum = [](const SideEvidence& side, std::uint32_t sentence, std::uint64_t found,
                  int against) {
        double score = side.missed[sentence];
        const Item* items = side.items.data() + side.itemBegin[sentence];
        while (found) {
            score += items[std::countr_zero(found)].gain[against - 1];
            found &= found - 1;
        }
        return score;
    };
    double score = 0;
    for (int x = 0; x < a; ++x) {
        std::uint64_t found = 0;
        for (int y = 0; y < b; ++y)
            found |= match(x, y).source;
        score += sum(source, s0 + x, found, b);
    }
    for (int y = 0; y < b; ++y) {
        std::uint64_t found = 0;
        for (int x = 0; x < a; ++x)
            found |= match(x, y).target;
        score += sum(target, t0 + y, found, a);
    }
    // Both directions see the same matches; each counts half.
    return score / 2;
}

} // namespace solandre::align
