// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/alignment_dp.h"

#include "align/side_by_side.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace solandre::align {

namespace {

constexpr double kNothing = -std::numeric_limits<double>::infinity();
constexpr std::uint8_t kNoShape = 0xFF;
constexpr std::uint32_t kRowsPerCheck = 64;

// e^x for x <= 0, to about 1e-7 relative: posteriors need no more, and the
// sweeps take several per cell.
double exponential(double x)
{
    if (x < -700) return 0.0;
    const double t = x * 1.4426950408889634; // e^x = 2^t
    auto whole = static_cast<std::int64_t>(t);
    if (double(whole) > t) --whole;
    const double f = t - double(whole); // in [0, 1)
    // 2^f by its Taylor series in f ln 2, to the 7th power (error below 2e-7).
    const double p =
        1 + f * (0.6931471805599453 +
                 f * (0.2402265069591007 +
                      f * (0.05550410866482158 +
                           f * (0.009618129107628477 +
                                f * (0.0013333558146428443 +
                                     f * (0.00015403530393381608 + f * 1.525273380405984e-05))))));
    return p * std::bit_cast<double>(static_cast<std::uint64_t>(whole + 1023) << 52);
}

// log(sum of exp(terms)) without overflow; terms below the largest by more
// than 40 add less than 1e-17 and are skipped.
double logSum(const double* terms, std::size_t count)
{
    double top = kNothing;
    for (std::size_t k = 0; k < count; ++k)
        top = std::max(top, terms[k]);
    if (top == kNothing) return kNothing;
    double sum = 0;
    for (std::size_t k = 0; k < count; ++k)
        if (terms[k] > top - 40) sum += exponential(terms[k] - top);
    return top + std::log(sum);
}

template <class T> void reset(std::vector<T>& table, std::size_t size, T value)
{
    table.assign(size, value); // keeps the capacity of an earlier band
}

} // namespace

bool scoreBand(const Band& band, const BeadModel& model, DpTables& tables, const Band* before,
               const ProgressSpan& progress)
{
    const std::uint32_t rows = band.lastRow();
    std::vector<float> earlier;
    if (before) earlier.swap(tables.scores);
    tables.scores.resize(band.cells() * kShapeCount); // every cell is written
    // Beads ending in row i start in rows i - 3 to i: if none of these
    // changed, neither did the scores.
    auto unchanged = [&](std::uint32_t i) {
        if (!before) return false;
        for (std::uint32_t r = i >= kMaxBeadSide ? i - kMaxBeadSide : 0; r <= i; ++r)
            if (before->lo(r) != band.lo(r) || before->hi(r) != band.hi(r)) return false;
        return true;
    };
    std::atomic<bool> stop = false;
    // Rows [first, end), each cell's beads ending there.
    auto scoreRows = [&](std::uint32_t first, std::uint32_t end, const ProgressSpan* report) {
        BeadScorer scorer(model, band);
        for (std::uint32_t i = first; i < end; ++i) {
            if ((i - first) % kRowsPerCheck == 0) {
                if (stop.load(std::memory_order_relaxed)) return;
                if (report && !report->at(double(i - first) / (end - first))) {
                    stop = true;
                    return;
                }
            }
            float* row = tables.scores.data() + band.index(i, band.lo(i)) * kShapeCount;
            if (unchanged(i)) {
                const float* from = earlier.data() + before->index(i, band.lo(i)) * kShapeCount;
                std::copy(from, from + (band.hi(i) - band.lo(i) + 1) * kShapeCount, row);
                continue;
            }
            for (std::uint32_t j = band.lo(i); j <= band.hi(i); ++j)
                scorer.scoreCell(i, j, row + (j - band.lo(i)) * kShapeCount);
        }
    };
    // The halves hold about as many cells each.
    std::uint32_t middle = 0;
    while (middle < rows && band.index(middle, band.lo(middle)) < band.cells() / 2)
        ++middle;
    sideBySide([&] { scoreRows(middle, rows + 1, nullptr); },
               [&] { scoreRows(0, middle, &progress); });
    return !stop;
}

