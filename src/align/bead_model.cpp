// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/bead_model.h"

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

BeadScorer::BeadScorer(const BeadModel& model, const Band& band)
    : model_(model), band_(band),
      matcher_(*model.sourceEvidence, *model.targetEvidence, model.keyCount)
{
}

void BeadScorer::scoreCell(std::uint32_t i, std::uint32_t j, float* scores)
{
    // The sentence pairs beads ending here may hold, by distance back from
    // the cell: source i - 1 - x with target j - 1 - y, fetched when first
    // needed.
    const PairMatch* near[kMaxBeadSide][kMaxBeadSide] = {};
    for (std::size_t k = 0; k < kShapeCount; ++k) {
        const std::uint32_t a = kShapes[k].source, b = kShapes[k].target;
        if (a > i || b > j || !band_.contains(i - a, j - b)) {
            scores[k] = -std::numeric_limits<float>::infinity();
            continue;
        }
        double score = model_.logPrior[k];
        if (a > 0 && b > 0) {
            const std::uint32_t s0 = i - a, t0 = j - b;
            score += model_.length.logScore(model_.sourceOffset[i] - model_.sourceOffset[s0],
                                            model_.targetOffset[j] - model_.targetOffset[t0]);
            score += beadEvidence(*model_.sourceEvidence, *model_.targetEvidence, s0, int(a), t0,
                                  int(b), [&](int x, int y) -> const PairMatch& {
                                      const PairMatch*& pair = near[a - 1 - x][b - 1 - y];
                                      if (!pair) pair = &match(s0 + x, t0 + y);
                                      return *pair;
                                  });
        }
        scores[k] = static_cast<float>(score);
    }
}

const PairMatch& BeadScorer::match(std::uint32_t s, std::uint32_t t)
{
    Row& row = rows_[s % rows_.size()];
    if (row.sentence != s || t < row.first || t >= row.end) {
        // Every bead holding source sentence s starts at a row in [s - 2, s]
        // and ends at one in [s + 1, s + 3]; its target sentences lie between
        // those rows' band edges.
        const std::uint32_t last = band_.lastRow();
        const std::uint32_t fromRow = s >= kMaxBeadSide - 1 ? s - (kMaxBeadSide - 1) : 0;
        const std::uint32_t toRow = std::min(last, s + kMaxBeadSide);
        row.first = std::min(band_.lo(fromRow), t);
        row.end = std::max(std::min(band_.hi(toRow), band_.lastColumn()), t + 1);
        row.sentence = s;
        row.matches.resize(row.end - row.first);
        matcher_.matchRow(s, row.first, row.end, row.matches.data());
    }
    return row.matches[t - row.first];
}

} // namespace solandre::align
