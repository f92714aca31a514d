// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A coarse first look at the texts: sentence pairs sharing a rare name or
// number, kept when they form the longest chain in order. The band of the
// first pass follows them, so that long passages missing from one text do not
// throw it off.

#include "align/text_features.h"

#include <cstdint>
#include <vector>

namespace solandre::align {

struct Anchor {
    std::uint32_t source = 0, target = 0; // sentence indices
};

std::vector<Anchor> findAnchors(const SideText& source, const SideText& target,
                                const FormTable& forms);

// The column expected at each row 0..n: through the anchors' centres, straight
// between them and to the corners.
std::vector<double> anchorCenter(const std::vector<Anchor>& anchors, std::uint32_t rows,
                                 std::uint32_t columns);

// Rows from each row 0..n to the nearest anchor (the corners count as ones).
std::vector<std::uint32_t> rowsFromAnchors(const std::vector<Anchor>& anchors, std::uint32_t rows);

// How far the band reaches either side of the centre at each row: `base`,
// plus the drift a random walk of merges, splits and drops could make since
// the nearest anchor (its square root), up to a bound.
std::vector<std::uint32_t> anchorHalfWidth(const std::vector<std::uint32_t>& rowsFromAnchor,
                                           std::uint32_t base);

} // namespace solandre::align
