// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The windows on a scripted desktop, and each road to a search window as the
// user takes it: the main window's "&Concordancias" for texts already
// numbered, the numbering windows' two buttons for texts to number.

#include "forms/form_registry.h"
#include "windows/search/search_window.h"
#include "support/fake_desktop.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

namespace solandre::testing {

class WindowTest : public ::testing::Test {
protected:
    FakeDesktop fake;
    TempDir dir;
    FormRegistry forms{fake.desktop, [] {}};

    void SetUp() override;

    // Fills the main window's boxes and chooses "&Concordancias".
    SearchWindow* openPrepared(const QString& source, const QString& target = {},
                               const QString& title = {});
    // Fills the main window's boxes, numbers the texts with the proposed
    // names and presses "Concordancias".
    SearchWindow* openFresh(const QString& plainSource, const QString& plainTarget = {});

    static void search(SearchWindow* window, const QString& form);
    // Types `text` into the widget with the keyboard, any character.
    static void typeText(QWidget* widget, const QString& text);
    // The total line's right part: "form = count".
    static QString total(SearchWindow* window);
    // "form[marker] form[marker] ..." for every result row.
    static std::string rows(const SearchWindow* window);

private:
    void fillMainWindow(const QString& source, const QString& target, const QString& title);
};

} // namespace solandre::testing
