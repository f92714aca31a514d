// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/align/alignment_model.h"

#include <QColor>

namespace solandre {

AlignmentModel::AlignmentModel(const PairAlignment& pair, const std::vector<Bead>& beads, QObject* parent)
    : QAbstractTableModel(parent), pair_(pair), beads_(beads)
{
}

int AlignmentModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(beads_.size());
}

int AlignmentModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QString AlignmentModel::sideText(const Bead& bead, Side side) const
{
    const NumberedRecords& records = side == Side::Source ? pair_.source : pair_.target;
    const std::uint32_t first = side == Side::Source ? bead.sourceFirst : bead.targetFirst;
    const std::uint32_t count = side == Side::Source ? bead.sourceCount : bead.targetCount;
    QString text;
    for (std::uint32_t k = 0; k < count; ++k) {
        if (k) text += QLatin1Char(' ');
        text += decodeText(records.markers[first + k], records.text.encoding()) + QLatin1Char(' ') +
                decodeText(records.sentences[first + k], records.text.encoding());
    }
    return text;
}

QVariant AlignmentModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= beads_.size()) return {};
    const Bead& bead = beads_[size_t(index.row())];
    const Side side = index.column() == 0 ? Side::Source : Side::Target;
    switch (role) {
    case Qt::DisplayRole: {
        // One line per row: line breaks inside a sentence become blanks.
        QString text = sideText(bead, side);
        text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        return text;
    }
    case Qt::ToolTipRole:
        return sideText(bead, side);
    case Qt::BackgroundRole:
        // The beads that deserve a look: not one to one, or unsure.
        if (isDoubtful(bead)) return QColor(255, 214, 160);
        return {};
    default:
        return {};
    }
}

QVariant AlignmentModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section == 0 ? QStringLiteral("Texto en lengua de origen")
                            : QStringLiteral("Texto en lengua meta");
    if (orientation == Qt::Vertical && role == Qt::DisplayRole) return section + 1;
    return {};
}

void AlignmentModel::reload()
{
    beginResetModel();
    endResetModel();
}

} // namespace solandre
