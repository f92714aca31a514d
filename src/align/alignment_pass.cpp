// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/alignment_pass.h"

#include "align/alignment_dp.h"
#include "align/band.h"
#include "align/dictionary.h"
#include "align/side_by_side.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace solandre::align {

namespace {

// Most cells a band may widen to: so many a row (a byte each in the sweeps'
// tables), and for short texts no fewer than a fixed number.
constexpr std::size_t kMaxCellsPerRow = 128;
constexpr std::size_t kMinMaxCells = std::size_t{6} << 20;
// The path may come this close to the band's edge before the band widens
// there; it then grows this many times wider, for at most so many rounds.
constexpr std::uint32_t kEdgeMargin = 2;
constexpr std::uint32_t kWidening = 4;
constexpr int kMaxRounds = 6;
// Posterior a 1:1 bead needs for the dictionary and the spread of lengths to
// learn from it.
constexpr float kSure = 0.5f;
// A band keeps the bead scores of so many cells a row, on average, for the
// sweeps after its first: 32 bytes a cell, all of a later pass's narrow
// band but a few rows, in place of the 8 its sweeps would keep of each
// cell's forward sum; a part of the first pass's.
constexpr std::size_t kKeptCells = 10;

std::vector<Bead> sureOneToOne(const std::vector<Bead>& path)
{
    std::vector<Bead> sure;
    for (const Bead& bead : path)
        if (bead.sourceCount == 1 && bead.targetCount == 1 && bead.confidence >= kSure)
            sure.push_back(bead);
    return sure;
}

LengthModel fittedLengths(const BeadModel& model, const Texts& texts, const std::vector<Bead>& sure)
{
    std::vector<std::pair<double, double>> lengths;
    lengths.reserve(sure.size());
    for (const Bead& bead : sure)
        lengths.emplace_back(texts.source.length[bead.sourceFirst],
                             texts.target.length[bead.targetFirst]);
    return fitLengthModel(lengths,
                          lengthRatio(model.sourceOffset.back(), model.targetOffset.back()));
}

} // namespace

PassModel::PassModel(const Texts& texts, const std::vector<double>& line, double ratio)
    : keys_(texts.forms)
{
    model_.logPrior = defaultPriors();
    model_.sourceOffset = lengthOffsets(texts.source);
    model_.targetOffset = lengthOffsets(texts.target);
    model_.length = typicalLengthModel(ratio);
    countKeys(texts);
    buildEvidence(texts, [&](int side) {
        return tallyNearLine(texts.source, texts.target, side, keys_,
                             side == 0 ? targetFrequency_ : sourceFrequency_, line);
    });
}

PassModel::PassModel(const Texts& texts, const std::vector<Bead>& previous) : keys_(texts.forms)
{
    model_.logPrior = estimatePriors(previous);
    model_.sourceOffset = lengthOffsets(texts.source);
    model_.targetOffset = lengthOffsets(texts.target);
    {
        // Gone before the evidence is built.
        const std::vector<Bead> sure = sureOneToOne(previous);
        keys_.addPairs(learnDictionary(texts.source, texts.target, texts.forms, keys_, sure));
        model_.length = fittedLengths(model_, texts, sure);
    }
    countKeys(texts);
    buildEvidence(texts, [&](int side) {
        return tallyInBeads(texts.source, texts.target, side, keys_,
                            side == 0 ? targetFrequency_ : sourceFrequency_, previous);
    });
}

// Each side's work reads only what both share, and writes its own.
void PassModel::countKeys(const Texts& texts)
{
    sideBySide([&] { targetFrequency_ = keyFrequency(texts.target, keys_, 1); },
               [&] { sourceFrequency_ = keyFrequency(texts.source, keys_, 0); });
}

void PassModel::buildEvidence(const Texts& texts, const std::function<FormTally(int)>& tallyOf)
{
    const std::size_t sources = texts.source.size(), targets = texts.target.size();
    // Each tally is let go before the evidence is built: both are as long as
    // the table of forms.
    sideBySide(
        [&] {
            const std::vector<double> reliability = estimateReliability(
                tallyOf(1), texts.forms, texts.source, keys_, 1, targetFrequency_, sourceFrequency_);
            targetEvidence_ =
                align::buildEvidence(texts.target, 1, keys_, sourceFrequency_, sources, reliability);
        },
        [&] {
            const std::vector<double> reliability = estimateReliability(
                tallyOf(0), texts.forms, texts.target, keys_, 0, sourceFrequency_, targetFrequency_);
            sourceEvidence_ =
                align::buildEvidence(texts.source, 0, keys_, targetFrequency_, targets, reliability);
        });
    model_.sourceEvidence = &sourceEvidence_;
    model_.targetEvidence = &targetEvidence_;
    model_.keyCount = keys_.keyCount();
}

