// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"
#include "forms/form.h"
#include "forms/form_names.h"
#include "windows/search/result_grid_view.h"
#include "windows/search/search_window.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::cp1252;

const std::string kNumbered = cp1252("[1] La casa de Casa.\r\n[2] Las casas.\r\n[3] CASA y caso.\r\n"
                                     "[12] Caso cerrado, casa.\r\n");

class SearchWindowsTest : public testing::WindowTest {
protected:
    QString source = dir.write("obra_source_ref.txt", kNumbered);
    QString target = dir.write("traduction_cible_ref.txt", "[1] x.\r\n");

    SearchWindow* openPrepared(const QString& latin) { return WindowTest::openPrepared(latin, target); }
};

TEST_F(SearchWindowsTest, OpensWithTheHeaderOneEmptyRowAndNoTotal)
{
    SearchWindow* w = openPrepared(source);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->grid().rows(), 2u);
    EXPECT_EQ(w->grid().text(0, 0), "Forma(s)");
    EXPECT_EQ(w->grid().text(0, 1), "Referencia(s)");
    EXPECT_FALSE(w->findChild<QLabel*>("label3")->isVisibleTo(w));
    EXPECT_EQ(total(w), "");
    EXPECT_EQ(w->findChild<QDateTimeEdit*>("DTPicker1")->dateTime(), fake.clock.time);
    EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(SearchWindowsTest, SearchSortAndReferences)
{
    SearchWindow* w = openPrepared(source);
    search(w, "Cas*");
    EXPECT_EQ(rows(w), "casa[1] Casa[1] casas[2] CASA[3] caso[3] Caso[12] casa[12]");
    EXPECT_EQ(total(w), "Cas* = 7");
    EXPECT_TRUE(w->findChild<QLabel*>("label3")->isVisibleTo(w));

    w->findChild<QPushButton*>("Command2")->click();
    // Markers compare as text: "[12]" before "[1]" ("2" before "]").
    EXPECT_EQ(rows(w), "casa[12] casa[1] Casa[1] CASA[3] casas[2] Caso[12] caso[3]");

    w->findChild<QPushButton*>("Command3")->click();
    EXPECT_EQ(rows(w), "casa[1] Casa[1] casas[2] CASA[3] caso[3] Caso[12] casa[12]");

    // "Referencias" searches for what the box holds now.
    w->findChild<QLineEdit*>("Text1")->setText("caso");
    w->findChild<QPushButton*>("Command3")->click();
    EXPECT_EQ(rows(w), "caso[3] Caso[12]");
    EXPECT_EQ(total(w), "caso = 2");
}

TEST_F(SearchWindowsTest, TotalLineShowsTheTypedTextAsTyped)
{
    SearchWindow* w = openPrepared(source);
    search(w, "casa ");
    EXPECT_EQ(total(w), "casa  = 0");
    EXPECT_EQ(w->grid().rows(), 1u);
    search(w, "");
    EXPECT_EQ(total(w), " = 0");
}

TEST_F(SearchWindowsTest, UnreadableSourceIsReportedAndFindsNothing)
{
    SearchWindow* w = openPrepared(dir.path("perdido.txt"));
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_TRUE(fake.dialogs.shown[0].text.contains("perdido.txt"));
    EXPECT_TRUE(w->isVisible());
    search(w, "*");
    EXPECT_EQ(total(w), "* = 0");
}

TEST_F(SearchWindowsTest, PreparedRoadWarnsOfATextThatIsNotNumberedAndSearchesItAnyway)
{
    const QString plain = dir.write("obra.txt", cp1252("La casa. Otra casa."));
    SearchWindow* w = openPrepared(plain);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_TRUE(fake.dialogs.shown[0].text.contains(plain));
    EXPECT_TRUE(fake.dialogs.shown[0].text.contains("no parece un texto numerado"));
    EXPECT_TRUE(fake.dialogs.shown[0].text.contains(QString::fromUtf8("Referenciación y concordancias")));
    EXPECT_TRUE(w->isVisible());
    search(w, "casa");
    EXPECT_EQ(total(w), "casa = 2");
}

