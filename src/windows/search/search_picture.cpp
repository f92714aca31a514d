// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/search/search_picture.h"

#include <QPainter>

namespace solandre::pictures {

QPixmap searchButton()
{
    QPixmap pixmap(125, 47);
    pixmap.fill(QColor(190, 225, 255));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor darkBlue(0, 0, 160);

    // The glass: a ring with a pale lens and a handle down to the left.
    p.setPen(QPen(darkBlue, 3));
    p.setBrush(QColor(235, 247, 255));
    p.drawEllipse(QPointF(24, 20), 11, 11);
    p.setPen(QPen(darkBlue, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 28), QPointF(8, 38));
    p.setPen(QPen(QColor(255, 255, 255), 2));
    p.drawArc(QRectF(17, 13, 10, 10), 100 * 16, 70 * 16);

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(darkBlue);
    p.drawText(QRectF(39, 0, 84, 47), Qt::AlignCenter, QStringLiteral("BÚSQUEDA"));

    p.setPen(QPen(QColor(90, 140, 200), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 124, 46));
    return pixmap;
}

} // namespace solandre::pictures
