// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry point for window tests: one QApplication for the whole run,
// offscreen unless told otherwise (ctest also lists the cases this way).
#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Caches and settings of the tests go to a folder of their own.
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