// 150 sentences of UTF-8, the 120th with a Windows-1252 "é".
std::string mostlyUtf8(bool numbered)
{
    std::string text;
    for (int k = 1; k <= 150; ++k)
        text += (numbered ? "[" + std::to_string(k) + "] " : "") + "La canci\xC3\xB3n" + (k == 120 ? " caf\xE9" : "") + ".\r\n";
    return text;
}

TEST_F(SearchWindowsTest, AMostlyUtf8TextIsSearchedAsUtf8AndTheReaderToldOnce)
{
    const QString text = dir.write("obra_ref.txt", mostlyUtf8(true));
    SearchWindow* w = openPrepared(text);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    const QString said = fake.dialogs.shown[0].text;
    EXPECT_TRUE(said.contains(text) && said.contains("1 byte") && said.contains(QString::fromUtf8("línea 120")))
        << said.toStdString();
    search(w, QString::fromUtf8("canción"));
    EXPECT_EQ(total(w), QString::fromUtf8("canción = 150"));
    search(w, QString::fromUtf8("café"));
    EXPECT_EQ(total(w), QString::fromUtf8("café = 0")) << "the bad byte is no letter";
    search(w, "caf");
    EXPECT_EQ(total(w), "caf = 1");
    EXPECT_EQ(fake.dialogs.shown.size(), 1u) << "searches say nothing more";
}

TEST_F(SearchWindowsTest, AFileThatIsNotATextIsRefusedAtLoad)
{
    SearchWindow* w = openPrepared(dir.write("obra.pdf", "%PDF-1.4\n%\xE2\xE3"));
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_TRUE(fake.dialogs.shown[0].text.contains("no es un fichero de texto; parece un documento PDF"));
    search(w, "*");
    EXPECT_EQ(total(w), "* = 0");
}

TEST_F(SearchWindowsTest, ClicksOnTheGridMoveTheCurrentCell)
{
    SearchWindow* w = openPrepared(source);
    search(w, "cas*");
    auto* view = w->findChild<ResultGridView*>("grille01");
    QTableView* table = view->table();
    const QModelIndex cell = table->model()->index(2, 0);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());
    EXPECT_EQ(w->grid().row(), 3u);
    EXPECT_EQ(w->grid().rowSel(), 3u);
    EXPECT_EQ(w->grid().col(), 0);
}

TEST_F(SearchWindowsTest, KeysMoveTheCurrentRowWithinTheListAndOpenNothing)
{
    std::string text;
    for (int s = 1; s <= 500; ++s) text += "[" + std::to_string(s) + "] uno.\r\n";
    SearchWindow* w = openPrepared(dir.write("teclas.txt", text));
    search(w, "uno");
    auto* view = w->findChild<ResultGridView*>("grille01");
    QTableView* table = view->table();
    const size_t page = size_t(std::max(1, view->visibleRows() - 1));
    struct Step { const char* name; Qt::Key key; size_t row; };
    const Step steps[] = {
        {"Up from the last row", Qt::Key_Up, 499},
        {"Home goes to the first hit, not the header", Qt::Key_Home, 1},
        {"Up stops at the first hit", Qt::Key_Up, 1},
        {"Down", Qt::Key_Down, 2},
        {"Page Down moves a page less one row", Qt::Key_PageDown, 2 + page},
        {"Page Up", Qt::Key_PageUp, 2},
        {"End goes to the last hit", Qt::Key_End, 500},
        {"Down stops at the last hit", Qt::Key_Down, 500},
    };
    for (const Step& s : steps) {
        QTest::keyClick(table, s.key);
        EXPECT_EQ(w->grid().row(), s.row) << s.name;
        EXPECT_GE(w->grid().row(), view->topRow()) << s.name << ": current row scrolled into view";
        EXPECT_LT(w->grid().row(), view->topRow() + size_t(view->visibleRows())) << s.name;
    }
    EXPECT_FALSE(forms.isLoaded(names::frmaff_contexte));
}

