// SPDX-License-Identifier: GPL-3.0-or-later
// The study windows from the keyboard, and as they grow with their window.
#include "study_fixture.h"

#include "windows/viewer/context_viewer.h"
#include "windows/widgets/windowed_table.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <set>

namespace solandre {
namespace {

using testing::StudyTest;

struct StudyWindow {
    const char* action; // in the search window's "Ver" menu
    const char* name;
    const char* list;   // the list that grows with the window
};

const StudyWindow kWindows[] = {
    {"kwic", names::frmlignes, "lignes"},
    {"frequences", names::frmfrequences, "formes"},
    {"candidats", names::frmcandidats, "liste"},
};

class StudyKeysTest : public StudyTest {
protected:
    void SetUp() override
    {
        StudyTest::SetUp();
        searchFor("casa");
    }
    static QString pane(Form* w, const char* name) { return w->findChild<QTextEdit*>(name)->toPlainText(); }
};

TEST_F(StudyKeysTest, EscapeClosesEachWindow)
{
    for (const StudyWindow& s : kWindows) {
        SCOPED_TRACE(s.name);
        Form* w = open(s.action, s.name);
        ASSERT_NE(w, nullptr);
        activate(w);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w, Qt::Key_Escape);
        EXPECT_FALSE(forms.isLoaded(s.name));
        EXPECT_TRUE(forms.isLoaded(names::Frmcontexte)) << "only the window itself closes";
    }
}

TEST_F(StudyKeysTest, EveryButtonHasAnAltShortcutAndTabReachesIt)
{
    struct Shortcut { const char* window; const char* button; Qt::Key key; };
    const Shortcut shortcuts[] = {
        {names::frmlignes, "trier_forme", Qt::Key_O},     {names::frmlignes, "trier_gauche1", Qt::Key_I},
        {names::frmlignes, "trier_gauche2", Qt::Key_Z},   {names::frmlignes, "trier_droite1", Qt::Key_D},
        {names::frmlignes, "trier_droite2", Qt::Key_E},   {names::frmfrequences, "trier_nombre", Qt::Key_N},
        {names::frmfrequences, "trier_alpha", Qt::Key_B}, {names::frmcandidats, "Command1", Qt::Key_C},
    };
    for (const StudyWindow& s : kWindows) open(s.action, s.name);
    for (const Shortcut& s : shortcuts) {
        SCOPED_TRACE(s.button);
        Form* w = forms.find(s.window);
        auto* button = w->findChild<QPushButton*>(s.button);
        ASSERT_NE(button, nullptr);
        activate(w);
        QSignalSpy pressed(button, &QPushButton::clicked);
        QTest::keyClick(w, s.key, Qt::AltModifier);
        EXPECT_TRUE(pressed.count() == 1 || pressed.wait(2000)) << "a button pressed by its shortcut shows it";
    }
    // From the list, Tab goes round every button of the window.
    for (const StudyWindow& s : kWindows) {
        SCOPED_TRACE(s.name);
        Form* w = forms.find(s.name);
        activate(w);
        w->findChild<QWidget*>(s.list)->setFocus();
        std::set<QString> reached;
        for (int k = 0; k < 20; ++k) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (auto* b = qobject_cast<QPushButton*>(QApplication::focusWidget())) reached.insert(b->objectName());
        }
        for (const QPushButton* b : w->findChildren<QPushButton*>())
            EXPECT_TRUE(reached.count(b->objectName())) << b->objectName().toStdString();
    }
}

TEST_F(StudyKeysTest, EnterOnALineOpensTheViewerOrMovesIt)
{
    Form* w = open("kwic", names::frmlignes);
    activate(w);
    QTableView* lines = table(w, "lignes")->table();
    lines->setFocus();
    QTest::keyClick(lines, Qt::Key_Down);
    EXPECT_FALSE(forms.isLoaded(names::frmaff_contexte)) << "the keys move the line, not the viewer";
    QTest::keyClick(lines, Qt::Key_Return);
    ASSERT_NE(viewer(), nullptr);
    EXPECT_TRUE(viewer()->isVisible());
    EXPECT_EQ(pane(viewer(), "label3"), "[1] La casa blanca y la casa roja.\n");
    activate(w);
    QTest::keyClick(lines, Qt::Key_End);
    QTest::keyClick(lines, Qt::Key_Enter);
    EXPECT_EQ(pane(viewer(), "label3"), "[4] El río y la casa.\n");
    EXPECT_EQ(search->grid().row(), 4u) << "the grid follows";
}

