// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/long_work.h"

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
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
