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

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace solandre::align {

inline constexpr int kMaxBeadSide = 3; // most sentences on one side of a bead
inline constexpr int kMaxItems = 64;   // per sentence, the rarest kept (one bit each)

// What every item of one form carries: a match against 1, 2 or 3 sentences,
// over a miss, and the form's keys.
struct ItemKind {
    float gain[kMaxBeadSide] = {};
    std::uint32_t keyBegin = 0, keyEnd = 0;
};

// Four bytes an item: a long text holds tens of millions of them, and the
// items of one form are all alike.
struct SideEvidence {
    std::vector<std::uint32_t> itemBegin; // per sentence, one more than sentences
    std::vector<std::uint32_t> items;     // each item's kind
    std::vector<ItemKind> kinds;
    std::vector<std::uint32_t> keys;      // of the kinds
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
    // The keys of the target sentences [windowFirst_, windowEnd_), each with
    // its item's place in its sentence, side by side: every source sentence
    // of a band's rows looks up the same few hundred target sentences.
    struct KeyOfItem {
        std::uint32_t key, item;
    };
    static constexpr std::uint32_t kWindow = 512;
    void cover(std::uint32_t first, std::uint32_t end);

    const SideEvidence& source_;
    const SideEvidence& target_;
    // A bit per key's last bits, set for those of the source sentence being
    // matched: a key whose bit is clear is not held. At most half a
    // kilobyte, which stays in the nearest cache while the targets are
    // looked up; those whose bit is set are looked up among the holders.
    static constexpr std::size_t kMostHeldBits = 4096;
    std::vector<std::uint64_t> held_;
    // The source items carrying each held key, by open addressing: a table
    // as long as the keys would be most of a matcher.
    struct Holders {
        std::uint32_t key;
        std::uint64_t items;
    };
    std::uint64_t& holdersOf(std::uint32_t key);
    const std::uint64_t* findHolders(std::uint32_t key) const;
    std::vector<Holders> holders_;
    int holderShift_ = 64;
    std::vector<KeyOfItem> windowKeys_;
    std::vector<std::uint32_t> windowBegin_; // per sentence of the window, one more
    std::uint32_t windowFirst_ = 0, windowEnd_ = 0;
};

// The end of a window over target sentences [first, ...) that must hold
// [first, end): the rows of a band move forward, so it reaches well past
// them, at least `least` sentences and never past the `targets`.
inline std::uint32_t windowEnd(std::uint32_t first, std::uint32_t end, std::uint32_t targets,
                               std::uint32_t least)
{
    return std::max(end, std::min(targets, first + std::max(4 * (end - first), least)));
}

// What one sentence's items say, `found` those of them that matched in
// `against` sentences of the other text.
inline double sentenceEvidence(const SideEvidence& side, std::uint32_t sentence, std::uint64_t found,
                               int against)
{
    double score = side.missed[sentence];
    const std::uint32_t* items = side.items.data() + side.itemBegin[sentence];
    while (found) {
        score += side.kinds[items[std::countr_zero(found)]].gain[against - 1];
        found &= found - 1;
    }
    return score;
}

// Evidence of the bead of source sentences [s0, s0 + a) and target sentences
// [t0, t0 + b), both sides non-empty; match(x, y) is the PairMatch of source
// s0 + x with target t0 + y.
template <class MatchOf>
double beadEvidence(const SideEvidence& source, const SideEvidence& target, std::uint32_t s0, int a,
                    std::uint32_t t0, int b, MatchOf&& match)
{
    const auto sum = sentenceEvidence;
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
