// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/progress_input.h"

#include <QApplication>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QWindow>

namespace solandre::testing {

CancelWhenProgressShows::CancelWhenProgressShows(By by, std::function<void()> then)
{
    QObject::connect(&timer_, &QTimer::timeout, [this, by, then = std::move(then)] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QProgressDialog*>(top);
            if (!dialog || !dialog->isVisible() || !dialog->windowHandle() || dialog->property("given").toBool())
                continue;
            dialog->setProperty("given", true);
            labels_ << dialog->labelText().section(QLatin1Char('\n'), 0, 0);
            QWindow* window = dialog->windowHandle();
            if (by == By::Click) {
                auto* cancel = dialog->findChild<QPushButton*>();
                if (cancel)
                    QTest::mouseClick(window, Qt::LeftButton, {}, cancel->mapTo(dialog, cancel->rect().center()));
            } else {
                QTest::keyClick(window, Qt::Key_Escape);
            }
            if (then) then();
        }
    });
    timer_.start(20);
}

} // namespace solandre::testing
