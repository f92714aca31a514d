// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"
#include "forms/form.h"
#include "forms/form_names.h"
#include "windows/search/result_grid_view.h"
#include "windows/search/search_window.h"
#include "support/window_fixture.h"
#include "windows/viewer/context_viewer.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::cp1252;

const std::string kSource = cp1252("[1] Una casa.\r\n[2] La casa CASA Casa casas Casablanca.\r\n"
                                   "[3] Sin nada,\r\nen dos líneas.\r\n[4] Otra casa.\r\n");
const std::string kTarget = "[1] Une maison.\r\n[2] La maison.\r\n";

class ViewerTest : public testing::WindowTest {
protected:
    QString sourcePath = dir.write("obra_source_ref.txt", kSource);
    QString targetPath = dir.write("obra_cible_ref.txt", kTarget);
    SearchWindow* search = nullptr;
    const char* viewerName = names::frmaff_contexte;

    void SetUp() override
    {
        WindowTest::SetUp();
        search = openPrepared(sourcePath, targetPath);
        find("casa");
    }
    void find(const QString& form) { WindowTest::search(search, form); }
    ResultGridView* gridView() { return search->findChild<ResultGridView*>("grille01"); }
    // A click on the grid's row (1-based result row), as the user makes it.
    ContextViewer* click(size_t row, int col = 0)
    {
        QTableView* table = gridView()->table();
        const QModelIndex cell = table->model()->index(int(row - gridView()->topRow()), col);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());
        return static_cast<ContextViewer*>(forms.find(viewerName));
    }
    static QString source(ContextViewer* v) { return v->findChild<QTextEdit*>("label3")->toPlainText(); }
    static QString target(ContextViewer* v) { return v->findChild<QTextEdit*>("label4")->toPlainText(); }
    static QString criterion(ContextViewer* v) { return v->findChild<QLabel*>("Label6")->text(); }
    static bool enabled(ContextViewer* v, const char* name)
    {
        return v->findChild<QPushButton*>(name)->isEnabled();
    }
    // Positions of the source pane's characters in the marking style.
    static std::vector<int> marked(ContextViewer* v)
    {
        QTextEdit* pane = v->findChild<QTextEdit*>("label3");
        std::vector<int> out;
        QTextCursor cursor(pane->document());
        for (int p = 0; p < pane->toPlainText().size(); ++p) {
            cursor.setPosition(p + 1);
            const QTextCharFormat f = cursor.charFormat();
            if (f.fontWeight() == QFont::Bold && f.foreground().color() == QColor(0, 0, 255))
                out.push_back(p);
        }
        return out;
    }
};

TEST_F(ViewerTest, ClickOpensTheHitBesideItsCounterpart)
{
    ContextViewer* v = click(2);
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(criterion(v), "casa");
    EXPECT_EQ(source(v), "[2] La casa CASA Casa casas Casablanca.\n");
    EXPECT_EQ(target(v), "[2] La maison.\n");
    EXPECT_EQ(search->grid().row(), 2u);
    EXPECT_EQ(search->grid().col(), 0);
}

TEST_F(ViewerTest, MarksEveryWholeWordOfTheCriterionAndLeavesNoSelection)
{
    ContextViewer* v = click(2);
    // "casa", "CASA", "Casa" at 7, 12 and 17; not "casas" or "Casablanca".
    std::vector<int> expected;
    for (int start : {7, 12, 17})
        for (int k = 0; k < 4; ++k) expected.push_back(start + k);
    EXPECT_EQ(marked(v), expected);
    const QTextCursor cursor = v->findChild<QTextEdit*>("label3")->textCursor();
    EXPECT_FALSE(cursor.hasSelection());
    EXPECT_EQ(cursor.position(), 17);
}

TEST_F(ViewerTest, ContextButtonsStopAtTheEndsOfTheList)
{
    ContextViewer* v = click(1);
    EXPECT_FALSE(enabled(v, "Command2"));
    EXPECT_TRUE(enabled(v, "Command1"));
    v->Command2_Click();
    EXPECT_EQ(v->currentRow(), 1u);

    const size_t last = search->grid().rows() - 1;
    for (size_t k = 1; k < last + 3; ++k) v->Command1_Click();
    EXPECT_EQ(v->currentRow(), last);
    EXPECT_FALSE(enabled(v, "Command1"));
    EXPECT_TRUE(enabled(v, "Command2"));
    EXPECT_EQ(source(v), "[4] Otra casa.\n");
    EXPECT_EQ(search->grid().row(), last);
    EXPECT_EQ(search->grid().col(), 0);
}

TEST_F(ViewerTest, OneHitDisablesBothContextButtons)
{
    find("otra");
    ContextViewer* v = click(1);
    EXPECT_FALSE(enabled(v, "Command1"));
    EXPECT_FALSE(enabled(v, "Command2"));
}

