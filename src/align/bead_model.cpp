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

TargetRuns::TargetRuns(const BeadModel& model) : offset(model.targetOffset)
{
    for (std::size_t b = 1; b <= kMaxBeadSide; ++b) {
        overRatio[b - 1].assign(offset.size(), 0.0);
        for (std::size_t j = b; j < offset.size(); ++j)
            overRatio[b - 1][j] = (offset[j] - offset[j - b]) / model.length.ratio();
    }
}

BeadScorer::BeadScorer(const BeadModel& model, const Band& band, const TargetRuns& runs)
    : model_(model), band_(band), runs_(runs),
      matcher_(*model.sourceEvidence, *model.targetEvidence, model.keyCount)
{
}

namespace {

// What one sentence's items say against 1, 2 and 3 sentences of the other
// text, where found[0], found[1] and found[2] (each holding the one before)
// are the items that matched there: the three sums of sentenceEvidence at
// once, each adding its gains in the order of the items. An item a sum
// leaves out adds +0.0, which no such sum (never -0.0) changes.
inline void nestedEvidence(double missed, const ItemGains* gain, std::uint64_t found1,
                           std::uint64_t found2, std::uint64_t found3, double said[kMaxBeadSide])
{
    double one = missed, two = missed, three = missed;
    for (std::uint64_t bits = found3; bits; bits &= bits - 1) {
        const int x = std::countr_zero(bits);
        const ItemGains& g = gain[x];
        three += g[2];
        two += (found2 >> x & 1) ? double(g[1]) : 0.0;
        one += (found1 >> x & 1) ? double(g[0]) : 0.0;
    }
    said[0] = one;
    said[1] = two;
    said[2] = three;
}

// The beads of a source sentences and b target sentences ending in the
// columns [from, to) of a row: their evidence, as beadEvidence adds it up,
// over the prior and length in `partial`.
template <std::uint32_t a, std::uint32_t b>
void shapeScores(const double* const* sourceSaid, const double* targetSaid, const double* partial,
                 std::uint32_t from, std::uint32_t to, std::uint32_t lo, float* scores)
{
    for (std::uint32_t j = from; j < to; ++j) {
        double evidence = 0;
        for (std::uint32_t x = a; x-- > 0;)
            evidence += sourceSaid[x][j];
        for (std::uint32_t y = 0; y < b; ++y)
            evidence += targetSaid[j - b + y];
        scores[(j - lo) * kShapeCount] = static_cast<float>(partial[(j - lo) * kShapeCount] + evidence / 2);
    }
}

} // namespace

