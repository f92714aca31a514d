// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The study windows over a small Spanish-French pair, driven as a user does:
// a form typed and searched with Enter, the windows opened from the menus.

#include "forms/form_names.h"
#include "support/window_fixture.h"
#include "windows/search/search_window.h"

#include <string>
#include <vector>

class QWidget;

namespace solandre {

class WindowedTable;
class ContextViewer;

namespace testing {

// "casa" in 1, 2 and 4, "río" in 3 and 4, "roja" in 1.
extern const std::string kStudySource;
extern const std::string kStudyTarget;

class StudyTest : public WindowTest {
protected:
    QString sourcePath = dir.write("obra_source_ref.txt", kStudySource);
    QString targetPath = dir.write("obra_cible_ref.txt", kStudyTarget);
    SearchWindow* search = nullptr;

    void SetUp() override;

    // Types the form in the search box and presses Enter.
    void searchFor(const QString& form);
    static void typeInto(QWidget* box, const QString& text);
    // Chooses a menu item of a window.
    static void menu(Form* window, const char* action);
    // Opens a study window from the search window's "Ver" menu.
    Form* open(const char* action, const char* name);
    ContextViewer* viewer() const;
    // Makes the window the active one, as a click on it would.
    static void activate(QWidget* window);

    static WindowedTable* table(Form* window, const char* name);
    // The cells of the rows on screen, joined by "|".
    static std::vector<std::string> shown(WindowedTable* view);
    static void clickRow(WindowedTable* view, size_t row);
    static QString text(Form* window, const char* label);
};

} // namespace testing
} // namespace solandre
