// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/length_model.h"

#include <algorithm>
#include <cmath>

namespace solandre::align {

LengthModel::LengthModel(double ratio, double variance, double unrelatedShare)
    : ratio_(ratio), variance_(variance), unrelatedShare_(unrelatedShare)
{
    for (std::size_t k = 0; k < table_.size(); ++k) {
        const double z = double(k) / kStepsPerUnit;
        const double tail = std::erfc(z / std::sqrt(2.0));
        table_[k] = static_cast<float>(std::log((1 - unrelatedShare) * tail + unrelatedShare));
    }
}

namespace {

// Gale and Church's spread for texts of about equal length. Scaled by
// ratio^1.5 it gives the same scores whichever text is the source.
constexpr double kTypicalVariance = 6.8;

double typicalVariance(double ratio)
{
    return kTypicalVariance * std::pow(ratio, 1.5);
}

} // namespace

LengthModel typicalLengthModel(double ratio, double unrelatedShare)
{
    return LengthModel(ratio, typicalVariance(ratio), unrelatedShare);
}

double lengthRatio(double sourceCharacters, double targetCharacters)
{
    if (sourceCharacters <= 0 || targetCharacters <= 0) return 1.0;
    return std::clamp(targetCharacters / sourceCharacters, 0.05, 20.0);
}

LengthModel fitLengthModel(const std::vector<std::pair<double, double>>& pairs,
                           double fallbackRatio)
{
    // Too few pairs say more about chance than about the texts.
    constexpr std::size_t kEnough = 20;
    if (pairs.size() < kEnough) return typicalLengthModel(fallbackRatio);
    double sourceTotal = 0, targetTotal = 0;
    for (const auto& [source, target] : pairs) {
        sourceTotal += source;
        targetTotal += target;
    }
    const double ratio = lengthRatio(sourceTotal, targetTotal);
    std::vector<double> squared;
    squared.reserve(pairs.size());
    for (const auto& [source, target] : pairs) {
        const double mean = (source + target / ratio) / 2;
        if (mean <= 0) continue;
        const double difference = target - ratio * source;
        squared.push_back(difference * difference / mean);
    }
    if (squared.size() < kEnough) return typicalLengthModel(ratio);
    const auto middle = squared.begin() + static_cast<std::ptrdiff_t>(squared.size() / 2);
    std::nth_element(squared.begin(), middle, squared.end());
    // The median of a squared standard normal is 0.455.
    const double typical = typicalVariance(ratio);
    return LengthModel(ratio, std::clamp(*middle / 0.455, typical / 8, typical * 8));
}

} // namespace solandre::align
