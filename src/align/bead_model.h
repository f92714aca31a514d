// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The score of one bead: how common its shape is, how well the lengths of its
// two sides agree, and what their shared words say. All three are logarithms
// of probabilities or of likelihood ratios, so a path's score is their sum.

#include "align/band.h"
#include "align/length_model.h"
#include "align/lexical_evidence.h"

#include <array>
#include <cstdint>
#include <vector>

namespace solandre::align {

struct Shape {
    std::uint8_t source, target;
};
inline constexpr std::array<Shape, 8> kShapes{
    {{1, 1}, {1, 0}, {0, 1}, {2, 1}, {1, 2}, {2, 2}, {1, 3}, {3, 1}}};
inline constexpr std::size_t kShapeCount = kShapes.size();

using ShapePriors = std::array<double, kShapeCount>; // log probabilities

ShapePriors defaultPriors();
// The shapes' shares on a path, drawn towards the defaults so that a short or
// odd first pass cannot rule a shape out.
ShapePriors estimatePriors(const std::vector<Bead>& path);

struct BeadModel {
    ShapePriors logPrior{};
    LengthModel length;
    const SideEvidence* sourceEvidence = nullptr;
    const SideEvidence* targetEvidence = nullptr;
    std::vector<double> sourceOffset, targetOffset; // characters before each sentence
    std::uint32_t keyCount = 0;
};

std::vector<double> lengthOffsets(const SideText& text);

// The lengths of every run of 1, 2 or 3 target sentences divided by the
// model's ratio, by the column where the run ends. The lengths themselves
// the scorers take from the offsets for the columns of each row: a sweep's
// memory is at its peak while they score.
struct TargetRuns {
    explicit TargetRuns(const BeadModel& model);
    const std::vector<double>& offset;
    std::vector<double> overRatio[kMaxBeadSide];
};

// An item's gains against 1, 2 and 3 sentences.
using ItemGains = std::array<float, kMaxBeadSide>;

// Scores beads inside one band, keeping the sentence-pair matches of the few
// source sentences a sweep of the grid needs at a time.
class BeadScorer {
public:
    BeadScorer(const BeadModel& model, const Band& band, const TargetRuns& runs);
    // The scores of the beads of each shape ending in the cells of row i,
    // kShapeCount a cell from the band's first column of the row (a cell
    // (i, j) is just before source sentence i and target sentence j);
    // -infinity for those that would start outside the band.
    void scoreRow(std::uint32_t i, float* scores);

private:
    // One source sentence against the target sentences [first, end): the
    // matches of each pair, and what the sentence's items say against the
    // 1, 2 or 3 target sentences ending before each column j, at j - first.
    struct Row {
        std::uint32_t sentence = UINT32_MAX;
        std::uint32_t first = 0, end = 0;
        std::vector<PairMatch> matches;
        std::vector<double> said[kMaxBeadSide];
    };
    const Row& row(std::uint32_t s);
    // Holds the item gains of the target sentences [first, end).
    void coverTargets(std::uint32_t first, std::uint32_t end);

    const BeadModel& model_;
    const Band& band_;
    const TargetRuns& runs_;
    Matcher matcher_;
    std::array<Row, kMaxBeadSide + 1> rows_;
    // Of the row being scored: sums of the shapes' priors and lengths, and what each target sentence's items say against
    // the last 1, 2 or 3 source sentences, from targetBase_ on.
    std::vector<double> partial_;
    std::vector<double> runLength_; // of the row's columns
    std::vector<double> targetSaid_[kMaxBeadSide];
    std::uint32_t targetBase_ = 0;
    // The gains of the items of the target sentences [targetGainFirst_,
    // targetGainEnd_), side by side: each is read for every row the
    // sentence's column crosses, and an item's kind lies anywhere.
    static constexpr std::uint32_t kTargetWindow = 512;
    std::vector<ItemGains> targetGain_;
    std::vector<std::uint32_t> targetGainBegin_; // per sentence of the window
    std::uint32_t targetGainFirst_ = 0, targetGainEnd_ = 0;
};

} // namespace solandre::align