void BeadScorer::scoreRow(std::uint32_t i, float* scores)
{
    const std::uint32_t lo = band_.lo(i), hi = band_.hi(i);
    const std::size_t cells = std::size_t(hi - lo) + 1;
    partial_.resize(cells * kShapeCount);
    for (std::size_t c = 0; c < cells; ++c)
        std::copy(model_.logPrior.begin(), model_.logPrior.end(), partial_.begin() + c * kShapeCount);
    std::fill(scores, scores + cells * kShapeCount, -std::numeric_limits<float>::infinity());
    // Each shape's beads start inside the band for the columns [from, to).
    std::uint32_t from[kShapeCount], to[kShapeCount];
    for (std::size_t k = 0; k < kShapeCount; ++k) {
        const std::uint32_t a = kShapes[k].source, b = kShapes[k].target;
        from[k] = to[k] = lo;
        if (a > i) continue;
        from[k] = std::max({lo, b, band_.lo(i - a) + b});
        to[k] = std::max(from[k], std::min(hi, band_.hi(i - a) + b) + 1);
    }
    // Lengths, a shape at a time along the row.
    for (std::size_t k = 0; k < kShapeCount; ++k) {
        const std::uint32_t a = kShapes[k].source, b = kShapes[k].target;
        if (a == 0 || b == 0 || from[k] == to[k]) continue;
        const std::size_t count = to[k] - from[k];
        runLength_.resize(count);
        for (std::size_t c = 0; c < count; ++c)
            runLength_[c] = runs_.offset[from[k] + c] - runs_.offset[from[k] + c - b];
        model_.length.addLogScores(model_.sourceOffset[i] - model_.sourceOffset[i - a], runLength_.data(),
                                   runs_.overRatio[b - 1].data() + from[k], count,
                                   partial_.data() + (from[k] - lo) * kShapeCount + k, kShapeCount);
    }
    // Shared words, from what each sentence's items say against the
    // sentences beside it, as beadEvidence adds them up: the beads ending in
    // neighbouring cells share most of these.
    // In the order of the sentences: the matcher's window of target
    // sentences then only moves forward, also where a run of rows starts.
    const Row* source[kMaxBeadSide] = {}; // source sentence i - 1 - x
    const std::uint32_t sources = std::min<std::uint32_t>(kMaxBeadSide, i);
    for (std::uint32_t x = sources; x-- > 0;)
        source[x] = &row(i - 1 - x);
    targetBase_ = lo >= kMaxBeadSide ? lo - kMaxBeadSide : 0;
    // What each target sentence says against the last 1, 2 and 3 source
    // sentences, only where every pair is known (the beads' pairs always
    // are): the ranges narrow as the sentences grow more.
    std::uint32_t first[kMaxBeadSide], end[kMaxBeadSide];
    for (std::uint32_t a = 1; a <= sources; ++a) {
        targetSaid_[a - 1].assign(hi - targetBase_, std::numeric_limits<double>::quiet_NaN());
        first[a - 1] = std::max(a > 1 ? first[a - 2] : targetBase_, source[a - 1]->first);
        end[a - 1] = std::max(first[a - 1], std::min(a > 1 ? end[a - 2] : hi, source[a - 1]->end));
    }
    if (sources > 0) {
        coverTargets(first[0], end[0]);
        const SideEvidence& evidence = *model_.targetEvidence;
        for (std::uint32_t t = first[0]; t < end[0]; ++t) {
            std::uint64_t found[kMaxBeadSide];
            for (std::uint32_t x = 0; x < kMaxBeadSide; ++x) {
                const bool known = x < sources && t >= first[x] && t < end[x];
                const std::uint64_t own = known ? source[x]->matches[t - source[x]->first].target : 0;
                found[x] = (x > 0 ? found[x - 1] : 0) | own;
            }
            double said[kMaxBeadSide];
            nestedEvidence(evidence.missed[t], targetGain_.data() + targetGainBegin_[t - targetGainFirst_],
                           found[0], found[1], found[2], said);
            for (std::uint32_t x = 0; x < sources && t >= first[x] && t < end[x]; ++x)
                targetSaid_[x][t - targetBase_] = said[x];
        }
    }
    const double* sourceSaid[kMaxBeadSide][kMaxBeadSide]; // [b - 1][x], by column
    for (std::uint32_t x = 0; x < sources; ++x)
        for (std::uint32_t b = 0; b < kMaxBeadSide; ++b)
            sourceSaid[b][x] = source[x]->said[b].data() - source[x]->first;
    auto targetSaid = [&](std::uint32_t a) { return targetSaid_[a - 1].data() - targetBase_; };
    float* out = scores;
    const double* partial = partial_.data();
    for (std::size_t k = 0; k < kShapeCount; ++k) {
        const std::uint32_t a = kShapes[k].source, b = kShapes[k].target;
        if (from[k] == to[k]) continue;
        if (a == 0 || b == 0) {
            for (std::uint32_t j = from[k]; j < to[k]; ++j)
                out[(j - lo) * kShapeCount + k] = static_cast<float>(partial[(j - lo) * kShapeCount + k]);
            continue;
        }
        const auto shape = [&](auto scoresOf) {
            scoresOf(sourceSaid[b - 1], targetSaid(a), partial + k, from[k], to[k], lo, out + k);
        };
        switch (a * 4 + b) {
        case 1 * 4 + 1: shape(shapeScores<1, 1>); break;
        case 2 * 4 + 1: shape(shapeScores<2, 1>); break;
        case 1 * 4 + 2: shape(shapeScores<1, 2>); break;
        case 2 * 4 + 2: shape(shapeScores<2, 2>); break;
        case 1 * 4 + 3: shape(shapeScores<1, 3>); break;
        case 3 * 4 + 1: shape(shapeScores<3, 1>); break;
        default: break;
        }
    }
}

void BeadScorer::coverTargets(std::uint32_t first, std::uint32_t end)
{
    if (first >= targetGainFirst_ && end <= targetGainEnd_ && !targetGainBegin_.empty()) return;
    const SideEvidence& evidence = *model_.targetEvidence;
    targetGainFirst_ = first;
    targetGainEnd_ = windowEnd(first, end, static_cast<std::uint32_t>(evidence.itemBegin.size() - 1), kTargetWindow);
    targetGain_.clear();
    targetGainBegin_.clear();
    for (std::uint32_t t = targetGainFirst_; t < targetGainEnd_; ++t) {
        targetGainBegin_.push_back(static_cast<std::uint32_t>(targetGain_.size()));
        for (std::uint32_t y = evidence.itemBegin[t]; y < evidence.itemBegin[t + 1]; ++y) {
            const ItemKind& kind = evidence.kinds[evidence.items[y]];
            targetGain_.push_back({kind.gain[0], kind.gain[1], kind.gain[2]});
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
    ItemGains gain[kMaxItems];
    for (std::uint32_t x = 0; x < itemCount; ++x)
        for (std::uint32_t b = 0; b < kMaxBeadSide; ++b)
            gain[x][b] = evidence.kinds[items[x]].gain[b];
    const std::size_t columns = r.end - r.first;
    for (std::uint32_t b = 0; b < kMaxBeadSide; ++b)
        r.said[b].assign(columns + 1, std::numeric_limits<double>::quiet_NaN());
    for (std::size_t j = 1; j <= columns; ++j) {
        const std::uint64_t one = r.matches[j - 1].source;
        const std::uint64_t two = j >= 2 ? one | r.matches[j - 2].source : one;
        const std::uint64_t three = j >= 3 ? two | r.matches[j - 3].source : two;
        double said[kMaxBeadSide];
        nestedEvidence(evidence.missed[s], gain, one, two, three, said);
        for (std::uint32_t b = 0; b < kMaxBeadSide && b < j; ++b)
            r.said[b][j] = said[b];
    }
    return r;
}

} // namespace solandre::align
