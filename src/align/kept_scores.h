// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bead scores a pass has made, kept for its later sweeps: within a pass the
// model is fixed, and a row's scores depend only on the row and on where the
// band lets its beads start, so a row whose band columns are as they were
// (its own and the three rows before) need not be scored again. Making a
// row's scores costs far more than copying them.

#include "align/band.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace solandre::align {

class KeptScores {
public:
    // At most `mostCells` cells' scores, kShapeCount floats each.
    explicit KeptScores(std::size_t mostCells) : mostCells_(mostCells) {}

    // The scores of row i of `band`, kShapeCount a cell from its first
    // column, when kept from a band alike there; nullptr otherwise.
    const float* find(const Band& band, std::uint32_t i) const;
    // Keeps the scores of row i of `band` just made, when there is room.
    // Rows are offered by the sweeps' two threads, never the same row by both.
    void keep(const Band& band, std::uint32_t i, const float* scores);
    // The band a sweep is about to score, on the sweeping thread before its
    // keep() calls. The first band offered is the one kept: its last rows,
    // as many as the room holds, which every sweep taken up later sweeps
    // again; unless most of those rows change, when the new band is kept.
    void offer(const Band& band);

private:
    bool alike(const Band& band, std::uint32_t i) const;
    std::size_t at(std::uint32_t i) const;

    std::size_t mostCells_;
    bool chosen_ = false;
    Band band_;                      // whose rows [first_, last] are kept
    std::uint32_t first_ = 0;
    std::vector<std::uint8_t> held_; // per row from first_
    std::unique_ptr<float[]> scores_;
};

} // namespace solandre::align
