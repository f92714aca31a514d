// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/viewer/viewer_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace solandre::pictures {
namespace {

QIcon arrow(bool forward, bool withBar, const QColor& colour)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (!forward) p.translate(24, 0), p.scale(-1, 1);
    QPainterPath head;
    head.moveTo(6, 4);
    head.lineTo(18, 12);
    head.lineTo(6, 20);
    head.closeSubpath();
    p.setPen(QPen(colour.darker(140), 1));
    p.setBrush(colour);
    p.drawPath(head);
    if (withBar) p.drawRect(QRectF(19, 4, 3, 16));
    return QIcon(pixmap);
}

} // namespace

QIcon textStep(bool forward) { return arrow(forward, false, QColor(0, 0, 192)); }
QIcon contextStep(bool forward) { return arrow(forward, true, QColor(192, 0, 0)); }

} // namespace solandre::pictures
