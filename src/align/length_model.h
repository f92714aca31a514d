// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sentence lengths in characters: a translation's length is roughly
// proportional to its original's, with a spread that grows with the length
// (Gale and Church). Scores are logarithms so that long texts never underflow.

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace solandre::align {

class LengthModel {
public:
    // `ratio`: target characters per source character; `variance`: of a
    // target length, per source character; `unrelatedShare`: share of beads
    // whose lengths bear no relation (free renderings, OCR debris), which
    // bounds the penalty so that length alone never vetoes a bead.
    LengthModel(double ratio = 1.0, double variance = 6.8, double unrelatedShare = 0.01);

    double ratio() const { return ratio_; }
    double variance() const { return variance_; }
    double unrelatedShare() const { return unrelatedShare_; }

    // log of the two-sided tail probability of the length difference (mixed
    // with the unrelated share); 0 when the lengths agree exactly.
    double logScore(double sourceLength, double targetLength) const
    {
        if (sourceLength <= 0 && targetLength <= 0) return 0.0;
        const double mean = (sourceLength + targetLength / ratio_) / 2;
        const double z =
            std::abs(targetLength - ratio_ * sourceLength) / std::sqrt(variance_ * mean);
        const double at = std::min(z * kStepsPerUnit, double(kStepsPerUnit * kTableEnd));
        const auto k = static_cast<std::size_t>(at);
        return table_[k] + (table_[k + 1] - table_[k]) * (at - double(k));
    }

private:
    // The score as a function of the standardized difference |z|, tabulated:
    // the aligner asks for it millions of times.
    static constexpr int kStepsPerUnit = 32;
    static constexpr int kTableEnd = 12;
    std::array<float, kStepsPerUnit * kTableEnd + 2> table_{};
    double ratio_, variance_, unrelatedShare_;
};

// The spread Gale and Church measured, for a given ratio.
LengthModel typicalLengthModel(double ratio, double unrelatedShare = 0.01);

// The ratio of two texts' lengths in characters.
double lengthRatio(double sourceCharacters, double targetCharacters);

// Ratio and spread measured on pairs of lengths believed to be translations of
// each other (the spread robustly, through the median); the typical model for
// `fallbackRatio` when the pairs are too few to say.
LengthModel fitLengthModel(const std::vector<std::pair<double, double>>& pairs,
                           double fallbackRatio);

} // namespace solandre::align
