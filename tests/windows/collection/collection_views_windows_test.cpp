// SPDX-License-Identifier: GPL-3.0-or-later
// The views of a collection's search opened as a user opens them, with the
// buttons of the search window: the lines of every hit with their text, the
// frequencies across texts and the candidates over every pair, each following
// the searches made after it opened.

#include "forms/form_names.h"
#include "support/window_fixture.h"
#include "windows/collection/collection_candidates_window.h"
#include "windows/collection/collection_search_window.h"
#include "windows/collection/collection_window.h"
#include "windows/widgets/windowed_table.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace solandre {
namespace {

class CollectionViewsTest : public testing::WindowTest {
protected:
    CollectionSearchWindow* search = nullptr;

    void SetUp() override
    {
        WindowTest::SetUp();
        dir.write("col/obra_source_ref.txt", "[1] Casa grande.\r\n[2] Una casa.\r\n");
        dir.write("col/obra_cible_ref.txt", "[1] Grande maison.\r\n[2] Une maison.\r\n");
        dir.write("col/sub/cap1.es.txt", "La casa. Otra cosa. Tres.");
        dir.write("col/sub/cap1.fr.txt", "La maison. Autre chose.");
        forms.show(names::frmtexte);
        fake.dialogs.fileNames.push_back(dir.path("col"));
        forms.find(names::frmtexte)->findChild<QAction*>("collection")->trigger();
        Form* list = forms.find(names::frmcollection);
        ASSERT_TRUE(list);
        click(list, "chercher");
        search = dynamic_cast<CollectionSearchWindow*>(forms.find(names::frmcollection_recherche));
        ASSERT_TRUE(search);
        search->resize(1000, 900);
    }

    void searchFor(const char* typed)
    {
        auto* box = search->findChild<QLineEdit*>("Text1");
        box->clear();
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Return);
    }

    static void click(QWidget* window, const char* button)
    {
        auto* b = window->findChild<QPushButton*>(button);
        ASSERT_TRUE(b) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    }

    Form* open(const char* button, const char* name)
    {
        click(search, button);
        Form* view = forms.find(name);
        EXPECT_TRUE(view && view->isVisible()) << name;
        if (view) view->resize(1200, 800); // room for every row
        QCoreApplication::processEvents();
        return view;
    }

    // The cells of every row, joined by "|".
    static std::vector<std::string> shown(Form* window, const char* table)
    {
        const QAbstractItemModel* model = window->findChild<WindowedTable*>(table)->table()->model();
        std::vector<std::string> rows;
        for (int r = 0; r < model->rowCount(); ++r) {
            std::string row;
            for (int c = 0; c < model->columnCount(); ++c)
                row += (c ? "|" : "") + model->data(model->index(r, c)).toString().toStdString();
            rows.push_back(row);
        }
        return rows;
    }

    static std::vector<std::string> words(Form* window)
    {
        auto* table = window->findChild<QTableWidget*>("liste");
        std::vector<std::string> out;
        for (int row = 0; row < table->rowCount(); ++row)
            out.push_back(table->item(row, 0)->text().toStdString() + " " + table->item(row, 3)->text().toStdString() +
                          "/" + table->item(row, 4)->text().toStdString());
        return out;
    }

    static QString text(Form* window, const char* label) { return window->findChild<QLabel*>(label)->text(); }
};

TEST_F(CollectionViewsTest, LinesShowEveryHitWithItsTextSortAcrossTextsAndLeadTheSearch)
{
    searchFor("casa");
    Form* lines = open("lignes", names::frmcollection_lignes);
    ASSERT_TRUE(lines);
    EXPECT_EQ(text(lines, "label4"), "casa = 3");
    EXPECT_EQ(shown(lines, "lignes"), (std::vector<std::string>{"obra||Casa|grande.|[1]", "obra|Una|casa|.|[2]",
                                                                 "sub/cap1|La|casa|.|[1]"}));
    click(lines, "trier_gauche1");
    EXPECT_EQ(shown(lines, "lignes"), (std::vector<std::string>{"obra||Casa|grande.|[1]", "sub/cap1|La|casa|.|[1]",
                                                                 "obra|Una|casa|.|[2]"}));
    // "1.ª &derecha" from the keyboard; stable: the lines without a word
    // on the right keep the order of the sort before.
    lines->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(lines));
    QSignalSpy pressed(lines->findChild<QPushButton*>("trier_droite1"), &QPushButton::clicked);
    QTest::keyClick(lines, Qt::Key_D, Qt::AltModifier);
    ASSERT_TRUE(pressed.count() == 1 || pressed.wait(2000)) << "a button pressed by its shortcut shows it";
    EXPECT_EQ(shown(lines, "lignes"), (std::vector<std::string>{"sub/cap1|La|casa|.|[1]", "obra|Una|casa|.|[2]",
                                                                 "obra||Casa|grande.|[1]"}));

    // A click on a line: its translation under the list, and the search
    // window's current hit, its sentences shown there.
    WindowedTable* view = lines->findChild<WindowedTable*>("lignes");
    QTableView* table = view->table();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(int(1 - view->topRow()), 1)).center());
    EXPECT_EQ(lines->findChild<QTextEdit*>("traduction")->toPlainText(), "obra [2] Une maison.");
    EXPECT_EQ(search->findChild<QTextEdit*>("RichTextBox1")->toPlainText(), "obra [2] Una casa.");
    QTest::keyClick(table, Qt::Key_Up);
    EXPECT_EQ(lines->findChild<QTextEdit*>("traduction")->toPlainText(), "sub/cap1 [1] La maison.");

    // The next search is followed.
    searchFor("cosa");
    EXPECT_EQ(text(lines, "label4"), "cosa = 1");
    EXPECT_EQ(shown(lines, "lignes"), (std::vector<std::string>{"sub/cap1|Otra|cosa|.|[2]"}));
}

