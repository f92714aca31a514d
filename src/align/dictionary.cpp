// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/dictionary.h"

#include "align/side_by_side.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace solandre::align {

namespace {

// Beads enough to find a text's common words; more only cost time.
constexpr std::size_t kMaxBeads = 20000;
// Forms of a sentence taken, the first ones.
constexpr std::uint32_t kMaxFormsPerSentence = 48;
constexpr std::uint32_t kMinTogether = 2;
// Dunning's statistic at which chance is below one in a thousand.
constexpr double kMinAssociation = 10.83;

double xlogx(double x)
{
    return x > 0 ? x * std::log(x) : 0.0;
}

// Log-likelihood ratio (G²) of the 2x2 table of together / source only /
// target only / neither.
double association(double together, double sourceOnly, double targetOnly, double neither)
{
    const double total = together + sourceOnly + targetOnly + neither;
    return 2 * (xlogx(together) + xlogx(sourceOnly) + xlogx(targetOnly) + xlogx(neither) -
                xlogx(together + sourceOnly) - xlogx(together + targetOnly) -
                xlogx(targetOnly + neither) - xlogx(sourceOnly + neither) + xlogx(total));
}

} // namespace

std::vector<WordPair> learnDictionary(const SideText& source, const SideText& target,
                                      const FormTable& forms, const FormKeys& keys,
                                      const std::vector<Bead>& beads)
{
    // An even spread of beads over the texts when there are too many.
    std::vector<const Bead*> used;
    const std::size_t step = (beads.size() + kMaxBeads - 1) / kMaxBeads;
    for (std::size_t k = 0; k < beads.size(); k += std::max<std::size_t>(step, 1))
        used.push_back(&beads[k]);
    if (used.size() < 2) return {};

    std::vector<std::uint32_t> sourceCount(forms.size(), 0), targetCount(forms.size(), 0);
    auto eachForm = [&](const SideText& text, std::uint32_t s, auto&& f) {
        const std::uint32_t count = std::min(text.formCount(s), kMaxFormsPerSentence);
        for (std::uint32_t k = 0; k < count; ++k)
            if (forms.kind(text.formsOf(s)[k]) == FormKind::Word) f(text.formsOf(s)[k]);
    };
    for (const Bead* bead : used) {
        eachForm(source, bead->sourceFirst, [&](std::uint32_t f) { ++sourceCount[f]; });
        eachForm(target, bead->targetFirst, [&](std::uint32_t f) { ++targetCount[f]; });
    }

    // Each bead's target forms seen often enough, and the beads of each such
    // source form.
    std::vector<std::uint32_t> targetBegin{0}, targets;
    std::vector<std::uint32_t> beadsOfBegin(forms.size() + 1, 0), beadsOf;
    for (const Bead* bead : used) {
        eachForm(target, bead->targetFirst, [&](std::uint32_t t) {
            if (targetCount[t] >= kMinTogether) targets.push_back(t);
        });
        targetBegin.push_back(static_cast<std::uint32_t>(targets.size()));
        eachForm(source, bead->sourceFirst, [&](std::uint32_t s) {
            if (sourceCount[s] >= kMinTogether) ++beadsOfBegin[s + 1];
        });
    }
    for (std::size_t f = 0; f < forms.size(); ++f)
        beadsOfBegin[f + 1] += beadsOfBegin[f];
    beadsOf.resize(beadsOfBegin.back());
    {
        std::vector<std::uint32_t> fill(beadsOfBegin.begin(), beadsOfBegin.end() - 1);
        for (std::uint32_t b = 0; b < used.size(); ++b)
            eachForm(source, used[b]->sourceFirst, [&](std::uint32_t s) {
                if (sourceCount[s] >= kMinTogether) beadsOf[fill[s]++] = b;
            });
    }

    struct Candidate {
        double score;
        std::uint32_t source, target;
    };
    const double total = double(used.size());
    // The pairs of source forms [first, end) found together often enough.
    auto candidatesOf = [&](std::uint32_t first, std::uint32_t end, std::vector<Candidate>& candidates) {
        std::vector<std::uint32_t> together(forms.size(), 0), touched;
        for (std::uint32_t s = first; s < end; ++s) {
            for (std::uint32_t k = beadsOfBegin[s]; k < beadsOfBegin[s + 1]; ++k) {
                const std::uint32_t b = beadsOf[k];
                for (std::uint32_t x = targetBegin[b]; x < targetBegin[b + 1]; ++x)
                    if (together[targets[x]]++ == 0) touched.push_back(targets[x]);
            }
            for (const std::uint32_t t : touched) {
                const double both = together[t];
                together[t] = 0;
                if (both < kMinTogether) continue;
                const double sourceOnly = sourceCount[s] - both, targetOnly = targetCount[t] - both;
                const double neither = total - both - sourceOnly - targetOnly;
                // Only pairs found together more often than their counts predict.
                if (both * total <= double(sourceCount[s]) * targetCount[t]) continue;
                const double score = association(both, sourceOnly, targetOnly, neither);
                if (score >= kMinAssociation) candidates.push_back({score, s, t});
            }
            touched.clear();
        }
    };
    // The source forms in two halves of about as many beads, one on each
    // thread: the order below is whole, so the halves' order does not matter.
    const auto half = static_cast<std::uint32_t>(
        std::lower_bound(beadsOfBegin.begin(), beadsOfBegin.end(), beadsOfBegin.back() / 2) - beadsOfBegin.begin());
    const std::uint32_t split = std::min<std::uint32_t>(half, static_cast<std::uint32_t>(forms.size()));
    std::vector<Candidate> candidates, later;
    sideBySide([&] { candidatesOf(split, static_cast<std::uint32_t>(forms.size()), later); },
               [&] { candidatesOf(0, split, candidates); });
    candidates.insert(candidates.end(), later.begin(), later.end());
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return std::tie(b.score, a.source, a.target) < std::tie(a.score, b.source, b.target);
    });

    std::vector<bool> sourceLinked(forms.size(), false), targetLinked(forms.size(), false);
    std::vector<WordPair> pairs;
    for (const Candidate& candidate : candidates) {
        if (sourceLinked[candidate.source] || targetLinked[candidate.target]) continue;
        sourceLinked[candidate.source] = targetLinked[candidate.target] = true;
        // A cognate wins its link like any pair but needs no new key.
        if (keys.surfaceKey(candidate.source) != keys.surfaceKey(candidate.target))
            pairs.emplace_back(candidate.source, candidate.target);
    }
    return pairs;
}

} // namespace solandre::align