TEST_F(SearchWindowsTest, ALongListShowsOnlyWhatFitsAndScrolls)
{
    std::string text;
    for (int s = 1; s <= 20000; ++s) text += "[" + std::to_string(s) + "] uno dos.\r\n";
    SearchWindow* w = openPrepared(dir.write("largo.txt", text));
    search(w, "*");
    auto* view = w->findChild<ResultGridView*>("grille01");
    const int fit = view->visibleRows();
    ASSERT_GT(fit, 3);
    EXPECT_EQ(view->table()->model()->rowCount(), fit);
    QScrollBar* bar = view->findChild<QScrollBar*>("scrollBar");
    EXPECT_EQ(bar->maximum(), 40000 - fit);
    bar->setValue(bar->maximum());
    const QAbstractItemModel* model = view->table()->model();
    EXPECT_EQ(model->data(model->index(fit - 1, 0)).toString(), "dos");
    EXPECT_EQ(model->data(model->index(fit - 1, 1)).toString(), "[20000]");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Referencia(s)");
}

TEST_F(SearchWindowsTest, PreparedRoadClosesAlone)
{
    SearchWindow* w = openPrepared(source);
    w->findChild<QAction*>("quitter")->trigger();
    EXPECT_FALSE(forms.isLoaded(names::Frmcontexte));
    EXPECT_TRUE(forms.isLoaded(names::frmtexte));
}

class FreshRoadTest : public SearchWindowsTest {
protected:
    SearchWindow* openFresh() { return WindowTest::openFresh(dir.write("obra.txt", cp1252("La casa. Las casas."))); }
};

TEST_F(FreshRoadTest, SearchesTheNewlyNumberedTextAndHidesTheDoneWindow)
{
    SearchWindow* w = openFresh();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(forms.isLoaded(names::Frmreference));
    EXPECT_FALSE(forms.find(names::Frmreference)->isVisible());
    search(w, "CASA");
    EXPECT_EQ(rows(w), "casa[1]");
}

TEST_F(FreshRoadTest, EachMostlyUtf8FileIsNamedOnceThoughReadTwice)
{
    const QString plain = dir.write("texto.txt", mostlyUtf8(false));
    SearchWindow* w = WindowTest::openFresh(plain);
    ASSERT_NE(w, nullptr);
    // The text when numbered, its numbered copy (which keeps the byte) when searched.
    QStringList named;
    for (const Message& m : fake.dialogs.shown)
        if (m.text.contains("UTF-8")) named << m.text.section('"', 1, 1);
    ASSERT_EQ(named.size(), 2) << named.join(" | ").toStdString();
    EXPECT_EQ(named[0], plain);
    EXPECT_TRUE(named[1].endsWith("texto_source_ref.txt")) << named[1].toStdString();
    search(w, QString::fromUtf8("canción"));
    EXPECT_EQ(total(w), QString::fromUtf8("canción = 150"));
}

TEST_F(FreshRoadTest, ClosingUnloadsTheDoneAndNumberingWindows)
{
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "menu");
        SearchWindow* w = openFresh();
        ASSERT_NE(w, nullptr);
        if (closeBox)
            w->close();
        else
            w->findChild<QAction*>("quitter")->trigger();
        EXPECT_FALSE(forms.isLoaded(names::Frmcontexte02));
        EXPECT_FALSE(forms.isLoaded(names::Frmreference));
        EXPECT_FALSE(forms.isLoaded(names::frmnumerotation));
        EXPECT_TRUE(forms.isLoaded(names::frmtexte));
    }
}

} // namespace
} // namespace solandre
