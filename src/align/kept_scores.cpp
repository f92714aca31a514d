// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/kept_scores.h"

#include "align/bead_model.h"

#include <algorithm>

namespace solandre::align {

void KeptScores::offer(const Band& band)
{
    if (!held_.empty()) {
        // A widening that moved most of the kept rows leaves them of no use
        // to the sweeps after it: those rows are kept anew.
        std::size_t alikeRows = 0;
        for (std::uint32_t i = first_; i <= band_.lastRow(); ++i)
            alikeRows += alike(band, i);
        if (2 * alikeRows >= held_.size()) return;
        held_ = {};
        scores_.reset();
    } else if (chosen_) {
        return;
    }
    chosen_ = true;
    // The last rows: a widened band is swept again from its first changed
    // row on, so those are swept most often.
    const std::uint32_t last = band.lastRow();
    std::uint32_t first = last + 1;
    while (first > 0 && band.cells() - band.index(first - 1, band.lo(first - 1)) <= mostCells_)
        --first;
    if (first > last) return;
    band_ = band;
    first_ = first;
    held_.assign(last + 1 - first, 0);
    scores_.reset(new float[(band.cells() - band.index(first, band.lo(first))) * kShapeCount]);
}

bool KeptScores::alike(const Band& band, std::uint32_t i) const
{
    if (held_.empty() || i < first_ || band.lastRow() != band_.lastRow()) return false;
    // The beads ending in row i start in rows i - 3 .. i.
    for (std::uint32_t row = i >= kMaxBeadSide ? i - kMaxBeadSide : 0; row <= i; ++row)
        if (band.lo(row) != band_.lo(row) || band.hi(row) != band_.hi(row)) return false;
    return true;
}

std::size_t KeptScores::at(std::uint32_t i) const
{
    return (band_.index(i, band_.lo(i)) - band_.index(first_, band_.lo(first_))) * kShapeCount;
}

const float* KeptScores::find(const Band& band, std::uint32_t i) const
{
    if (!alike(band, i) || !held_[i - first_]) return nullptr;
    return scores_.get() + at(i);
}

void KeptScores::keep(const Band& band, std::uint32_t i, const float* scores)
{
    if (!alike(band, i) || held_[i - first_]) return;
    const std::size_t count = std::size_t{band.hi(i) - band.lo(i) + 1} * kShapeCount;
    std::copy(scores, scores + count, scores_.get() + at(i));
    held_[i - first_] = 1;
}

} // namespace solandre::align
