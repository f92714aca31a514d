#pragma once
// The first window: gives way to the main window after three seconds, or at
// once at a key press or a click on one of its handled elements.

#include "app/forms/form.h"

#include <map>

class QTimer;

namespace solandre {

class frmSplash : public Form {
    Q_OBJECT
public:
    explicit frmSplash(FormRegistry& forms);

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
    void onClick(QWidget* element, void (frmSplash::*handler)());

    QTimer* Timer1_;
    std::map<QObject*, void (frmSplash::*)()> clickHandlers_;
};

} // namespace solandre
