// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/alignment_dp.h"

#include "align/scoring_crew.h"
#include "align/side_by_side.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace solandre::align {

namespace {

constexpr double kNothing = -std::numeric_limits<double>::infinity();
constexpr float kNoScore = -std::numeric_limits<float>::infinity();
constexpr std::uint8_t kNoShape = 0xFF;
// Cells a block holds, about: its scores take 32 bytes a cell, and three
// blocks are held at once. A band's blocks are a small share of it, so that
// a short text's alignment does not pay for a long one's; but not so small
// that handing blocks between the threads would cost much.
constexpr std::size_t kMostBlockCells = std::size_t{1} << 14;
constexpr std::size_t kLeastBlockCells = std::size_t{1} << 11;
constexpr std::size_t kBlockShare = 128;
// Cells of a block whose forward sums are made again on a thread of their
// own while its backward sums are made: fewer are not worth a thread.
constexpr std::size_t kSideBySideCells = std::size_t{1} << 12;
// Cells a row a band may hold on average for the forward sweep to keep
// every cell's sum (8 bytes each): the later passes' bands hold about 13.
// Short texts' sweeps are short, and their memory goes mostly to what
// does not grow with the text: they do not keep the sums. Nor do sweeps
// given kept scores: the room goes to those, which cost far more to make
// again than the sums.
constexpr std::size_t kKeptForwardCells = 16;
constexpr std::size_t kLeastKeptForward = std::size_t{1} << 20;

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
    double power[kShapeCount];
    std::size_t k = 0;
#if defined(__SSE2__)
    // exponential(), two terms at a time with the very same arithmetic; the
    // terms skipped below may give anything.
    const __m128d highest = _mm_set1_pd(top), one = _mm_set1_pd(1.0), log2e = _mm_set1_pd(1.4426950408889634);
    for (; k + 2 <= count; k += 2) {
        const __m128d t = _mm_mul_pd(_mm_sub_pd(_mm_loadu_pd(terms + k), highest), log2e);
        const __m128d truncated = _mm_cvtepi32_pd(_mm_cvttpd_epi32(t));
        const __m128d whole = _mm_sub_pd(truncated, _mm_and_pd(_mm_cmpgt_pd(truncated, t), one));
        const __m128d f = _mm_sub_pd(t, whole);
        __m128d p = _mm_add_pd(_mm_set1_pd(0.00015403530393381608), _mm_mul_pd(f, _mm_set1_pd(1.525273380405984e-05)));
        p = _mm_add_pd(_mm_set1_pd(0.0013333558146428443), _mm_mul_pd(f, p));
        p = _mm_add_pd(_mm_set1_pd(0.009618129107628477), _mm_mul_pd(f, p));
        p = _mm_add_pd(_mm_set1_pd(0.05550410866482158), _mm_mul_pd(f, p));
        p = _mm_add_pd(_mm_set1_pd(0.2402265069591007), _mm_mul_pd(f, p));
        p = _mm_add_pd(_mm_set1_pd(0.6931471805599453), _mm_mul_pd(f, p));
        p = _mm_add_pd(one, _mm_mul_pd(f, p));
        const __m128i exponent = _mm_add_epi32(_mm_cvttpd_epi32(whole), _mm_set1_epi32(1023));
        const __m128i scale = _mm_slli_epi64(_mm_unpacklo_epi32(exponent, _mm_setzero_si128()), 52);
        _mm_storeu_pd(power + k, _mm_mul_pd(p, _mm_castsi128_pd(scale)));
    }
#endif
    for (; k < count; ++k)
        if (terms[k] > top - 40) power[k] = exponential(terms[k] - top);
    double sum = 0;
    for (k = 0; k < count; ++k)
        if (terms[k] > top - 40) sum += power[k];
    return top + std::log(sum);
}

// The first cell of a row; the band's size for the row past the last.
std::size_t rowStart(const Band& band, std::uint32_t row)
{
    return row <= band.lastRow() ? band.index(row, band.lo(row)) : band.cells();
}

// Rows of about a block's cells each, and never fewer than a bead spans
// but in the last block: the rows the beads of a block reach beyond it then
// lie in the next one.
void splitIntoBlocks(const Band& band, std::vector<std::uint32_t>& start)
{
    start.clear();
    const std::uint32_t rows = band.lastRow() + 1;
    const std::size_t blockCells = std::clamp(band.cells() / kBlockShare, kLeastBlockCells, kMostBlockCells);
    for (std::uint32_t first = 0; first < rows;) {
        start.push_back(first);
        std::uint32_t end = first + 1;
        while (end < rows &&
               (end - first < kMaxBeadSide || rowStart(band, end) - rowStart(band, first) < blockCells))
            ++end;
        first = end;
    }
    start.push_back(rows);
}

