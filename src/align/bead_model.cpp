// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/bead_model.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace solandre::align {

namespace {

// Shares of the shapes in ordinary translations, after Gale and Church, with
// room for the longer shapes they did not consider.
constexpr std::array<double, kShapeCount> kDefaultShare{0.89, 0.005, 0.005, 0.04,
                                                        0.04, 0.01,  0.005, 0.005};
// Beads' worth of weight the defaults keep against a measured path.
constexpr double kPriorWeight = 20;

} // namespace

ShapePriors defaultPriors()
{
    ShapePriors priors;
    for (std::size_t k = 0; k < kShapeCount; ++k)
        priors[k] = std::log(kDefaultShare[k]);
    return priors;
}

ShapePriors estimatePriors(const std::vector<Bead>& path)
{
    std::array<double, kShapeCount> count{};
    for (std::size_t k = 0; k < kShapeCount; ++k)
        count[k] = kPriorWeight * kDefaultShare[k];
    double total = kPriorWeight;
    for (const Bead& bead : path)
        for (std::size_t k = 0; k < kShapeCount; ++k)
            if (kShapes[k].source == bead.sourceCount && kShapes[k].target == bead.targetCount) {
                count[k] += 1;
                total += 1;
            }
    ShapePriors priors;
    for (std::size_t k = 0; k < kShapeCount; ++k)
        priors[k] = std::log(count[k] / total);
    return priors;
}

std::vector<double> lengthOffsets(const SideText& text)
{
    std::vector<double> offset(text.size() + 1, 0.0);
    for (std::size_t s = 0; s < text.size(); ++s)
        offset[s + 1] = offset[s] + text.length[s];
    return offset;
}

TargetRuns::TargetRuns(const BeadModel& model)
{
    const std::vector<double>& offset = model.targetOffset;
    for (std::size_t b = 1; b <= kMaxBeadSide; ++b) {
        length[b - 1].assign(offset.size(), 0.0);
        overRatio[b - 1].assign(offset.size(), 0.0);
        for (std::size_t j = b; j < offset.size(); ++j) {
            length[b - 1][j] = offset[j] - offset[j - b];
            overRatio[b - 1][j] = length[b - 1][j] / model.length.ratio();
        }
    }
}

BeadScorer::BeadScorer(const BeadModel& model, const Band& band, const TargetRuns& runs)
    : model_(model), band_(band), runs_(runs),
      matcher_(*model.sourceEvidence, *model.targetEvidence, model.keyCount)
{
}

