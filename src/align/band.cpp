// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/band.h"

#include <algorithm>
#include <cmath>

namespace solandre::align {

Band::Band(std::vector<std::uint32_t> lo, std::vector<std::uint32_t> hi)
    : lo_(std::move(lo)), hi_(std::move(hi))
{
    offset_.resize(lo_.size() + 1);
    offset_[0] = 0;
    for (std::size_t row = 0; row < lo_.size(); ++row)
        offset_[row + 1] = offset_[row] + (hi_[row] - lo_[row] + 1);
}

Band bandAround(const std::vector<double>& center, const std::vector<std::uint32_t>& halfWidth,
                std::uint32_t columns)
{
    const std::size_t rows = center.size();
    std::vector<std::uint32_t> lo(rows), hi(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        const double c = std::clamp(center[row], 0.0, double(columns));
        lo[row] = static_cast<std::uint32_t>(std::max(0.0, std::floor(c - halfWidth[row])));
        hi[row] =
            static_cast<std::uint32_t>(std::min(double(columns), std::ceil(c + halfWidth[row])));
    }
    lo.front() = 0;
    hi.back() = columns;
    // Monotone: lo never rises above a later row's lo, hi never below an
    // earlier row's hi. Consecutive rows then overlap or touch, which the
    // 0:1 and 1:0 beads need to cross them.
    for (std::size_t row = rows - 1; row-- > 0;)
        lo[row] = std::min(lo[row], lo[row + 1]);
    for (std::size_t row = 1; row < rows; ++row)
        hi[row] = std::max(hi[row], hi[row - 1]);
    for (std::size_t row = 1; row < rows; ++row)
        lo[row] = std::min(lo[row], hi[row - 1]);
    return Band(std::move(lo), std::move(hi));
}

Band unite(const Band& a, const Band& b)
{
    std::vector<std::uint32_t> lo(a.lastRow() + 1), hi(a.lastRow() + 1);
    for (std::uint32_t row = 0; row <= a.lastRow(); ++row) {
        lo[row] = std::min(a.lo(row), b.lo(row));
        hi[row] = std::max(a.hi(row), b.hi(row));
    }
    return Band(std::move(lo), std::move(hi));
}

PathRows pathRows(const std::vector<Bead>& path, std::uint32_t rows)
{
    std::vector<double> first(rows + 1, -1.0), last(rows + 1, 0.0);
    auto visit = [&](std::uint32_t row, double column) {
        if (first[row] < 0) first[row] = column;
        last[row] = column;
    };
    for (const Bead& bead : path) {
        const std::uint32_t n = bead.sourceCount;
        for (std::uint32_t k = 0; k <= n; ++k)
            visit(bead.sourceFirst + k, bead.targetFirst + (n ? double(bead.targetCount) * k / n
                                                              : double(bead.targetCount)));
        if (n == 0) visit(bead.sourceFirst, bead.targetFirst);
    }
    PathRows result;
    result.center.resize(rows + 1);
    result.extent.resize(rows + 1);
    for (std::uint32_t row = 0; row <= rows; ++row) {
        result.center[row] = (first[row] + last[row]) / 2;
        result.extent[row] = (last[row] - first[row]) / 2;
    }
    return result;
}

std::vector<std::uint32_t> rowsNearEdge(const Band& band, const std::vector<Bead>& path,
                                        std::uint32_t margin)
{
    std::vector<std::uint32_t> rows;
    auto check = [&](std::uint32_t row, std::uint32_t column) {
        const bool low = band.lo(row) > 0 && column < band.lo(row) + margin;
        const bool high = band.hi(row) < band.lastColumn() && column + margin > band.hi(row);
        if ((low || high) && (rows.empty() || rows.back() != row)) rows.push_back(row);
    };
    for (const Bead& bead : path) {
        // The grid points the path passes: where each bead starts and ends.
        check(bead.sourceFirst, bead.targetFirst);
        check(bead.sourceFirst + bead.sourceCount, bead.targetFirst + bead.targetCount);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace solandre::align