// The part of the band a sweep holds: rows [first, end), a value a cell.
struct Window {
    std::uint32_t first = 0, end = 0;
    std::size_t base = 0; // the first cell's index in the band
};

// Forward sums (and with `best`, the best paths and their last shapes) of
// the rows of one block, from those of the rows before it, held in `window`
// ahead of the block's.
// How far back, in cells of the band, each shape's bead ending in a cell of
// row i starts: the same for every cell of the row. Only the shapes whose
// beads may start in the band (a finite score) use theirs.
void stepsBack(const Band& band, std::uint32_t i, std::ptrdiff_t back[kShapeCount])
{
    const auto rowOrigin = [&](std::uint32_t row) {
        return static_cast<std::ptrdiff_t>(band.index(row, band.lo(row))) - std::ptrdiff_t{band.lo(row)};
    };
    for (std::size_t k = 0; k < kShapeCount; ++k)
        back[k] = kShapes[k].source > i ? 0
                                        : rowOrigin(i) - rowOrigin(i - kShapes[k].source) + kShapes[k].target;
}

template <bool kBest>
void sweepForward(const Band& band, DpTables& tables, std::uint32_t first, std::uint32_t end,
                  const float* blockScores, const Window& window)
{
    const std::size_t blockBase = rowStart(band, first);
    double* forward = tables.forward.data() - window.base;
    double* best = kBest ? tables.best.data() - window.base : nullptr;
    for (std::uint32_t i = first; i < end; ++i) {
        std::ptrdiff_t back[kShapeCount];
        stepsBack(band, i, back);
        const std::size_t rowFirst = rowStart(band, i);
        std::size_t at = rowFirst;
        if (i == 0 && band.lo(0) == 0) {
            forward[at] = 0;
            if constexpr (kBest) best[at] = 0;
            ++at;
        }
        for (const std::size_t rowEnd = rowStart(band, i + 1); at < rowEnd; ++at) {
            const float* score = blockScores + (at - blockBase) * kShapeCount;
            double top = kNothing;
            std::uint8_t arg = kNoShape;
            double terms[kShapeCount];
            std::size_t count = 0;
            for (std::size_t k = 0; k < kShapeCount; ++k) {
                if (score[k] == kNoScore) continue;
                const std::size_t from = at - back[k];
                if constexpr (kBest) {
                    const double path = best[from] + score[k];
                    const bool better = path > top;
                    top = better ? path : top;
                    arg = better ? static_cast<std::uint8_t>(k) : arg;
                }
                terms[count++] = forward[from] + score[k];
            }
            if constexpr (kBest) {
                best[at] = top;
                tables.shapeTo[at] = arg;
            }
            forward[at] = logSum(terms, count);
        }
    }
}

// Moves the window on to rows [first, end), keeping the values of the rows
// both hold (which lie at the old window's end).
void moveForwardWindow(const Band& band, std::vector<double>& values, Window& window, std::uint32_t first,
                       std::uint32_t end)
{
    const std::size_t base = rowStart(band, first);
    const std::size_t kept = window.end > first ? rowStart(band, window.end) - base : 0;
    if (kept > 0) std::copy(values.end() - static_cast<std::ptrdiff_t>(kept), values.end(), values.begin());
    values.resize(rowStart(band, end) - base);
    window = {first, end, base};
}

std::vector<Bead> traceBack(const Band& band, const DpTables& tables)
{
    std::vector<Bead> path;
    std::uint32_t i = band.lastRow(), j = band.lastColumn();
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

float* blockScores(const Band& band, DpTables& tables, std::size_t block)
{
    const std::uint32_t first = tables.blockStart[block], end = tables.blockStart[block + 1];
    std::vector<float>& scores = tables.scores[block % 3];
    const std::size_t size = (rowStart(band, end) - rowStart(band, first)) * kShapeCount;
    // Not twice what a block needs, as growing one by one would leave it.
    if (size > scores.capacity()) {
        scores = {};
        scores.reserve(size + size / 8);
    }
    scores.resize(size);
    return scores.data();
}

} // namespace