std::vector<Bead> bestPath(const Band& band, DpTables& tables)
{
    const std::uint32_t rows = band.lastRow();
    reset(tables.best, band.cells(), kNothing);
    reset(tables.forward, band.cells(), kNothing);
    reset(tables.shapeTo, band.cells(), kNoShape);
    tables.best[0] = 0;
    tables.forward[0] = 0;

    for (std::uint32_t i = 0; i <= rows; ++i) {
        for (std::uint32_t j = band.lo(i); j <= band.hi(i); ++j) {
            if (i == 0 && j == 0) continue;
            const std::size_t at = band.index(i, j);
            const float* score = tables.scores.data() + at * kShapeCount;
            double top = kNothing;
            std::uint8_t arg = kNoShape;
            double terms[kShapeCount];
            std::size_t count = 0;
            for (std::size_t k = 0; k < kShapeCount; ++k) {
                if (score[k] == -std::numeric_limits<float>::infinity()) continue;
                const std::size_t from = band.index(i - kShapes[k].source, j - kShapes[k].target);
                if (tables.best[from] + score[k] > top) {
                    top = tables.best[from] + score[k];
                    arg = static_cast<std::uint8_t>(k);
                }
                terms[count++] = tables.forward[from] + score[k];
            }
            tables.best[at] = top;
            tables.shapeTo[at] = arg;
            tables.forward[at] = logSum(terms, count);
        }
    }

    std::vector<Bead> path;
    std::uint32_t i = rows, j = band.lastColumn();
    while (i > 0 || j > 0) {
        const std::uint8_t k = tables.shapeTo[band.index(i, j)];
        Bead bead;
        // Every cell of a band is reached with finite scores; should one not
        // be, a sentence left unpaired still keeps the path whole (and in the
        // band, which holds one of these two steps back from every cell).
        const bool up = i > 0 && band.contains(i - 1, j);
        bead.sourceCount = k != kNoShape ? kShapes[k].source : (up ? 1 : 0);
        bead.targetCount = k != kNoShape ? kShapes[k].target : (up ? 0 : 1);
        i -= bead.sourceCount;
        j -= bead.targetCount;
        bead.sourceFirst = i;
        bead.targetFirst = j;
        path.push_back(bead);
    }
    std::reverse(path.begin(), path.end());
    return path;
}

void sumPathsToEnd(const Band& band, DpTables& tables)
{
    const std::uint32_t rows = band.lastRow(), columns = band.lastColumn();
    reset(tables.backward, band.cells(), kNothing);
    tables.backward[band.index(rows, columns)] = 0;
    for (std::uint32_t i = rows + 1; i-- > 0;) {
        for (std::uint32_t j = band.hi(i) + 1; j-- > band.lo(i);) {
            if (i == rows && j == columns) continue;
            double terms[kShapeCount];
            std::size_t count = 0;
            for (std::size_t k = 0; k < kShapeCount; ++k) {
                const std::uint32_t a = kShapes[k].source, b = kShapes[k].target;
                if (i + a > rows || j + b > columns || !band.contains(i + a, j + b)) continue;
                const std::size_t to = band.index(i + a, j + b);
                terms[count++] = tables.backward[to] + tables.scores[to * kShapeCount + k];
            }
            tables.backward[band.index(i, j)] = logSum(terms, count);
        }
    }
}

void setConfidences(const Band& band, const DpTables& tables, std::vector<Bead>& path)
{
    const double total = tables.forward[band.index(band.lastRow(), band.lastColumn())];
    for (Bead& bead : path) {
        std::size_t shape = 0;
        while (kShapes[shape].source != bead.sourceCount ||
               kShapes[shape].target != bead.targetCount)
            ++shape;
        const std::size_t end =
            band.index(bead.sourceFirst + bead.sourceCount, bead.targetFirst + bead.targetCount);
        const double logPosterior = tables.forward[band.index(bead.sourceFirst, bead.targetFirst)] +
                                    tables.scores[end * kShapeCount + shape] +
                                    tables.backward[end] - total;
        bead.confidence = static_cast<float>(std::clamp(std::exp(logPosterior), 0.0, 1.0));
    }
}

} // namespace solandre::align