void BeadScorer::scoreRow(std::uint32_t i, float* scores)
{
    const std::uint32_t lo = band_.lo(i), hi = band_.hi(i);
    const std::size_t cells = std::size_t(hi - lo) + 1;
    partial_.resize(cells * kShapeCount);
    // Each shape's beads start inside the band for the columns [from, to).
    std::uint32_t from[kShapeCount], to[kShapeCount];
    for (std::size_t k = 0; k < kShapeCount; ++k) {
        const std::uint32_t a = kShapes[k].source, b = kShapes[k].target;
        from[k] = to[k] = lo;
        if (a > i) continue;
        from[k] = std::max({lo, b, band_.lo(i - a) + b});
        to[k] = std::max(from[k], std::min(hi, band_.hi(i - a) + b) + 1);
        for (std::uint32_t j = lo; j <= hi; ++j)
            partial_[(j - lo) * kShapeCount + k] = model_.logPrior[k];
    }
    // Lengths, a shape at a time along the row.
    for (std::size_t k = 0; k < kShapeCount; ++k) {
        const std::uint32_t a = kShapes[k].source, b = kShapes[k].target;
        if (a == 0 || b == 0 || from[k] == to[k]) continue;
        model_.length.addLogScores(model_.sourceOffset[i] - model_.sourceOffset[i - a],
                                   runs_.length[b - 1].data() + from[k], runs_.overRatio[b - 1].data() + from[k],
                                   to[k] - from[k], partial_.data() + (from[k] - lo) * kShapeCount + k,
                                   kShapeCount);
    }
    // Shared words, from what each sentence's items say against the
    // sentences beside it, as beadEvidence adds them up: the beads ending in
    // neighbouring cells share most of these.
    // In the order of the sentences: the matcher's window of target
    // sentences then only moves forward, also where a run of rows starts.
    const Row* source[kMaxBeadSide] = {}; // source sentence i - 1 - x
    for (std::uint32_t x = std::min<std::uint32_t>(kMaxBeadSide, i); x-- > 0;)
        source[x] = &row(i - 1 - x);
    targetBase_ = lo >= kMaxBeadSide ? lo - kMaxBeadSide : 0;
    for (std::uint32_t a = 1; a <= kMaxBeadSide && a <= i; ++a) {
        std::vector<double>& said = targetSaid_[a - 1];
        said.assign(hi - targetBase_, std::numeric_limits<double>::quiet_NaN());
        // Only where every pair is known; the beads' pairs always are.
        std::uint32_t first = targetBase_, end = hi;
        for (std::uint32_t x = 0; x < a; ++x) {
            first = std::max(first, source[x]->first);
            end = std::min(end, source[x]->end);
        }
        for (std::uint32_t t = first; t < end; ++t) {
            std::uint64_t found = 0;
            for (std::uint32_t x = 0; x < a; ++x)
                found |= source[x]->matches[t - source[x]->first].target;
            said[t - targetBase_] = sentenceEvidence(*model_.targetEvidence, t, found, int(a));
        }
    }
    for (std::uint32_t j = lo; j <= hi; ++j) {
        double* partial = partial_.data() + (j - lo) * kShapeCount;
        float* score = scores + (j - lo) * kShapeCount;
        for (std::size_t k = 0; k < kShapeCount; ++k) {
            if (j < from[k] || j >= to[k]) {
                score[k] = -std::numeric_limits<float>::infinity();
                continue;
            }
            const std::uint32_t a = kShapes[k].source, b = kShapes[k].target;
            if (a > 0 && b > 0) {
                double evidence = 0;
                for (std::uint32_t x = a; x-- > 0;)
                    evidence += source[x]->said[b - 1][j - source[x]->first];
                const double* said = targetSaid_[a - 1].data() + (j - b - targetBase_);
                for (std::uint32_t y = 0; y < b; ++y)
                    evidence += said[y];
                partial[k] += evidence / 2;
            }
            score[k] = static_cast<float>(partial[k]);
        }
    }
}

const BeadScorer::Row& BeadScorer::row(std::uint32_t s)
{
    Row& r = rows_[s % rows_.size()];
    if (r.sentence == s) return r;
    // Every bead holding source sentence s starts at a row in [s - 2, s]
    // and ends at one in [s + 1, s + 3]; its target sentences lie between
    // those rows' band edges.
    const std::uint32_t fromRow = s >= kMaxBeadSide - 1 ? s - (kMaxBeadSide - 1) : 0;
    const std::uint32_t toRow = std::min(band_.lastRow(), s + kMaxBeadSide);
    r.sentence = s;
    r.first = band_.lo(fromRow);
    r.end = std::max(r.first, band_.hi(toRow));
    r.matches.resize(r.end - r.first);
    matcher_.matchRow(s, r.first, r.end, r.matches.data());
    // Against the target sentences [j - b, j) for every j the pairs reach,
    // as sentenceEvidence adds up, from the sentence's items' gains fetched
    // once rather than at every match.
    const SideEvidence& evidence = *model_.sourceEvidence;
    const std::uint32_t* items = evidence.items.data() + evidence.itemBegin[s];
    const std::uint32_t itemCount = evidence.itemBegin[s + 1] - evidence.itemBegin[s];
    float gain[kMaxBeadSide][kMaxItems];
    for (std::uint32_t x = 0; x < itemCount; ++x)
        for (std::uint32_t b = 0; b < kMaxBeadSide; ++b)
            gain[b][x] = evidence.kinds[items[x]].gain[b];
    const std::size_t columns = r.end - r.first;
    for (std::uint32_t b = 1; b <= kMaxBeadSide; ++b) {
        std::vector<double>& said = r.said[b - 1];
        said.assign(columns + 1, std::numeric_limits<double>::quiet_NaN());
        for (std::size_t j = b; j <= columns; ++j) {
            std::uint64_t found = 0;
            for (std::size_t t = j - b; t < j; ++t)
                found |= r.matches[t].source;
            double score = evidence.missed[s];
            for (; found; found &= found - 1)
                score += gain[b - 1][std::countr_zero(found)];
            said[j] = score;
        }
    }
    return r;
}

} // namespace solandre::align