std::optional<std::vector<Bead>> bestPath(const Band& band, const BeadModel& model, DpTables& tables,
                                          const ProgressSpan& progress, std::uint32_t unchangedRows,
                                          KeptScores* kept)
{
    std::vector<std::uint32_t> oldStart;
    oldStart.swap(tables.blockStart);
    splitIntoBlocks(band, tables.blockStart);
    const std::size_t blocks = tables.blockStart.size() - 1;
    // The blocks ending in the unchanged rows, where they start as they did,
    // are as they were; the last three are swept again all the same, for
    // their scores.
    const bool keep = band.cells() >= kLeastKeptForward &&
                      band.cells() <= kKeptForwardCells * (std::size_t{band.lastRow()} + 1) && !kept;
    std::size_t resumed = 0;
    while (resumed + 3 < blocks && tables.blockStart[resumed + 1] <= unchangedRows &&
           (!keep || tables.keptForward) &&
           resumed + 2 < tables.checkpointStart.size() && resumed + 1 < oldStart.size() &&
           oldStart[resumed + 1] == tables.blockStart[resumed + 1])
        ++resumed;
    tables.shapeTo.resize(band.cells());
    std::fill(tables.shapeTo.begin() + static_cast<std::ptrdiff_t>(rowStart(band, tables.blockStart[resumed])),
              tables.shapeTo.end(), kNoShape);
    // The window holds the rows before the first block swept, as its
    // checkpoint kept them.
    Window window;
    tables.best.clear();
    tables.forward.clear();
    if (resumed > 0) {
        const std::uint32_t first = tables.blockStart[resumed];
        const std::uint32_t from = first >= kMaxBeadSide ? first - kMaxBeadSide : 0;
        window = {from, first, rowStart(band, from)};
        const auto begin = static_cast<std::ptrdiff_t>(tables.checkpointStart[resumed]);
        const auto end = static_cast<std::ptrdiff_t>(tables.checkpointStart[resumed + 1]);
        tables.forward.assign(tables.checkpoints.begin() + begin, tables.checkpoints.begin() + end);
        tables.best.assign(tables.bestCheckpoints.begin() + begin, tables.bestCheckpoints.begin() + end);
        tables.checkpointStart.resize(resumed + 1);
    } else {
        tables.checkpointStart.assign(1, 0);
    }
    tables.checkpoints.resize(tables.checkpointStart.back());
    tables.bestCheckpoints.resize(tables.checkpointStart.back());
    tables.keptForward = false;
    if (keep)
        tables.everyForward.resize(band.cells());
    else
        tables.everyForward = {};

    ScoringCrew crew(band, model, kept);
    crew.start(tables.blockStart[resumed], tables.blockStart[resumed + 1], blockScores(band, tables, resumed));
    crew.finish();
    for (std::size_t b = resumed; b < blocks; ++b) {
        const std::uint32_t first = tables.blockStart[b], end = tables.blockStart[b + 1];
        if (b + 1 < blocks)
            crew.start(end, tables.blockStart[b + 2], blockScores(band, tables, b + 1));
        // The rows a bead of this block may start in before it.
        const std::uint32_t from = first >= kMaxBeadSide ? first - kMaxBeadSide : 0;
        Window best = window;
        moveForwardWindow(band, tables.best, best, from, end);
        moveForwardWindow(band, tables.forward, window, from, end);
        const auto before = static_cast<std::ptrdiff_t>(rowStart(band, first) - window.base);
        tables.checkpoints.insert(tables.checkpoints.end(), tables.forward.begin(), tables.forward.begin() + before);
        tables.bestCheckpoints.insert(tables.bestCheckpoints.end(), tables.best.begin(), tables.best.begin() + before);
        tables.checkpointStart.push_back(tables.checkpoints.size());
        sweepForward<true>(band, tables, first, end, tables.scores[b % 3].data(), window);
        if (keep)
            std::copy(tables.forward.begin() + before, tables.forward.begin() +
                          static_cast<std::ptrdiff_t>(rowStart(band, end) - window.base),
                      tables.everyForward.begin() + static_cast<std::ptrdiff_t>(rowStart(band, first)));
        if (b + 1 < blocks) crew.finish();
        if (!progress.at(double(b + 1 - resumed) / double(blocks - resumed))) return std::nullopt;
    }
    tables.bestScore = tables.best.back();
    tables.total = tables.forward.back();
    tables.keptForward = keep;
    return traceBack(band, tables);
}

