// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/coarse_line.h"

#include "align/alignment_pass.h"
#include "align/band.h"
#include "align/bead_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace solandre::align {

namespace {

// Blocks the band first reaches either side of the diagonal.
constexpr std::uint32_t kHalfWidth = 12;
// Whole blocks of translation rarely differ much in length: what makes a
// sentence's length stray evens out over a block.
constexpr double kUnrelatedBlocks = 1e-4;
// Ratios of lengths tried, against the ratio of the texts' totals: up to a
// quarter of either text may be missing from the other.
constexpr std::array<double, 5> kRatioFactors{1.0, 1 / 1.12, 1.12, 1 / 1.25, 1.25};

// Sentences per block: enough for lengths to even out, and for long texts
// enough that the blocks stay few.
constexpr std::uint32_t kMinBlock = 8;
constexpr std::size_t kMostBlocks = 2000;
// Each refinement divides the blocks' size by this much.
constexpr std::uint32_t kRefinement = 4;

// A text as blocks: each block's length, and no words.
SideText blocks(const SideText& text, std::uint32_t size)
{
    SideText result;
    for (std::size_t s = 0; s < text.size(); s += size) {
        std::uint32_t length = 0;
        for (std::size_t k = s; k < std::min(text.size(), s + size); ++k)
            length += text.length[k];
        result.length.push_back(length);
    }
    result.formBegin.assign(result.length.size() + 1, 0);
    return result;
}

SideEvidence noWords(std::size_t sentences)
{
    SideEvidence evidence;
    evidence.itemBegin.assign(sentences + 1, 0);
    evidence.missed.assign(sentences, 0.0f);
    return evidence;
}

// The block path as a column for each sentence row 0..sources, straight
// across each block.
std::vector<double> sentenceLine(const std::vector<Bead>& path, std::uint32_t rows,
                                 std::uint32_t block, std::size_t sources, std::size_t targets)
{
    const std::vector<double> center = pathRows(path, rows).center;
    std::vector<double> line(sources + 1);
    for (std::size_t r = 0; r <= sources; ++r) {
        const double at = double(r) / block;
        const auto below = std::min(static_cast<std::size_t>(at), std::size_t{rows} - 1);
        const double column = center[below] + (center[below + 1] - center[below]) * (at - below);
        line[r] = std::clamp(column * block, 0.0, double(targets));
    }
    line.back() = double(targets);
    return line;
}

// Both texts as blocks of `size` sentences, and a model of them by lengths
// alone.
struct BlockPair {
    BlockPair(const SideText& source, const SideText& target, std::uint32_t size)
        : sourceBlocks(blocks(source, size)), targetBlocks(blocks(target, size)),
          sourceEvidence(noWords(sourceBlocks.size())), targetEvidence(noWords(targetBlocks.size()))
    {
        model.logPrior = defaultPriors();
        model.sourceOffset = lengthOffsets(sourceBlocks);
        model.targetOffset = lengthOffsets(targetBlocks);
        model.sourceEvidence = &sourceEvidence;
        model.targetEvidence = &targetEvidence;
    }
    BlockPair(const BlockPair&) = delete; // the model points into it
    BlockPair& operator=(const BlockPair&) = delete;

    std::uint32_t rows() const { return static_cast<std::uint32_t>(sourceBlocks.size()); }
    std::uint32_t columns() const { return static_cast<std::uint32_t>(targetBlocks.size()); }

    SideText sourceBlocks, targetBlocks;
    SideEvidence sourceEvidence, targetEvidence;
    BeadModel model;
};

} // namespace

std::optional<CoarseLine> coarseLine(const SideText& source, const SideText& target,
                                     DpTables& tables, const ProgressSpan& progress)
{
    CoarseLine result;
    result.block = std::max<std::uint32_t>(
        kMinBlock, static_cast<std::uint32_t>(
                       (std::max(source.size(), target.size()) + kMostBlocks - 1) / kMostBlocks));
    // Long texts are refined in finer blocks after: most of the work goes to
    // the first look all the same.
    const double firstShare = result.block > kMinBlock ? 0.7 : 1.0;
    const BlockPair pair(source, target, result.block);
    const std::uint32_t rows = pair.rows(), columns = pair.columns();
    BeadModel model = pair.model;
    std::vector<double> diagonal(rows + 1);
    for (std::uint32_t r = 0; r <= rows; ++r)
        diagonal[r] = double(r) * columns / rows;

    // The texts' totals give the ratio of lengths unless a long passage is
    // missing from one of them. So the blocks are aligned for ratios around
    // it, and the likeliest alignment is kept; the blocks it pairs one to one
    // then give the ratio more closely.
    const double total = lengthRatio(model.sourceOffset.back(), model.targetOffset.back());
    std::vector<Bead> path;
    double likeliest = -std::numeric_limits<double>::infinity();
    for (std::size_t k = 0; k < kRatioFactors.size(); ++k) {
        model.length = typicalLengthModel(total * kRatioFactors[k], kUnrelatedBlocks);
        const double share = firstShare / kRatioFactors.size();
        std::optional<std::vector<Bead>> tried =
            alignAround(model, diagonal, std::vector<std::uint32_t>(rows + 1, kHalfWidth), columns,
                        tables, progress.part(k * share, (k + 1) * share));
        if (!tried) return std::nullopt;
        const double likelihood = tables.total; // of all paths
        if (likelihood > likeliest) {
            likeliest = likelihood;
            path = std::move(*tried);
            result.ratio = total * kRatioFactors[k];
        }
    }
    double sourceTotal = 0, targetTotal = 0;
    for (const Bead& bead : path)
        if (bead.sourceCount == 1 && bead.targetCount == 1) {
            sourceTotal += pair.sourceBlocks.length[bead.sourceFirst];
            targetTotal += pair.targetBlocks.length[bead.targetFirst];
        }
    if (sourceTotal > 0) result.ratio = lengthRatio(sourceTotal, targetTotal);
    result.line = sentenceLine(path, rows, result.block, source.size(), target.size());

    // Big blocks place the line only to a block or so, wider than the first
    // band reaches; finer blocks, aligned around it, place it closer.
    double done = firstShare;
    while (result.block > kMinBlock) {
        const std::uint32_t size = std::max(kMinBlock, result.block / kRefinement);
        const BlockPair finer(source, target, size);
        std::vector<double> center(finer.rows() + 1);
        for (std::uint32_t r = 0; r <= finer.rows(); ++r)
            center[r] = result.line[std::min<std::size_t>(std::size_t{r} * size, source.size())] / size;
        const std::uint32_t reach = kHalfWidth + 2 * ((result.block + size - 1) / size);
        BeadModel fine = finer.model;
        fine.length = typicalLengthModel(result.ratio, kUnrelatedBlocks);
        const double to = size == kMinBlock ? 1.0 : done + (1 - done) / 2;
        std::optional<std::vector<Bead>> refined =
            alignAround(fine, center, std::vector<std::uint32_t>(finer.rows() + 1, reach),
                        finer.columns(), tables, progress.part(done, to));
        if (!refined) return std::nullopt;
        done = to;
        result.line = sentenceLine(*refined, finer.rows(), size, source.size(), target.size());
        result.block = size;
    }
    return result;
}

} // namespace solandre::align
