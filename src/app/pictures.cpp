// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace solandre::pictures {

QPixmap logo(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 100.0;
    p.scale(s, s);

    p.setPen(QPen(QColor(0, 0, 160), 2.5));
    p.setBrush(QColor(255, 255, 235));
    p.drawRoundedRect(QRectF(8, 18, 40, 64), 4, 4);
    p.drawRoundedRect(QRectF(52, 18, 40, 64), 4, 4);

    // Matching lines on both pages, joined across the fold.
    p.setPen(QPen(QColor(0, 0, 160), 2));
    for (int i = 0; i < 5; ++i) {
        const double y = 30 + i * 10;
        p.drawLine(QPointF(14, y), QPointF(42, y));
        p.drawLine(QPointF(58, y), QPointF(86, y));
    }
    p.setPen(QPen(QColor(192, 0, 0), 2, Qt::DashLine));
    p.drawLine(QPointF(42, 40), QPointF(58, 40));
    p.setPen(QPen(QColor(192, 0, 0), 3));
    p.drawEllipse(QPointF(28, 40), 9, 6);
    p.drawEllipse(QPointF(72, 40), 9, 6);
    return pixmap;
}

} // namespace solandre::pictures
