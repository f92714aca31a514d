// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/splash_window.h"

#include "forms/form_names.h"
#include "app/pictures.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

namespace solandre {

SplashWindow::SplashWindow(FormRegistry& forms) : Form(forms, QString())
{
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setFocusPolicy(Qt::StrongFocus);
    setClientSize(7380, 4440);

    auto* Frame1 = new QGroupBox(client());
    Frame1->setObjectName(QStringLiteral("Frame1"));
    place(Frame1, 120, 60, 7140, 4260);

    auto pictureLabel = [&](const QString& name, int left, int top, int size) {
        QLabel* picture = label(Frame1, name, QString(), left, top, size, size);
        picture->setPixmap(pictures::logo(twips(size)));
        return picture;
    };
    QLabel* Image1 = pictureLabel(QStringLiteral("Image1"), 240, 360, 1800);
    QLabel* imgLogo = pictureLabel(QStringLiteral("imgLogo"), 6120, 3240, 840);

    // Each pair shares one rectangle; the one with a handler lies on top.
    auto pair = [&](const QString& under, const QString& over, const QString& text, int top,
                    int height, const QFont& font) {
        QLabel* back = label(Frame1, under, text, 2160, top + 30, 4800, height);
        QLabel* front = label(Frame1, over, text, 2160, top, 4800, height);
        for (QLabel* l : {back, front}) l->setFont(font);
        setTextColour(back, 0x808080);
        setTextColour(front, colours::kDarkBlue);
        return front;
    };
    QLabel* Label5 = pair(QStringLiteral("Label1"), QStringLiteral("Label5"),
                          QStringLiteral("QUILLARNE"), 360, 900, timesFont(36, true));
    QLabel* Label8 = pair(QStringLiteral("Label6"), QStringLiteral("Label8"),
                          QStringLiteral("Concordancias VXT"), 1260, 600, timesFont(24, true, true));

    QLabel* Label2 = label(Frame1, QStringLiteral("Label2"), QStringLiteral("Versión 2.0"), 2160,
                           2040, 2400, 360);
    QLabel* Label9 = label(Frame1, QStringLiteral("Label9"), QStringLiteral("Enero 2002"), 4560,
                           2040, 2400, 360);
    QLabel* label3 = label(Frame1, QStringLiteral("label3"),
                           QStringLiteral("Windows 95, 98, NT et 2000"), 2160, 2520, 4800, 360);
    QLabel* label4 = label(Frame1, QStringLiteral("label4"),
                           QStringLiteral("Taller de lingüística computacional"), 240, 3360, 5760,
                           360);
    QLabel* Label7 = label(Frame1, QStringLiteral("Label7"), QString(), 240, 3840, 5760, 300);
    for (QLabel* l : {Label2, Label9, label3, label4, Label7}) l->setFont(timesFont(12, true));
    Label9->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setTextColour(label4, colours::kDarkRed);

    onClick(Frame1, &SplashWindow::Frame1_Click);
    onClick(Image1, &SplashWindow::Image1_Click);
    onClick(imgLogo, &SplashWindow::imgLogo_Click);
    onClick(Label2, &SplashWindow::Label2_Click);
    onClick(label3, &SplashWindow::label3_Click);
    onClick(label4, &SplashWindow::label4_Click);
    onClick(Label5, &SplashWindow::Label5_Click);
    onClick(Label8, &SplashWindow::Label8_Click);
    // Clicks on these have no handler: they stop here instead of reaching Frame1.
    for (const char* name : {"Label1", "Label6", "Label7", "Label9"})
        Frame1->findChild<QLabel*>(QLatin1String(name))->installEventFilter(this);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(3000);
    connect(timer_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    timer_->start();
}

void SplashWindow::onClick(QWidget* element, void (SplashWindow::*handler)())
{
    clickHandlers_[element] = handler;
    element->installEventFilter(this);
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress) return Form::eventFilter(watched, event);
    const auto handler = clickHandlers_.find(watched);
    if (handler != clickHandlers_.end()) (this->*handler->second)();
    return true;
}

void SplashWindow::keyPressEvent(QKeyEvent*) { Form_KeyPress(); }

void SplashWindow::giveWayToMainWindow()
{
    timer_->stop();
    forms().unload(names::frmSplash);
    forms().show(names::frmtexte);
}

void SplashWindow::Timer1_Timer() { giveWayToMainWindow(); }
void SplashWindow::Form_KeyPress() { giveWayToMainWindow(); }
void SplashWindow::Frame1_Click() { giveWayToMainWindow(); }
void SplashWindow::Image1_Click() { giveWayToMainWindow(); }
void SplashWindow::imgLogo_Click() { giveWayToMainWindow(); }
void SplashWindow::Label2_Click() { giveWayToMainWindow(); }
void SplashWindow::label3_Click() { giveWayToMainWindow(); }
void SplashWindow::label4_Click() { giveWayToMainWindow(); }
void SplashWindow::Label5_Click() { giveWayToMainWindow(); }
void SplashWindow::Label8_Click() { giveWayToMainWindow(); }

} // namespace solandre
