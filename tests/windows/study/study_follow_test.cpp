// SPDX-License-Identifier: GPL-3.0-or-later
// The study windows follow every search of their search window and name
// the query searched; the viewer opened from the lines steps in their order.
#include "study_fixture.h"

#include "windows/viewer/context_viewer.h"
#include "windows/widgets/windowed_table.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

namespace solandre {
namespace {

using testing::StudyTest;

class StudyFollowTest : public StudyTest {
protected:
    static QStringList candidates(Form* w)
    {
        auto* list = w->findChild<QTableWidget*>("liste");
        QStringList words;
        for (int r = 0; r < list->rowCount(); ++r) words << list->item(r, 0)->text();
        return words;
    }
    // The words of the viewer's translated sentence marked in green.
    static QStringList green(ContextViewer* v)
    {
        QTextEdit* edit = v->findChild<QTextEdit*>("label4");
        const QString text = edit->toPlainText();
        QStringList words;
        QString word;
        QTextCursor cursor(edit->document());
        for (int p = 0; p <= text.size(); ++p) {
            bool in = false;
            if (p < text.size()) {
                cursor.setPosition(p + 1);
                in = cursor.charFormat().foreground().color() == QColor(0, 128, 0);
            }
            if (in) {
                word += text[p];
            } else if (!word.isEmpty()) {
                words << word;
                word.clear();
            }
        }
        return words;
    }
    static QString source(ContextViewer* v) { return v->findChild<QTextEdit*>("label3")->toPlainText(); }
    static void press(Form* w, const char* button)
    {
        auto* b = w->findChild<QPushButton*>(button);
        QTest::mouseClick(b, Qt::LeftButton);
    }
};

TEST_F(StudyFollowTest, EveryWindowFollowsANewSearchAndNamesTheQuerySearched)
{
    searchFor("casa");
    Form* lines = open("kwic", names::frmlignes);
    Form* frequencies = open("frequences", names::frmfrequences);
    Form* found = open("candidats", names::frmcandidats);
    EXPECT_EQ(text(lines, "label4"), "casa = 4");
    EXPECT_EQ(found->findChild<QLineEdit*>("Text1")->text(), "casa");
    EXPECT_EQ(candidates(found).value(0), "maison");

    searchFor("río");
    EXPECT_EQ(text(lines, "label4"), QString::fromUtf8("río = 2"));
    EXPECT_EQ(shown(table(lines, "lignes")).front(), "El|río|pasa.|[3]");
    EXPECT_EQ(text(frequencies, "label4"), QString::fromUtf8("río = 1 forma(s), 2 ocurrencia(s)"));
    EXPECT_EQ(found->findChild<QLineEdit*>("Text1")->text(), QString::fromUtf8("río"));
    EXPECT_EQ(candidates(found).value(0), QString::fromUtf8("rivière")) << "the candidates follow too";

    // Typed, not searched: every caption still names the search made.
    typeInto(search->findChild<QLineEdit*>("Text1"), "perro");
    menu(search, "kwic");
    menu(search, "frequences");
    menu(search, "candidats");
    EXPECT_EQ(text(lines, "label4"), QString::fromUtf8("río = 2"));
    EXPECT_EQ(text(frequencies, "label4"), QString::fromUtf8("río = 1 forma(s), 2 ocurrencia(s)"));
    EXPECT_EQ(found->findChild<QLineEdit*>("Text1")->text(), QString::fromUtf8("río"));
    EXPECT_EQ(candidates(found).value(0), QString::fromUtf8("rivière"));

    // "Formas" sorts the grid: no new search, nothing computed again.
    fake.dialogs.shown.clear();
    search->findChild<QPushButton*>("Command2")->click();
    EXPECT_EQ(text(lines, "label4"), QString::fromUtf8("río = 2"));
    EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(StudyFollowTest, BeforeAnySearchTheWindowsNameNothing)
{
    typeInto(search->findChild<QLineEdit*>("Text1"), "perro");
    Form* lines = open("kwic", names::frmlignes);
    Form* found = open("candidats", names::frmcandidats);
    EXPECT_EQ(text(lines, "label4"), "");
    EXPECT_EQ(table(lines, "lignes")->emptyText(), "");
    EXPECT_EQ(found->findChild<QLineEdit*>("Text1")->text(), "");
    EXPECT_TRUE(candidates(found).isEmpty());
    EXPECT_TRUE(fake.dialogs.shown.empty());
}

// "[4] La rivière et la maison." holds the translations of both searches.
TEST_F(StudyFollowTest, TheViewersGreenMarksFollowTheCandidates)
{
    const QString river = QString::fromUtf8("rivière");
    searchFor("casa");
    clickRow(table(open("kwic", names::frmlignes), "lignes"), 3); // [4] El río y la casa.
    open("candidats", names::frmcandidats);
    ASSERT_NE(viewer(), nullptr);
    EXPECT_TRUE(green(viewer()).contains("maison"));
    EXPECT_FALSE(green(viewer()).contains(river));

    searchFor("río");
    EXPECT_TRUE(green(viewer()).contains(river)) << "the marks of the new search's candidates";
    EXPECT_FALSE(green(viewer()).contains("maison"));
}

TEST_F(StudyFollowTest, AQueryWithoutAnyHitSaysSoInEachWindow)
{
    searchFor("casa");
    Form* lines = open("kwic", names::frmlignes);
    Form* frequencies = open("frequences", names::frmfrequences);
    Form* found = open("candidats", names::frmcandidats);
    EXPECT_EQ(table(lines, "lignes")->emptyText(), "");
    EXPECT_TRUE(found->findChild<QLabel*>("label5")->isHidden());

    searchFor("perro");
    const QString said = QString::fromUtf8("Ninguna ocurrencia de «perro» en el texto.");
    EXPECT_EQ(text(lines, "label4"), "perro = 0");
    EXPECT_EQ(table(lines, "lignes")->emptyText(), said);
    EXPECT_EQ(table(frequencies, "formes")->emptyText(), said);
    EXPECT_TRUE(candidates(found).isEmpty());
    EXPECT_FALSE(found->findChild<QLabel*>("label5")->isHidden());
    EXPECT_EQ(text(found, "label5"), QString::fromUtf8("«perro» no está en ninguna frase del texto: no hay nada que comparar."));

    // Hits, but no word of the translation goes with them.
    searchFor("la");
    EXPECT_EQ(table(lines, "lignes")->emptyText(), "") << "a list with lines says nothing more";
    auto* box = found->findChild<QLineEdit*>("Text1");
    box->clear();
    typeInto(box, "*"); // every sentence: no word of the translation stands out
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(text(found, "label5"),
              QString::fromUtf8("Ninguna palabra de la traducción va con «*» más a menudo que por azar."));
}

TEST_F(StudyFollowTest, AViewerOpenedFromTheLinesStepsInTheLinesOrder)
{
    searchFor("casa"); // grid rows: [1] [1] [2] [4]
    Form* lines = open("kwic", names::frmlignes);
    press(lines, "trier_droite1"); // by the word on the right: none, blanca, dijo, roja
    EXPECT_EQ(shown(table(lines, "lignes")),
              (std::vector<std::string>{"El río y la|casa|.|[4]", "La|casa|blanca y la casa roja.|[1]",
                                        "Otra|casa|, dijo él.|[2]", "La casa blanca y la|casa|roja.|[1]"}));
    clickRow(table(lines, "lignes"), 2);
    ContextViewer* v = viewer();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(source(v), QString::fromUtf8("[2] Otra casa, dijo él.\n"));
    press(v, "Command1"); // "Contexto siguiente"
    EXPECT_EQ(search->grid().row(), 2u) << "the last line's hit, not the grid's next row";
    EXPECT_EQ(table(lines, "lignes")->currentRow(), 3u) << "the list's current line follows";
    EXPECT_FALSE(v->findChild<QPushButton*>("Command1")->isEnabled()) << "the last line";
    for (int k = 0; k < 3; ++k) press(v, "Command2");
    EXPECT_EQ(source(v), QString::fromUtf8("[4] El río y la casa.\n"));
    EXPECT_EQ(table(lines, "lignes")->currentRow(), 0u);
    EXPECT_FALSE(v->findChild<QPushButton*>("Command2")->isEnabled()) << "the first line";
    press(v, "Command1");
    EXPECT_EQ(search->grid().row(), 1u);

    // Sorted again, the lines no longer hold the hit shown where it was: the grid's order.
    press(lines, "trier_droite2");
    press(v, "Command1");
    EXPECT_EQ(search->grid().row(), 2u);
    EXPECT_EQ(v->currentRow(), 2u);

    // Opened from the grid, the viewer steps in the grid's order.
    v->findChild<QAction*>("fermer")->trigger();
    QTableView* grid = search->findChild<QTableView*>("table");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(2, 0)).center());
    ASSERT_NE(viewer(), nullptr);
    press(viewer(), "Command1");
    EXPECT_EQ(search->grid().row(), 4u);
}

} // namespace
} // namespace solandre
