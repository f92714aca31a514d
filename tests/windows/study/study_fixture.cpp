// SPDX-License-Identifier: GPL-3.0-or-later
#include "study_fixture.h"

#include "windows/viewer/context_viewer.h"
#include "windows/widgets/windowed_table.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

namespace solandre::testing {

const std::string kStudySource = cp1252("[1] La casa blanca y la casa roja.\r\n[2] Otra casa, dijo él.\r\n"
                                        "[3] El río pasa.\r\n[4] El río y la casa.\r\n[5] Sin nada.\r\n");
const std::string kStudyTarget = "[1] La maison blanche et la maison rouge.\r\n[2] Une autre maison, dit-il.\r\n"
                                 "[3] La rivière passe.\r\n[4] La rivière et la maison.\r\n[5] Rien.\r\n";

void StudyTest::SetUp()
{
    WindowTest::SetUp();
    search = openPrepared(sourcePath, targetPath);
}

void StudyTest::searchFor(const QString& form)
{
    auto* box = search->findChild<QLineEdit*>("Text1");
    box->clear();
    typeInto(box, form);
    QTest::keyClick(box, Qt::Key_Return);
}

void StudyTest::typeInto(QWidget* box, const QString& text)
{
    // Key by key, with the character each gives (QTest's own typing knows only ASCII).
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void StudyTest::menu(Form* window, const char* action) { window->findChild<QAction*>(action)->trigger(); }

Form* StudyTest::open(const char* action, const char* name)
{
    menu(search, action);
    return forms.find(name);
}

ContextViewer* StudyTest::viewer() const { return static_cast<ContextViewer*>(forms.find(names::frmaff_contexte)); }

void StudyTest::activate(QWidget* window)
{
    window->show();
    window->activateWindow();
    QApplication::processEvents();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window)) << window->objectName().toStdString();
}

WindowedTable* StudyTest::table(Form* window, const char* name) { return window->findChild<WindowedTable*>(name); }

std::vector<std::string> StudyTest::shown(WindowedTable* view)
{
    const QAbstractItemModel* model = view->table()->model();
    std::vector<std::string> rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        std::string row;
        for (int c = 0; c < model->columnCount(); ++c)
            row += (c ? "|" : "") + model->data(model->index(r, c)).toString().toStdString();
        rows.push_back(row);
    }
    return rows;
}

void StudyTest::clickRow(WindowedTable* view, size_t row)
{
    QTableView* t = view->table();
    const QModelIndex cell = t->model()->index(int(row - view->topRow()), 0);
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(cell).center());
}

QString StudyTest::text(Form* window, const char* label) { return window->findChild<QLabel*>(label)->text(); }

} // namespace solandre::testing