TEST_F(ViewerTest, TextButtonsStepThroughSentencesAndStopAtTheEnds)
{
    ContextViewer* v = click(1);
    v->Command3_Click(); // before the first sentence: the first again
    EXPECT_EQ(source(v), "[1] Una casa.\n");
    v->Command4_Click();
    v->Command4_Click();
    EXPECT_EQ(source(v), QString::fromUtf8("[3] Sin nada,\nen dos líneas.\n"));
    EXPECT_TRUE(marked(v).empty());
    EXPECT_EQ(criterion(v), "casa");
    // The target has no third record: its pane is emptied.
    EXPECT_EQ(target(v), "");
    v->Command4_Click();
    v->Command4_Click();
    EXPECT_EQ(source(v), "[4] Otra casa.\n");
    EXPECT_EQ(v->currentRow(), 1u);
}

TEST_F(ViewerTest, FollowsASortInItsSearchWindow)
{
    // Text order: casa[1] casa[2] CASA[2] Casa[2] casas[2] Casablanca[2] casa[4];
    // by form: the five "casa" first, so row 5 becomes casa[4].
    find("cas*");
    ContextViewer* v = click(4);
    search->findChild<QPushButton*>("Command2")->click(); // Formas
    v->Command1_Click();
    EXPECT_EQ(search->grid().row(), 5u);
    EXPECT_EQ(criterion(v), "casa");
    EXPECT_EQ(source(v), "[4] Otra casa.\n");
}

TEST_F(ViewerTest, ASecondClickOnlyBringsTheViewerForward)
{
    ContextViewer* v = click(1);
    click(3);
    EXPECT_EQ(forms.find(names::frmaff_contexte), v);
    EXPECT_EQ(source(v), "[1] Una casa.\n");
}

TEST_F(ViewerTest, HeaderOrEmptyGridOpensNothing)
{
    find("nada2");
    search->grille01_Click();
    EXPECT_FALSE(forms.isLoaded(names::frmaff_contexte));
}

TEST_F(ViewerTest, AnUnreadableFileIsReportedOnceWhenTheViewerOpens)
{
    QFile::remove(targetPath);
    ContextViewer* v = click(2);
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_TRUE(fake.dialogs.shown[0].text.contains("obra_cible_ref.txt"));
    EXPECT_EQ(source(v), "[2] La casa CASA Casa casas Casablanca.\n");
    EXPECT_EQ(target(v), "");
    v->Command4_Click();
    EXPECT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(target(v), "");
}

