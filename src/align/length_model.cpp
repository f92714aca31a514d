// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/length_model.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

void LengthModel::addLogScores(double sourceLength, const double* targetLength,
                               const double* targetOverRatio, std::size_t count, double* to,
                               std::size_t stride) const
{
    const double ratioTimesSource = ratio_ * sourceLength;
    const double top = double(kStepsPerUnit * kTableEnd);
    std::size_t k = 0;
#if defined(__SSE2__)
    // Halving is exact: a product by 0.5 is the quotient by 2.
    const __m128d source = _mm_set1_pd(sourceLength), scaled = _mm_set1_pd(ratioTimesSource),
                  variance = _mm_set1_pd(variance_), half = _mm_set1_pd(0.5),
                  steps = _mm_set1_pd(kStepsPerUnit), most = _mm_set1_pd(top), sign = _mm_set1_pd(-0.0);
    for (; k + 2 <= count; k += 2) {
        const __m128d target = _mm_loadu_pd(targetLength + k);
        const __m128d mean = _mm_mul_pd(_mm_add_pd(source, _mm_loadu_pd(targetOverRatio + k)), half);
        const __m128d difference = _mm_andnot_pd(sign, _mm_sub_pd(target, scaled));
        const __m128d z = _mm_div_pd(difference, _mm_sqrt_pd(_mm_mul_pd(variance, mean)));
        // min(x, top) as std::min gives it: top only when top < x.
        const __m128d x = _mm_mul_pd(z, steps);
        const __m128d at = _mm_or_pd(_mm_and_pd(_mm_cmplt_pd(most, x), most), _mm_andnot_pd(_mm_cmplt_pd(most, x), x));
        double both[2];
        _mm_storeu_pd(both, at);
        for (int lane = 0; lane < 2; ++lane) {
            const double t = targetLength[k + lane];
            to[(k + lane) * stride] += sourceLength <= 0 && t <= 0 ? 0.0 : fromStep(both[lane]);
        }
    }
#endif
    for (; k < count; ++k) to[k * stride] += logScore(sourceLength, targetLength[k]);
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