TEST_F(StudyKeysTest, EnterOnAFrequencyOpensTheViewerOnTheFormsFirstHit)
{
    searchFor("r*");
    Form* w = open("frequences", names::frmfrequences);
    EXPECT_EQ(shown(table(w, "formes")), (std::vector<std::string>{"río|2", "roja|1"}));
    activate(w);
    QTableView* list = table(w, "formes")->table();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_End);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_NE(viewer(), nullptr);
    EXPECT_EQ(pane(viewer(), "label3"), "[1] La casa blanca y la casa roja.\n");
    activate(w);
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(pane(viewer(), "label3"), "[3] El río pasa.\n");
}

TEST_F(StudyKeysTest, TheListsGrowWithTheWindow)
{
    for (const StudyWindow& s : kWindows) {
        SCOPED_TRACE(s.name);
        Form* w = open(s.action, s.name);
        QWidget* list = w->findChild<QWidget*>(s.list);
        ASSERT_NE(list, nullptr);
        QApplication::processEvents();
        const QSize before = list->size(), window = w->size();
        w->resize(window + QSize(300, 200));
        QApplication::processEvents();
        EXPECT_GE(list->width(), before.width() + 250) << "no grey band on the right";
        EXPECT_GE(list->height(), before.height() + 150) << "nor below";
        w->resize(window);
        QApplication::processEvents();
        EXPECT_EQ(list->size(), before);
    }
    // The windowed lists show more rows when taller.
    std::string text;
    for (int s = 1; s <= 300; ++s) text += "[" + std::to_string(s) + "] una casa.\r\n";
    search->quitter_Click();
    search = openPrepared(dir.write("largo.txt", text), targetPath);
    searchFor("casa");
    Form* w = open("kwic", names::frmlignes);
    const int fit = table(w, "lignes")->visibleRows();
    w->resize(w->size() + QSize(0, 300));
    QApplication::processEvents();
    EXPECT_GT(table(w, "lignes")->visibleRows(), fit + 5);
}

TEST_F(StudyKeysTest, ColumnsFitTheirContentAndACutCellShowsWholeInItsTooltip)
{
    Form* w = open("kwic", names::frmlignes);
    QTableView* lines = table(w, "lignes")->table();
    const QAbstractItemModel* model = lines->model();
    // The form and the marker as wide as their widest text, the contexts sharing the rest.
    for (const int column : {1, 3}) {
        int widest = 0;
        for (int r = 0; r < model->rowCount(); ++r) {
            const QVariant font = model->data(model->index(r, column), Qt::FontRole);
            const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : lines->font());
            widest = std::max(widest, metrics.horizontalAdvance(model->data(model->index(r, column)).toString()));
        }
        const QFontMetrics header(lines->horizontalHeader()->font());
        widest = std::max(widest, header.horizontalAdvance(model->headerData(column, Qt::Horizontal).toString()));
        EXPECT_GE(lines->columnWidth(column), widest) << column;
        EXPECT_LE(lines->columnWidth(column), widest + 30) << column;
    }
    EXPECT_NEAR(lines->columnWidth(0), lines->columnWidth(2), 2);

    EXPECT_FALSE(model->data(model->index(0, 2), Qt::ToolTipRole).isValid()) << "a whole text needs no tooltip";
    w->resize(w->minimumSizeHint());
    lines->setColumnWidth(2, 30);
    EXPECT_EQ(model->data(model->index(0, 2), Qt::ToolTipRole).toString(), "blanca y la casa roja.");

    Form* c = open("candidats", names::frmcandidats);
    const auto* list = c->findChild<QTableWidget*>("liste");
    ASSERT_GT(list->rowCount(), 0);
    EXPECT_EQ(list->item(0, 0)->toolTip(), list->item(0, 0)->text());
    EXPECT_GE(list->columnWidth(0), QFontMetrics(list->item(0, 0)->font()).horizontalAdvance(list->item(0, 0)->text()));
}

TEST_F(StudyKeysTest, TheCurrentLineIsTheOnlyMarkOfTheFocus)
{
    Form* w = open("kwic", names::frmlignes);
    activate(w);
    QTableView* lines = table(w, "lignes")->table();
    QTest::keyClick(lines, Qt::Key_Down);
    search->activateWindow(); // the focus elsewhere
    QApplication::processEvents();
    const QImage unfocused = lines->viewport()->grab().toImage();
    activate(w);
    lines->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(lines->hasFocus());
    EXPECT_EQ(lines->viewport()->grab().toImage(), unfocused) << "no focus frame drawn on a cell besides";
}

} // namespace
} // namespace solandre
