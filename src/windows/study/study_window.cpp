// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/study/study_window.h"

#include "forms/form.h"

#include <QGroupBox>
#include <QMainWindow>
#include <QShortcut>

namespace solandre {

void growWithWindow(QMainWindow* window, QWidget* client, int widthTwips, int heightTwips)
{
    client->setMinimumSize(twips(widthTwips), twips(heightTwips));
    window->adjustSize();
}

void closeOnEscape(QWidget* window, std::function<void()> close)
{
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setObjectName(QStringLiteral("escape"));
    QObject::connect(escape, &QShortcut::activated, window, [close = std::move(close)] { close(); });
}

QBoxLayout* frameLayout(QGroupBox* frame, QBoxLayout::Direction direction)
{
    auto* layout = new QBoxLayout(direction, frame);
    // The frame's contents already start below its caption.
    layout->setContentsMargins(twips(120), twips(120), twips(120), twips(120));
    return layout;
}

QString searchCaption(const std::optional<QString>& query, const QString& counts)
{
    return query ? *query + QStringLiteral(" = ") + counts : QString();
}

QString noHitText(const QString& query)
{
    return QStringLiteral("Ninguna ocurrencia de «%1» en el texto.").arg(query);
}

} // namespace solandre
