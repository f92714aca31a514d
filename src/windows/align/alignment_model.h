// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The beads of an alignment as the rows of a windowed table: the pair's
// number, the source sentences and their translation. Cells are made only
// for the rows on screen, so a hundred thousand beads open, scroll and take
// a correction at once, with or without a screen reader reading the table.

#include "align/bead_edits.h"
#include "align/numbered_pair.h"
#include "windows/widgets/windowed_table.h"

namespace solandre {

class AlignmentModel final : public TableRows {
public:
    AlignmentModel(const PairAlignment& pair, const std::vector<Bead>& beads) : pair_(pair), beads_(beads) {}

    size_t rowCount() const override { return beads_.size(); }
    int columnCount() const override { return 3; }
    QVariant cell(size_t row, int column, int role) const override;
    QString header(int column) const override;

    // A bead's side as the user reads it: its markers, then its sentences.
    QString sideText(const Bead& bead, Side side) const;

private:
    const PairAlignment& pair_;
    const std::vector<Bead>& beads_;
};

} // namespace solandre
