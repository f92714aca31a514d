// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The beads of an alignment as a table: a row per bead, the source sentences
// in one column and their translation in the other. Cells are made when the
// view asks for them, so a hundred thousand beads open and scroll at once.

#include "align/bead_edits.h"
#include "align/numbered_pair.h"

#include <QAbstractTableModel>

namespace solandre {

class AlignmentModel : public QAbstractTableModel {
    Q_OBJECT
public:
    AlignmentModel(const PairAlignment& pair, const std::vector<Bead>& beads, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // A bead's side as the user reads it: its markers, then its sentences.
    QString sideText(const Bead& bead, Side side) const;
    // After the beads changed.
    void reload();

private:
    const PairAlignment& pair_;
    const std::vector<Bead>& beads_;
};

} // namespace solandre
