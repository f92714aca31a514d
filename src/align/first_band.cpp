// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/first_band.h"

#include <cmath>

namespace solandre::align {

namespace {

// Columns the band reaches either side of the anchors' line (plus the drift
// since the nearest anchor), or of the block path (plus a block).
constexpr std::uint32_t kHalfWidth = 10;

} // namespace

// Along the anchors' line; but far from any anchor, where the block path
// strays from that line by more than a block, along the block path.
FirstBand firstBand(const std::vector<Anchor>& anchors, const CoarseLine& blocks,
                    std::uint32_t rows, std::uint32_t columns)
{
    const std::vector<std::uint32_t> distance = rowsFromAnchors(anchors, rows);
    std::vector<double> center = anchorCenter(anchors, rows, columns);
    FirstBand first{Band(), anchorHalfWidth(distance, kHalfWidth)};
    for (std::uint32_t r = 0; r <= rows; ++r) {
        const bool unsupported = distance[r] > 2 * blocks.block;
        const bool strays =
            std::abs(blocks.line[r] - center[r]) > first.halfWidth[r] / 2 + blocks.block;
        if (unsupported && strays) {
            center[r] = blocks.line[r];
            first.halfWidth[r] = kHalfWidth + blocks.block;
        }
    }
    first.band = bandAround(center, first.halfWidth, columns);
    return first;
}

} // namespace solandre::align