TEST_F(ViewerTest, KeepsItsTextsForTheLifeOfTheWindow)
{
    // The texts are read once, when the viewer opens: a step reads only the
    // sentences it shows, even when the files have gone since.
    ContextViewer* v = click(1);
    QFile::remove(sourcePath);
    QFile::remove(targetPath);
    v->Command4_Click();
    EXPECT_EQ(source(v), "[2] La casa CASA Casa casas Casablanca.\n");
    EXPECT_EQ(target(v), "[2] La maison.\n");
    EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(ViewerTest, ClosingTheSearchWindowClosesTheViewer)
{
    click(1);
    search->quitter_Click();
    EXPECT_FALSE(forms.isLoaded(names::frmaff_contexte));
    EXPECT_FALSE(forms.isLoaded(names::Frmcontexte));
}

TEST_F(ViewerTest, EmptyTargetPathLeavesTheTargetPaneEmpty)
{
    search->quitter_Click();
    search = openPrepared(sourcePath);
    find("casa");
    ContextViewer* v = click(1);
    v->Command1_Click();
    EXPECT_EQ(target(v), "");
    EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(ViewerTest, EditCommandsOnTheSourcePane)
{
    ContextViewer* v = click(2);
    QTextEdit* pane = v->findChild<QTextEdit*>("label3");

    // Nothing selected: copy leaves the clipboard, cut changes nothing.
    v->MNU_Copy_Click();
    EXPECT_EQ(fake.clipboard.mimeData(), nullptr);
    v->MNU_Cut_Click();
    EXPECT_EQ(source(v), "[2] La casa CASA Casa casas Casablanca.\n");

    // Copy the marked "CASA" and paste it at the start: it keeps its marking.
    QTextCursor cursor = pane->textCursor();
    cursor.setPosition(12);
    cursor.setPosition(16, QTextCursor::KeepAnchor);
    pane->setTextCursor(cursor);
    v->MNU_Copy_Click();
    ASSERT_NE(fake.clipboard.mimeData(), nullptr);
    EXPECT_EQ(fake.clipboard.mimeData()->text(), "CASA");
    cursor.setPosition(0);
    pane->setTextCursor(cursor);
    v->MNU_Insert_Click();
    EXPECT_TRUE(source(v).startsWith("CASA[2]"));
    EXPECT_EQ(marked(v).front(), 0);

    // Plain text from elsewhere comes in unchanged.
    auto* plain = new QMimeData;
    plain->setText("<b>x</b>");
    fake.clipboard.setMimeData(plain);
    v->MNU_Insert_Click();
    EXPECT_TRUE(source(v).startsWith("CASA<b>x</b>[2]"));

    // Unselect keeps the insertion point where the selection began.
    cursor.setPosition(4);
    cursor.setPosition(9, QTextCursor::KeepAnchor);
    pane->setTextCursor(cursor);
    v->MNU_Unmark_Click();
    EXPECT_FALSE(pane->textCursor().hasSelection());
    EXPECT_EQ(pane->textCursor().position(), 4);

    // Cut takes the selection away and onto the clipboard.
    cursor.setPosition(0);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    pane->setTextCursor(cursor);
    v->MNU_Cut_Click();
    EXPECT_EQ(fake.clipboard.mimeData()->text(), "CASA");
    EXPECT_TRUE(source(v).startsWith("<b>x</b>[2]"));

    v->MNU_Mark_Click();
    v->MNU_Del_Click();
    EXPECT_EQ(source(v), "");
    v->Command4_Click(); // the next display fills it again from the file
    EXPECT_TRUE(source(v).startsWith("[3]"));
    EXPECT_EQ(target(v), "");
}

TEST_F(ViewerTest, RightButtonOverTheSourcePaneOpensTheEditMenu)
{
    ContextViewer* v = click(1);
    QMenu* edit = v->findChild<QMenu*>("MNU_Edit");
    QTest::mouseClick(v->findChild<QTextEdit*>("label4")->viewport(), Qt::RightButton);
    EXPECT_FALSE(edit->isVisible());
    QTest::mouseClick(v->findChild<QTextEdit*>("label3")->viewport(), Qt::LeftButton);
    EXPECT_FALSE(edit->isVisible());
    QTest::mousePress(v->findChild<QTextEdit*>("label3")->viewport(), Qt::RightButton);
    EXPECT_TRUE(edit->isVisible());
    edit->hide();
}

TEST_F(ViewerTest, PrintsBothPanesAsTheyStandAndReportsAPrinterFailure)
{
    ContextViewer* v = click(1);
    v->findChild<QTextEdit*>("label3")->setPlainText("editado");
    fake.printer.log.clear();
    v->imprimer_Click();
    EXPECT_EQ(fake.dialogs.printerSetups, 1);
    EXPECT_EQ(fake.printer.log[2], "print 'Texto en lengua de origen:' line");
    EXPECT_EQ(fake.printer.log[4], "print 'editado' line");
    EXPECT_EQ(fake.printer.log[8], "print '[1] Une maison.\n' line");
    EXPECT_TRUE(fake.dialogs.shown.empty());

    fake.printer.failAtEnd = true;
    v->imprimer_Click();
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(fake.dialogs.shown.back().text, "la impresora no responde");

    // "Cancelar" in the printer dialog prints nothing.
    fake.printer.log.clear();
    fake.dialogs.printerAccepted = false;
    v->imprimer_Click();
    EXPECT_TRUE(fake.printer.log.empty());
    EXPECT_EQ(fake.dialogs.shown.size(), 1u);
}

TEST_F(ViewerTest, FreshRoadShowsTheNumberedCopiesWithItsOwnLiterals)
{
    search->quitter_Click();
    search = openFresh(dir.write("obra.txt", cp1252("Una casa. Otra casa. Fin.")),
                       dir.write("oeuvre.txt", "Une maison. Une autre maison. Fin."));
    ASSERT_NE(search, nullptr);
    find("casa");
    viewerName = names::frmaff_contexte02;
    ContextViewer* v = click(2);
    ASSERT_NE(v, nullptr);
    EXPECT_FALSE(forms.isLoaded(names::frmaff_contexte));
    EXPECT_EQ(source(v), "[2] Otra casa.\n");
    EXPECT_EQ(target(v), "[2] Une autre maison.\n");
    EXPECT_EQ(marked(v), (std::vector<int>{9, 10, 11, 12}));
    EXPECT_EQ(v->findChild<QMenu*>("MNU_Edit")->title(), QString::fromUtf8("Edición"));
    v->Command4_Click();
    EXPECT_EQ(source(v), "[3] Fin.\n");
    fake.printer.log.clear();
    v->imprimer_Click();
    EXPECT_EQ(fake.printer.log[2], "print 'Texto en lengua de origen :' line");
    // The viewer goes with its search window, and the numbering windows with it.
    search->quitter_Click();
    EXPECT_FALSE(forms.isLoaded(names::frmaff_contexte02));
    EXPECT_FALSE(forms.isLoaded(names::Frmreference));
}

TEST_F(ViewerTest, RowsBeyondSixteenBitsWork)
{
    std::string text;
    for (int s = 1; s <= 40000; ++s) text += "[" + std::to_string(s) + "] casa.\r\n";
    search->quitter_Click();
    search = openPrepared(dir.write("largo.txt", text));
    find("casa");
    gridView()->findChild<QScrollBar*>("scrollBar")->setValue(40000);
    ContextViewer* v = click(40000);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->currentRow(), 40000u);
    EXPECT_EQ(source(v), "[40000] casa.\n");
    EXPECT_FALSE(enabled(v, "Command1"));
    v->Command2_Click();
    EXPECT_EQ(source(v), "[39999] casa.\n");
}

} // namespace
} // namespace solandre
