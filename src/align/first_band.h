// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the first pass looks: along the line of anchors, or far from any
// anchor along the block path where the two part.

#include "align/anchors.h"
#include "align/band.h"
#include "align/coarse_line.h"

#include <cstdint>
#include <vector>

namespace solandre::align {

struct FirstBand {
    Band band;
    std::vector<std::uint32_t> halfWidth; // by which it widens
};

FirstBand firstBand(const std::vector<Anchor>& anchors, const CoarseLine& blocks,
                    std::uint32_t rows, std::uint32_t columns);

} // namespace solandre::align
