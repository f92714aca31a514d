// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The first window: gives way to the main window after three seconds, or at
// once at a key press or a click on one of its handled elements.

#include "forms/form.h"

#include <map>

class QTimer;

namespace solandre {

class SplashWindow : public Form {
    Q_OBJECT
public:
    explicit SplashWindow(FormRegistry& forms);

    void Timer1_Timer();
    void Form_KeyPress();
    void Frame1_Click();
    void Image1_Click();
    void imgLogo_Click();
    void Label2_Click();
    void label3_Click();
    void label4_Click();
    void Label5_Click();
    void Label8_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void giveWayToMainWindow();
    void onClick(QWidget* element, void (SplashWindow::*handler)());

    QTimer* timer_;
    std::map<QObject*, void (SplashWindow::*)()> clickHandlers_;
};

} // namespace solandre
