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

// Scores beads inside one band, keeping the sentence-pair matches of the few
// source sentences a sweep of the grid needs at a time.
class BeadScorer {
public:
    BeadScorer(const BeadModel& model, const Band& band);
    // The scores of the beads of each shape ending at row i, column j (that
    // is, just before source sentence i and target sentence j); -infinity for
    // those that would start outside the band.
    void scoreCell(std::uint32_t i, std::uint32_t j, float* scores);

private:
    struct Row {
        std::uint32_t sentence = UINT32_MAX;
        std::uint32_t first = 0, end = 0;
        std::vector<PairMatch> matches;
    };
    const PairMatch& match(std::uint32_t s, std::uint32_t t);

    const BeadModel& model_;
    const Band& band_;
    Matcher matcher_;
    std::array<Row, kMaxBeadSide + 1> rows_;
};

} // namespace solandre::align
