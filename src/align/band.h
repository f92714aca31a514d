// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The part of the alignment grid the dynamic programme visits: for each row i
// (source sentences consumed) a range of columns (target sentences consumed).
// Ranges never move backwards, so every path from corner to corner that the
// bead shapes allow stays inside.

#include "align/bead.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace solandre::align {

class Band {
public:
    Band() = default;
    // Column ranges [lo, hi] of rows 0..n; they must already be monotone.
    Band(std::vector<std::uint32_t> lo, std::vector<std::uint32_t> hi);

    std::uint32_t lastRow() const { return static_cast<std::uint32_t>(lo_.size()) - 1; }
    std::uint32_t lastColumn() const { return hi_.back(); }
    std::uint32_t lo(std::uint32_t row) const { return lo_[row]; }
    std::uint32_t hi(std::uint32_t row) const { return hi_[row]; }
    bool contains(std::uint32_t row, std::uint32_t column) const
    {
        return column >= lo_[row] && column <= hi_[row];
    }
    std::size_t index(std::uint32_t row, std::uint32_t column) const
    {
        return offset_[row] + (column - lo_[row]);
    }
    std::size_t cells() const { return offset_.back(); }

private:
    std::vector<std::uint32_t> lo_, hi_;
    std::vector<std::size_t> offset_;
};

// A band of rows 0..n around `center` (a column per row), reaching
// halfWidth[i] to either side, widened where needed to be monotone and to hold
// both corners.
Band bandAround(const std::vector<double>& center, const std::vector<std::uint32_t>& halfWidth,
                std::uint32_t columns);

// Every cell of either band.
Band unite(const Band& a, const Band& b);

// Where a path runs through each row: the middle of the columns it visits
// there (rows inside a bead take the bead's diagonal) and half their span.
struct PathRows {
    std::vector<double> center, extent;
};
PathRows pathRows(const std::vector<Bead>& path, std::uint32_t rows);

// Rows where the path comes within `margin` of an edge of the band that is not
// an edge of the grid: there a better path may lie outside.
std::vector<std::uint32_t> rowsNearEdge(const Band& band, const std::vector<Bead>& path,
                                        std::uint32_t margin);

} // namespace solandre::align
