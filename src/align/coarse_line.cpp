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

} // namespace

std::optional<CoarseLine> coarseLine(const SideText& source, const SideText& target,
                                     DpTables& tables, const ProgressSpan& progress)
{
    CoarseLine result;
    result.block = std::max<std::uint32_t>(
        kMinBlock, static_cast<std::uint32_t>(
                       (std::max(source.size(), target.size()) + kMostBlocks - 1) / kMostBlocks));
    const SideText sourceBlocks = blocks(source, result.block);
    const SideText targetBlocks = blocks(target, result.block);
    const auto rows = static_cast<std::uint32_t>(sourceBlocks.size());
    const auto columns = static_cast<std::uint32_t>(targetBlocks.size());
    const SideEvidence sourceEvidence = noWords(rows), targetEvidence = noWords(columns);
    BeadModel model;
    model.logPrior = defaultPriors();
    model.sourceOffset = lengthOffsets(sourceBlocks);
    model.targetOffset = lengthOffsets(targetBlocks);
    model.sourceEvidence = &sourceEvidence;
    model.targetEvidence = &targetEvidence;
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
        const double share = 1.0 / kRatioFactors.size();
        std::optional<std::vector<Bead>> tried =
            alignAround(model, diagonal, std::vector<std::uint32_t>(rows + 1, kHalfWidth), columns,
                        tables, progress.part(k * share, (k + 1) * share));
        if (!tried) return std::nullopt;
        const double likelihood = tables.forward.back(); // of all paths, at the far corner
        if (likelihood > likeliest) {
            likeliest = likelihood;
            path = std::move(*tried);
            result.ratio = total * kRatioFactors[k];
        }
    }
    double sourceTotal = 0, targetTotal = 0;
    for (const Bead& bead : path)
        if (bead.sourceCount == 1 && bead.targetCount == 1) {
            sourceTotal += sourceBlocks.length[bead.sourceFirst];
            targetTotal += targetBlocks.length[bead.targetFirst];
        }
    if (sourceTotal > 0) result.ratio = lengthRatio(sourceTotal, targetTotal);

    // Block rows to sentence rows, straight across each block.
    const std::vector<double> center = pathRows(path, rows).center;
    result.line.resize(source.size() + 1);
    for (std::size_t r = 0; r <= source.size(); ++r) {
        const double at = double(r) / result.block;
        const auto below = std::min(static_cast<std::size_t>(at), std::size_t{rows} - 1);
        const double column = center[below] + (center[below + 1] - center[below]) * (at - below);
        result.line[r] = std::clamp(column * result.block, 0.0, double(target.size()));
    }
    result.line.back() = double(target.size());
    return result;
}

} // namespace solandre::align