namespace {

// The band grown where the path ran along its edge: around that path, keeping
// all that was already covered.
Band widened(const Band& band, const std::vector<Bead>& path,
             const std::vector<std::uint32_t>& near, std::vector<std::uint32_t>& halfWidth)
{
    const PathRows rows = pathRows(path, band.lastRow());
    std::vector<std::uint32_t> wider = halfWidth;
    for (const std::uint32_t row : near) {
        const std::uint32_t reach = kWidening * halfWidth[row];
        const std::uint32_t from = row > reach ? row - reach : 0;
        const std::uint32_t to = std::min(band.lastRow(), row + reach);
        for (std::uint32_t r = from; r <= to; ++r)
            wider[r] = std::max(wider[r], reach);
    }
    for (std::uint32_t r = 0; r <= band.lastRow(); ++r)
        wider[r] = std::max(wider[r], static_cast<std::uint32_t>(std::ceil(rows.extent[r])) + 2);
    halfWidth = std::move(wider);
    return unite(band, bandAround(rows.center, halfWidth, band.lastColumn()));
}

// The first row whose columns differ between two bands of as many rows.
std::uint32_t firstChangedRow(const Band& a, const Band& b)
{
    std::uint32_t row = 0;
    while (row <= a.lastRow() && a.lo(row) == b.lo(row) && a.hi(row) == b.hi(row))
        ++row;
    return row;
}

// The best path in `band`, widened where it presses against the edge; its
// beads given their confidences only when `confidences` is set.
std::optional<std::vector<Bead>> searchBand(const BeadModel& model, Band band, std::vector<std::uint32_t> halfWidth,
                                            DpTables& tables, const ProgressSpan& progress, bool confidences)
{
    double done = 0;
    double bestScore = -std::numeric_limits<double>::infinity();
    std::uint32_t unchangedRows = 0; // of the band the tables hold a sweep of
    KeptScores kept(kKeptCells * (std::size_t{band.lastRow()} + 1));
    for (int round = 1;; ++round) {
        // The first round is most of the work; any further one takes half of
        // what is left.
        const double share = round == 1 ? 0.8 : (1 - done) / 2;
        std::optional<std::vector<Bead>> path =
            bestPath(band, model, tables, progress.part(done, done + share * 0.6), unchangedRows, &kept);
        if (!path) return std::nullopt;

        // Widening pays only while it finds better paths: texts that say
        // nothing (all sentences alike, say) would have the path press
        // against any band.
        const double score = tables.bestScore;
        const bool better = round == 1 || score > bestScore + 1e-6;
        bestScore = std::max(bestScore, score);
        const std::vector<std::uint32_t> near = rowsNearEdge(band, *path, kEdgeMargin);
        if (!near.empty() && better && round < kMaxRounds) {
            Band wider = widened(band, *path, near, halfWidth);
            if (wider.cells() <= std::max(kMinMaxCells, kMaxCellsPerRow * band.lastRow())) {
                done += share;
                unchangedRows = firstChangedRow(band, wider);
                band = std::move(wider);
                continue;
            }
        }
        if (confidences &&
            !setConfidences(band, model, tables, *path, progress.part(done + share * 0.6, 1.0), &kept))
            return std::nullopt;
        return path;
    }
}

} // namespace

std::optional<std::vector<Bead>> alignInBand(const BeadModel& model, Band band,
                                             std::vector<std::uint32_t> halfWidth, DpTables& tables,
                                             const ProgressSpan& progress)
{
    return searchBand(model, std::move(band), std::move(halfWidth), tables, progress, true);
}

Band bandAlong(const std::vector<Bead>& path, std::uint32_t rows, std::uint32_t columns, std::uint32_t margin,
               std::vector<std::uint32_t>& halfWidth)
{
    const PathRows before = pathRows(path, rows);
    halfWidth.resize(rows + 1);
    for (std::uint32_t r = 0; r <= rows; ++r)
        halfWidth[r] = static_cast<std::uint32_t>(std::ceil(before.extent[r])) + margin;
    return bandAround(before.center, halfWidth, columns);
}

std::optional<std::vector<Bead>> alignAround(const BeadModel& model,
                                             const std::vector<double>& center,
                                             const std::vector<std::uint32_t>& halfWidth,
                                             std::uint32_t columns, DpTables& tables,
                                             const ProgressSpan& progress)
{
    return searchBand(model, bandAround(center, halfWidth, columns), halfWidth, tables, progress, false);
}

} // namespace solandre::align