bool setConfidences(const Band& band, const BeadModel& model, DpTables& tables, std::vector<Bead>& path,
                    const ProgressSpan& progress, KeptScores* kept)
{
    const std::uint32_t rows = band.lastRow(), columns = band.lastColumn();
    const std::size_t blocks = tables.blockStart.size() - 1;
    std::size_t pending = path.size(); // beads [0, pending) have no confidence yet
    std::vector<double> carried;        // backward sums of the rows after a block
    Window backward;

    // The forward sweep left the scores of its last three blocks.
    auto held = [&](std::size_t block) { return block + 3 >= blocks; };
    ScoringCrew crew(band, model, kept);
    for (std::size_t b = blocks; b-- > 0;) {
        const std::uint32_t first = tables.blockStart[b], end = tables.blockStart[b + 1];
        const bool scoring = b > 0 && !held(b - 1);
        if (scoring) crew.start(tables.blockStart[b - 1], first, blockScores(band, tables, b - 1));
        const float* own = tables.scores[b % 3].data();
        const float* next = tables.scores[(b + 1) % 3].data();
        const std::size_t base = rowStart(band, first), nextBase = rowStart(band, end);
        auto score = [&](std::size_t cell, std::size_t shape) {
            return cell < nextBase ? own[(cell - base) * kShapeCount + shape]
                                   : next[(cell - nextBase) * kShapeCount + shape];
        };

        // The forward sums of the block again, from those of the rows before it.
        const std::uint32_t from = first >= kMaxBeadSide ? first - kMaxBeadSide : 0;
        Window forward{from, end, rowStart(band, from)};
        auto sweepAgain = [&] {
            tables.forward.assign(tables.checkpoints.begin() + static_cast<std::ptrdiff_t>(tables.checkpointStart[b]),
                                  tables.checkpoints.begin() + static_cast<std::ptrdiff_t>(tables.checkpointStart[b + 1]));
            tables.forward.resize(rowStart(band, end) - forward.base);
            sweepForward<false>(band, tables, first, end, own, forward);
        };

        // The backward sums of the block, from those of the rows after it.
        double* sums = nullptr;
        auto sumBackward = [&] {
            const std::uint32_t to = std::min(rows + 1, end + kMaxBeadSide);
            carried.assign(tables.backward.begin(),
                           tables.backward.begin() + static_cast<std::ptrdiff_t>(rowStart(band, to) - nextBase));
            tables.backward.resize(rowStart(band, to) - base);
            std::copy(carried.begin(), carried.end(), tables.backward.begin() + static_cast<std::ptrdiff_t>(nextBase - base));
            backward = {first, to, base};
            sums = tables.backward.data() - base;
            for (std::uint32_t i = end; i-- > first;) {
                // Where each shape's bead starting in a cell of the row ends: that
                // many cells on, for the columns [from, to] of the row, its score
                // in the block holding that row.
                std::ptrdiff_t ahead[kShapeCount];
                std::int64_t from[kShapeCount], to[kShapeCount];
                const float* ends[kShapeCount];
                const std::uint32_t lo = band.lo(i);
                const std::size_t rowFirst = rowStart(band, i);
                for (std::size_t k = 0; k < kShapeCount; ++k) {
                    const std::uint32_t a = kShapes[k].source, c = kShapes[k].target;
                    from[k] = 1;
                    to[k] = 0;
                    if (i + a > rows) continue;
                    const std::size_t endRow = rowStart(band, i + a);
                    from[k] = std::int64_t{band.lo(i + a)} - c;
                    to[k] = std::int64_t{band.hi(i + a)} - c;
                    ahead[k] = static_cast<std::ptrdiff_t>(endRow - rowFirst) - (from[k] - std::int64_t{lo});
                    ends[k] = (i + a < end ? own + (endRow - base) * kShapeCount : next + (endRow - nextBase) * kShapeCount) + k;
                }
                for (std::uint32_t j = band.hi(i) + 1; j-- > lo;) {
                    const std::size_t at = rowFirst + (j - lo);
                    if (i == rows && j == columns) {
                        sums[at] = 0;
                        continue;
                    }
                    double terms[kShapeCount];
                    std::size_t count = 0;
                    for (std::size_t k = 0; k < kShapeCount; ++k) {
                        if (j < from[k] || j > to[k]) continue;
                        terms[count++] = sums[at + ahead[k]] + ends[k][(j - from[k]) * kShapeCount];
                    }
                    sums[at] = logSum(terms, count);
                }
            }
        };

        // Neither reads what the other writes: a big block's two run side by
        // side, while the crew scores the block before.
        if (tables.keptForward) {
            sumBackward();
        } else if (nextBase - base >= kSideBySideCells) {
            sideBySide(sweepAgain, sumBackward);
        } else {
            sweepAgain();
            sumBackward();
        }

        // The beads that start in the block.
        const double* forwardSums =
            tables.keptForward ? tables.everyForward.data() : tables.forward.data() - forward.base;
        for (; pending > 0 && path[pending - 1].sourceFirst >= first; --pending) {
            Bead& bead = path[pending - 1];
            std::size_t shape = 0;
            while (kShapes[shape].source != bead.sourceCount || kShapes[shape].target != bead.targetCount)
                ++shape;
            const std::size_t endCell =
                band.index(bead.sourceFirst + bead.sourceCount, bead.targetFirst + bead.targetCount);
            const double logPosterior = forwardSums[band.index(bead.sourceFirst, bead.targetFirst)] +
                                        score(endCell, shape) + sums[endCell] - tables.total;
            bead.confidence = static_cast<float>(std::clamp(std::exp(logPosterior), 0.0, 1.0));
        }
        if (scoring) crew.finish();
        if (!progress.at(double(blocks - b) / double(blocks))) return false;
    }
    return true;
}

} // namespace solandre::align
