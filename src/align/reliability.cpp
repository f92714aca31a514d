// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/reliability.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

namespace solandre::align {

namespace {

// Sentences of the other text either side of where the line puts a sentence.
constexpr std::int64_t kNearLine = 3;
// Occurrences' worth of weight an average keeps against a form's own, and the
// average over all forms against that of a class of forms.
constexpr double kAverageWeight = 2;
constexpr double kClassWeight = 20;

// Counts for one text against, for each of its sentences, a range of the
// other's; `rangeOf(s)` gives [first, end), moving forward with s.
template <class RangeOf>
FormTally tallyAgainst(const SideText& own, const SideText& other, int side, const FormKeys& keys,
                       const std::vector<std::uint32_t>& otherFrequency, RangeOf&& rangeOf)
{
    FormTally tally;
    tally.seen.assign(keys.formCount(), 0);
    tally.matched.assign(keys.formCount(), 0);
    tally.chance.assign(keys.formCount(), 0.0);
    std::vector<double> absent(keys.formCount(), -1.0);
    // Keys in the current range, with how many of its sentences hold them.
    std::vector<std::int32_t> holding(keys.keyCount(), 0);
    auto change = [&](std::uint32_t s, int by) {
        for (std::uint32_t f = 0; f < other.formCount(s); ++f)
            keys.forEachKey(1 - side, other.formsOf(s)[f],
                            [&](std::uint32_t key) { holding[key] += by; });
    };
    std::uint32_t first = 0, end = 0;
    for (std::uint32_t s = 0; s < own.size(); ++s) {
        const auto [from, to] = rangeOf(s);
        if (from >= to) continue;
        // Ranges move forward; one that does not starts afresh.
        if (from < first || from >= end || to < end) {
            while (first < end)
                change(first++, -1);
            first = end = from;
        }
        while (end < to)
            change(end++, +1);
        while (first < from)
            change(first++, -1);
        for (std::uint32_t f = 0; f < own.formCount(s); ++f) {
            const std::uint32_t form = own.formsOf(s)[f];
            if (absent[form] < 0)
                absent[form] = absentShare(keys, side, form, otherFrequency, other.size());
            bool found = false;
            keys.forEachKey(side, form,
                            [&](std::uint32_t key) { found = found || holding[key] > 0; });
            ++tally.seen[form];
            tally.matched[form] += found;
            // x^1 is x to the bit, and most beads hold one sentence a side.
            const std::uint32_t span = to - from;
            tally.chance[form] += 1 - (span == 1 ? absent[form] : std::pow(absent[form], double(span)));
        }
    }
    return tally;
}

} // namespace

double absentShare(const FormKeys& keys, int side, std::uint32_t form,
                   const std::vector<std::uint32_t>& otherFrequency, std::size_t otherSentences)
{
    double absent = 1;
    keys.forEachKey(side, form, [&](std::uint32_t key) {
        absent *= 1 - double(otherFrequency[key]) / double(otherSentences);
    });
    return absent;
}

FormTally tallyNearLine(const SideText& source, const SideText& target, int side,
                        const FormKeys& keys, const std::vector<std::uint32_t>& otherFrequency,
                        const std::vector<double>& line)
{
    const SideText& own = side == 0 ? source : target;
    const SideText& other = side == 0 ? target : source;
    const auto otherSize = static_cast<std::int64_t>(other.size());
    auto around = [&](double position) {
        const auto middle = static_cast<std::int64_t>(std::floor(position));
        return std::pair<std::uint32_t, std::uint32_t>(
            static_cast<std::uint32_t>(std::clamp<std::int64_t>(middle - kNearLine, 0, otherSize)),
            static_cast<std::uint32_t>(
                std::clamp<std::int64_t>(middle + kNearLine + 1, 0, otherSize)));
    };
    if (side == 0)
        return tallyAgainst(own, other, side, keys, otherFrequency,
                            [&](std::uint32_t s) { return around((line[s] + line[s + 1]) / 2); });
    // A target sentence's place among the rows: where the line crosses its middle.
    std::uint32_t row = 0;
    return tallyAgainst(own, other, side, keys, otherFrequency, [&](std::uint32_t t) {
        const double column = t + 0.5;
        while (row + 1 < line.size() && line[row + 1] < column)
            ++row;
        const double rise = row + 1 < line.size() ? line[row + 1] - line[row] : 0;
        const double position = rise > 0 ? row + (column - line[row]) / rise : row;
        return around(position);
    });
}

FormTally tallyInBeads(const SideText& source, const SideText& target, int side,
                       const FormKeys& keys, const std::vector<std::uint32_t>& otherFrequency,
                       const std::vector<Bead>& beads)
{
    // The bead holding each sentence of this text.
    const SideText& own = side == 0 ? source : target;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> range(own.size(), {0, 0});
    for (const Bead& bead : beads) {
        const std::uint32_t ownFirst = side == 0 ? bead.sourceFirst : bead.targetFirst;
        const std::uint32_t ownCount = side == 0 ? bead.sourceCount : bead.targetCount;
        const std::uint32_t otherFirst = side == 0 ? bead.targetFirst : bead.sourceFirst;
        const std::uint32_t otherCount = side == 0 ? bead.targetCount : bead.sourceCount;
        for (std::uint32_t s = ownFirst; s < ownFirst + ownCount; ++s)
            range[s] = {otherFirst, otherFirst + otherCount};
    }
    return tallyAgainst(own, side == 0 ? target : source, side, keys, otherFrequency,
                        [&](std::uint32_t s) { return range[s]; });
}

std::vector<double> estimateReliability(const FormTally& tally, const FormTable& forms,
                                        const SideText& other, const FormKeys& keys, int side,
                                        const std::vector<std::uint32_t>& ownFrequency,
                                        const std::vector<std::uint32_t>& otherFrequency)
{
    // Forms are judged with others of their kind seen about as often: numbers,
    // marks, dictionary words, words found as they are in the other text, and
    // words sharing only their first letters with some there; and within a
    // kind, names found once apart from words found everywhere.
    std::vector<bool> inOther(forms.size(), false);
    for (const std::uint32_t form : other.forms)
        inOther[form] = true;
    constexpr int kKinds = 5, kRarities = 12;
    auto kindOf = [&](std::uint32_t form) {
        if (forms.kind(form) == FormKind::Number) return 0;
        if (forms.kind(form) == FormKind::Mark) return 1;
        if (!keys.extraKeys(side, form).empty()) return 2;
        return inOther[form] ? 3 : 4;
    };
    auto rarityOf = [&](std::uint32_t form) {
        return std::min(static_cast<int>(std::bit_width(tally.seen[form])), kRarities - 1);
    };
    // Each form counts by how much it could tell: its occurrences less what
    // chance would have matched anyway. Forms whose keys the other text lacks
    // (or has everywhere) tell nothing.
    const std::size_t otherSentences = other.size();
    std::vector<double> absent(tally.seen.size(), 1.0);
    double allExcess = 0, allRoom = 0;
    std::array<double, kKinds> kindExcess{}, kindRoom{};
    std::array<std::array<double, kRarities>, kKinds> excess{}, room{};
    for (std::uint32_t form = 0; form < tally.seen.size(); ++form) {
        if (tally.seen[form] == 0) continue;
        absent[form] = absentShare(keys, side, form, otherFrequency, otherSentences);
        if (absent[form] >= 1 || absent[form] <= 0) continue;
        const double e = tally.matched[form] - tally.chance[form];
        const double r = tally.seen[form] - tally.chance[form];
        allExcess += e;
        allRoom += r;
        kindExcess[kindOf(form)] += e;
        kindRoom[kindOf(form)] += r;
        excess[kindOf(form)][rarityOf(form)] += e;
        room[kindOf(form)][rarityOf(form)] += r;
    }
    // Each average drawn towards the wider one when it rests on little.
    auto drawn = [](double e, double r, double wider) {
        return std::clamp((e + kClassWeight * wider) / (r + kClassWeight), 0.0, kMaxReliability);
    };
    const double overall = drawn(allExcess, allRoom, 0.0);
    std::array<std::array<double, kRarities>, kKinds> average{};
    for (int kind = 0; kind < kKinds; ++kind) {
        const double kindAverage = drawn(kindExcess[kind], kindRoom[kind], overall);
        for (int rarity = 0; rarity < kRarities; ++rarity)
            average[kind][rarity] = drawn(excess[kind][rarity], room[kind][rarity], kindAverage);
    }

    std::vector<double> reliability(tally.seen.size(), 0.0);
    for (std::uint32_t form = 0; form < tally.seen.size(); ++form) {
        if (absent[form] >= 1 || absent[form] <= 0) continue;
        // A key found in fewer sentences of the other text than of this one
        // cannot match every time.
        std::uint32_t own = 1;
        keys.forEachKey(side, form,
                        [&](std::uint32_t key) { own = std::max(own, ownFrequency[key]); });
        const double found = (1 - absent[form]) * otherSentences;
        const double guess = average[kindOf(form)][rarityOf(form)] * std::min(1.0, found / own);
        const double p = (tally.matched[form] - tally.chance[form] + kAverageWeight * guess) /
                         (tally.seen[form] - tally.chance[form] + kAverageWeight);
        reliability[form] = std::clamp(p, 0.0, kMaxReliability);
    }
    return reliability;
}

} // namespace solandre::align
