// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/long_work.h"

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPointer>
#include <QPushButton>
#include <QWindow>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace solandre {
namespace {

TEST(LongWork, ShortWorkShowsNothing)
{
    QWidget window;
    bool ran = false;
    runLongWork(&window, "Corto", Cancel::Allowed, [&](const Progress& progress) {
        ran = progress(0.5);
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(window.findChild<QProgressDialog*>(), nullptr);
}

TEST(LongWork, LongWorkShowsHowFarItIsAndCanBeCancelled)
{
    QWidget window;
    window.show();
    QString label;
    bool sawDialog = false;
    // Once the dialog is up, read it and press "Cancelar".
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        auto* dialog = window.findChild<QProgressDialog*>("progreso");
        if (!dialog || !dialog->isVisible() || dialog->value() < 100) return;
        sawDialog = true;
        label = dialog->labelText();
        if (auto* cancel = dialog->findChild<QPushButton*>()) QTest::mouseClick(cancel, Qt::LeftButton);
    });
    look.start(20);
    std::atomic<int> steps{0};
    bool stopped = false;
    runLongWork(&window, "Trabajando", Cancel::Allowed, [&](const Progress& progress) {
        for (int k = 0; k < 400; ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ++steps;
            if (!progress(k / 400.0)) {
                stopped = true;
                return;
            }
        }
    });
    look.stop();
    EXPECT_TRUE(sawDialog);
    EXPECT_TRUE(label.startsWith("Trabajando\n")) << label.toStdString();
    EXPECT_TRUE(label.contains("%")) << label.toStdString();
    EXPECT_TRUE(label.contains("quedan")) << label.toStdString();
    EXPECT_TRUE(stopped);
    EXPECT_LT(steps.load(), 400);
    EXPECT_EQ(window.findChild<QProgressDialog*>(), nullptr);
}

// The way the platform delivers a user's input: to the dialog's window,
// which hands it to the widget under the pointer or with the focus.
void clickCancelThroughTheWindow(QProgressDialog* dialog)
{
    auto* cancel = dialog->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {}, cancel->mapTo(dialog, cancel->rect().center()));
}

void pressEscapeThroughTheWindow(QProgressDialog* dialog)
{
    QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
}

void closeTheDialogsWindow(QProgressDialog* dialog) { dialog->windowHandle()->close(); }

// Runs `steps` steps of 10 ms of work, gives `input` to the dialog once it shows, and
// says how many steps ran and whether the dialog stayed up after the input.
struct WorkRun {
    int steps = 0;
    bool dialogStayed = false;
};
WorkRun workWithInput(Cancel cancel, void (*input)(QProgressDialog*), bool dialogActive, int steps = 500)
{
    QWidget window;
    window.show();
    QTimer look;
    bool sent = false;
    WorkRun run;
    QPointer<QProgressDialog> shown;
    QObject::connect(&look, &QTimer::timeout, [&] {
        auto* dialog = window.findChild<QProgressDialog*>("progreso");
        if (!dialog || !dialog->isVisible() || !dialog->windowHandle()) return;
        if (sent) {
            run.dialogStayed = dialog->isVisible();
            return;
        }
        sent = true;
        QWidget* active = dialogActive ? static_cast<QWidget*>(dialog) : &window;
        active->activateWindow();
        (void)QTest::qWaitForWindowActive(active, 1000); // offscreen: as it may
        input(dialog);
        run.dialogStayed = dialog->isVisible();
    });
    look.start(20);
    std::atomic<int> done{0};
    runLongWork(&window, "Trabajando", cancel, [&](const Progress& progress) {
        for (int k = 0; k < steps && progress(double(k) / steps); ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ++done;
        }
    });
    look.stop();
    EXPECT_TRUE(sent);
    run.steps = done;
    return run;
}

TEST(LongWork, TheUsersClickEscapeOrCloseBoxOnTheDialogsWindowCancels)
{
    struct Case {
        const char* name;
        void (*input)(QProgressDialog*);
        bool dialogActive;
    };
    const Case cases[] = {
        {"a click on Cancelar", clickCancelThroughTheWindow, true},
        {"a click on Cancelar while another window is active", clickCancelThroughTheWindow, false},
        {"Escape, the dialog active", pressEscapeThroughTheWindow, true},
        {"Escape while another window is active", pressEscapeThroughTheWindow, false},
        {"the close box", closeTheDialogsWindow, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_LT(workWithInput(Cancel::Allowed, c.input, c.dialogActive).steps, 450);
    }
}

TEST(LongWork, WorkThatCannotStopKeepsItsDialogUp)
{
    for (auto* input : {pressEscapeThroughTheWindow, closeTheDialogsWindow}) {
        const WorkRun run = workWithInput(Cancel::NotAllowed, input, true, 100);
        EXPECT_EQ(run.steps, 100);
        EXPECT_TRUE(run.dialogStayed);
    }
}

TEST(LongWork, InputThroughOtherWindowsIsStillHeldBack)
{
    QWidget window;
    auto* button = new QPushButton("x", &window);
    button->resize(80, 30);
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    const QPoint at = button->mapTo(&window, button->rect().center());
    QTimer::singleShot(700, [&] {
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at);
        QTest::keyClick(window.windowHandle(), Qt::Key_Space);
    });
    runLongWork(&window, "Trabajando", Cancel::Allowed, [&](const Progress&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    });
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_EQ(clicks, 1) << "input reaches the window again afterwards";
}

TEST(LongWork, InputToTheWindowsIsHeldBackMeanwhile)
{
    QWidget window;
    auto* button = new QPushButton("x", &window);
    window.show();
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    QTimer::singleShot(100, [&] { QTest::mouseClick(button, Qt::LeftButton); });
    runLongWork(&window, "Trabajando", Cancel::NotAllowed, [&](const Progress&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    });
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST(LongWork, AFailureOfTheWorkReachesTheCaller)
{
    QWidget window;
    EXPECT_THROW(runLongWork(&window, "Falla", Cancel::NotAllowed,
                             [](const Progress&) { throw std::bad_alloc(); }),
                 std::bad_alloc);
}

} // namespace
} // namespace solandre