TEST_F(CollectionViewsTest, FrequenciesCountEachFormOverEveryText)
{
    searchFor("*a");
    Form* frequencies = open("frequences", names::frmcollection_frequences);
    ASSERT_TRUE(frequencies);
    EXPECT_EQ(text(frequencies, "label4"), "*a = 5 forma(s), 7 ocurrencia(s)");
    EXPECT_EQ(shown(frequencies, "formes"),
              (std::vector<std::string>{"casa|3", "cosa|1", "la|1", "otra|1", "una|1"}));
    click(frequencies, "trier_alpha");
    click(search, "formes"); // a sort of the search changes no count, nor the list's order
    EXPECT_EQ(shown(frequencies, "formes"), (std::vector<std::string>{"casa|3", "cosa|1", "la|1", "otra|1", "una|1"}));
    searchFor("c*");
    EXPECT_EQ(shown(frequencies, "formes"), (std::vector<std::string>{"casa|3", "cosa|1"}));
    click(frequencies, "trier_nombre");
    EXPECT_EQ(text(frequencies, "label4"), "c* = 2 forma(s), 4 ocurrencia(s)");
}

TEST_F(CollectionViewsTest, FrequenciesNameAQueryHoldingAPercentSignAsTyped)
{
    // Its "%2" is the query's own, not a place for the counts.
    searchFor("casa%2");
    Form* frequencies = open("frequences", names::frmcollection_frequences);
    ASSERT_TRUE(frequencies);
    EXPECT_EQ(text(frequencies, "label4"), "casa%2 = 0 forma(s), 0 ocurrencia(s)");
}

TEST_F(CollectionViewsTest, CandidatesAreCountedOverEveryPairAndFollowTheSearch)
{
    searchFor("casa");
    Form* candidates = open("candidats", names::frmcollection_candidats);
    ASSERT_TRUE(candidates);
    // Four sentence pairs in the two texts, three with the form.
    EXPECT_EQ(text(candidates, "label3"), "Pares de frases : 4    con la forma : 3");
    const std::vector<std::string> listed = words(candidates);
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed.front(), "maison 3/3");

    // A form typed in the box, found in every pair.
    auto* box = candidates->findChild<QLineEdit*>("Text1");
    box->clear();
    QTest::keyClicks(box, "cosa");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(words(candidates), (std::vector<std::string>{"autre 1/1", "chose 1/1"}));
    EXPECT_EQ(text(search, "label3"), "casa = 3") << "the search is left as it was";
    click(search, "formes");
    EXPECT_EQ(box->text(), "cosa") << "a sort of the same hits is not counted again";

    searchFor("nada");
    EXPECT_EQ(box->text(), "nada");
    EXPECT_TRUE(words(candidates).empty());
    EXPECT_TRUE(candidates->findChild<QLabel*>("label5")->isVisibleTo(candidates));
}

TEST_F(CollectionViewsTest, TheViewsGoWithTheSearchWindow)
{
    searchFor("casa");
    for (const char* button : {"lignes", "frequences", "candidats"}) click(search, button);
    click(search, "fermer");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const char* view : {names::frmcollection_lignes, names::frmcollection_frequences,
                             names::frmcollection_candidats})
        EXPECT_FALSE(forms.find(view)) << view;

    // A new search window, and new views reading it.
    click(forms.find(names::frmcollection), "chercher");
    search = dynamic_cast<CollectionSearchWindow*>(forms.find(names::frmcollection_recherche));
    ASSERT_TRUE(search);
    searchFor("cosa");
    Form* lines = open("lignes", names::frmcollection_lignes);
    ASSERT_TRUE(lines);
    EXPECT_EQ(shown(lines, "lignes"), (std::vector<std::string>{"sub/cap1|Otra|cosa|.|[2]"}));
}

} // namespace
} // namespace solandre
