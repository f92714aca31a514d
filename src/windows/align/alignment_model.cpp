// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/align/alignment_model.h"

#include <QColor>

namespace solandre {

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

QVariant AlignmentModel::cell(size_t row, int column, int role) const
{
    if (row >= beads_.size()) return {};
    const Bead& bead = beads_[row];
    if (column == 0) {
        // The pair's number: its record in the aligned copies.
        if (role == Qt::DisplayRole) return QString::number(row + 1);
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    const Side side = column == 1 ? Side::Source : Side::Target;
    switch (role) {
    case Qt::DisplayRole:
        if (column == 0) return {};
        {
            // One line per row: line breaks inside a sentence become blanks.
            QString text = sideText(bead, side);
            text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            return text;
        }
    case Qt::ToolTipRole:
        return column == 0 ? QVariant() : QVariant(sideText(bead, side));
    case Qt::BackgroundRole:
        // The beads that deserve a look: not one to one, or unsure.
        if (isDoubtful(bead)) return QColor(255, 214, 160);
        return {};
    default:
        return {};
    }
}

QString AlignmentModel::header(int column) const
{
    switch (column) {
    case 0: return QStringLiteral("Par");
    case 1: return QStringLiteral("Texto en lengua de origen");
    default: return QStringLiteral("Texto en lengua meta");
    }
}

} // namespace solandre
