// SPDX-License-Identifier: GPL-3.0-or-later
// A collection opened from the main window as a user does: the folder
// chosen, the list of what it holds, the search over every pair, "Formas"
// across texts and the hit's own pair under the list.

#include "forms/form_names.h"
#include "support/window_fixture.h"
#include "windows/collection/collection_search_window.h"
#include "windows/collection/collection_window.h"
#include "windows/widgets/windowed_table.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace solandre {
namespace {

class CollectionWindowsTest : public testing::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        dir.write("col/obra_source_ref.txt", "[1] Casa grande.\r\n[2] Una casa.\r\n");
        dir.write("col/obra_cible_ref.txt", "[1] Grande maison.\r\n[2] Une maison.\r\n");
        dir.write("col/sub/cap1.es.txt", "La casa. Otra cosa. Tres.");
        dir.write("col/sub/cap1.fr.txt", "La maison. Autre chose.");
        dir.write("col/notas.txt", "Sin lengua.");
    }

    CollectionWindow* openCollection()
    {
        forms.show(names::frmtexte);
        fake.dialogs.fileNames.push_back(dir.path("col"));
        forms.find(names::frmtexte)->findChild<QAction*>("collection")->trigger();
        return dynamic_cast<CollectionWindow*>(forms.find(names::frmcollection));
    }

    static void click(QWidget* window, const char* button)
    {
        auto* b = window->findChild<QPushButton*>(button);
        ASSERT_TRUE(b) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    }

    static std::vector<std::string> cells(QTableWidget* table, int column)
    {
        std::vector<std::string> out;
        for (int row = 0; row < table->rowCount(); ++row) out.push_back(table->item(row, column)->text().toStdString());
        return out;
    }

    static std::vector<std::string> listed(CollectionSearchWindow* w)
    {
        const QAbstractItemModel* model = w->findChild<WindowedTable*>("grille01")->table()->model();
        std::vector<std::string> out;
        for (int row = 0; row < model->rowCount(); ++row)
            out.push_back((model->data(model->index(row, 0)).toString() + " " +
                           model->data(model->index(row, 1)).toString() + " " +
                           model->data(model->index(row, 2)).toString())
                              .toStdString());
        return out;
    }
};

TEST_F(CollectionWindowsTest, TheListSaysWhatThePairsAreAndWhatWasSetAside)
{
    CollectionWindow* w = openCollection();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    auto* pairs = w->findChild<QTableWidget*>("paires");
    EXPECT_EQ(cells(pairs, 0), (std::vector<std::string>{"obra", "sub/cap1"}));
    EXPECT_EQ(cells(pairs, 2), (std::vector<std::string>{"2", "3"}));
    EXPECT_EQ(cells(pairs, 3), (std::vector<std::string>{"2", "2"}));
    EXPECT_EQ(cells(pairs, 4), (std::vector<std::string>{"sí", "no"}));
    auto* aside = w->findChild<QTableWidget*>("apartes");
    EXPECT_EQ(cells(aside, 0), (std::vector<std::string>{"notas.txt"}));
    EXPECT_EQ(w->findChild<QLabel*>("resume")->text(),
              QStringLiteral("2 pares, 1 no se corresponde frase a frase; 1 fichero apartado"));
    EXPECT_TRUE(w->findChild<QPushButton*>("aligner_tous")->isEnabled());

    click(w, "aligner_tous");
    EXPECT_EQ(cells(pairs, 4), (std::vector<std::string>{"sí", "alineado"}));
    EXPECT_FALSE(w->findChild<QPushButton*>("aligner_tous")->isEnabled());
}

TEST_F(CollectionWindowsTest, EachPairShowsItsLanguagesByItsNamesOrAsItsMemoryNamesThem)
{
    dir.write("col/mem.tmx", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tmx version=\"1.4\"><header "
                             "srclang=\"es-ES\" datatype=\"plaintext\" segtype=\"sentence\" adminlang=\"es\" "
                             "o-tmf=\"x\" creationtool=\"x\" creationtoolversion=\"1\"/><body><tu><tuv "
                             "xml:lang=\"es-ES\"><seg>Una casa.</seg></tuv><tuv xml:lang=\"fr-FR\"><seg>Une "
                             "maison.</seg></tuv></tu></body></tmx>\n");
    CollectionWindow* w = openCollection();
    ASSERT_TRUE(w);
    auto* pairs = w->findChild<QTableWidget*>("paires");
    EXPECT_EQ(cells(pairs, 0), (std::vector<std::string>{"mem", "obra", "sub/cap1"}));
    EXPECT_EQ(cells(pairs, 1), (std::vector<std::string>{"es-ES → fr-FR", "", "es → fr"}));
}

TEST_F(CollectionWindowsTest, TheTotalOfAHebrewQueryReadsQueryThenCount)
{
    dir.write("col/sefer_source_ref.txt", "[1] הספר על השולחן.\r\n");
    dir.write("col/sefer_cible_ref.txt", "[1] El libro sobre la mesa.\r\n");
    CollectionWindow* w = openCollection();
    ASSERT_TRUE(w);
    click(w, "chercher");
    auto* search = dynamic_cast<CollectionSearchWindow*>(forms.find(names::frmcollection_recherche));
    ASSERT_TRUE(search);
    search->findChild<QLineEdit*>("Text1")->setFocus();
    typeText(search->findChild<QLineEdit*>("Text1"), QString::fromUtf8("הספר"));
    QTest::keyClick(search->findChild<QLineEdit*>("Text1"), Qt::Key_Return);
    const QString shown = search->findChild<QLabel*>("label3")->text();
    EXPECT_FALSE(shown.isRightToLeft()) << "the count would stand first: " << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(" = 1")) << shown.toStdString();
}

TEST_F(CollectionWindowsTest, OneSearchOverEveryPairShowsEachHitWithItsOwnPair)
{
    CollectionWindow* w = openCollection();
    ASSERT_TRUE(w);
    click(w, "chercher");
    auto* search = dynamic_cast<CollectionSearchWindow*>(forms.find(names::frmcollection_recherche));
    ASSERT_TRUE(search);
    EXPECT_TRUE(search->isVisible());
    search->resize(1000, 900); // room for every row: the table shows only what fits
    QCoreApplication::processEvents();
    auto* box = search->findChild<QLineEdit*>("Text1");
    QTest::keyClicks(box, "cas*");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(search->findChild<QLabel*>("label3")->text(), "cas* = 3");
    EXPECT_EQ(listed(search), (std::vector<std::string>{"obra Casa [1]", "obra casa [2]", "sub/cap1 casa [1]"}));

    // The first hit is shown at once; the keys move through the others.
    auto* source = search->findChild<QTextEdit*>("RichTextBox1");
    auto* target = search->findChild<QTextEdit*>("RichTextBox2");
    EXPECT_EQ(source->toPlainText(), "obra [1] Casa grande.");
    EXPECT_EQ(target->toPlainText(), "obra [1] Grande maison.");
    QTableView* table = search->findChild<WindowedTable*>("grille01")->table();
    QTest::keyClick(table, Qt::Key_End);
    EXPECT_EQ(source->toPlainText(), "sub/cap1 [1] La casa.");
    EXPECT_EQ(target->toPlainText(), "sub/cap1 [1] La maison.");

    box->clear();
    QTest::keyClicks(box, "*a");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(search->findChild<QLabel*>("label3")->text(), "*a = 7");
    click(search, "formes");
    EXPECT_EQ(listed(search), (std::vector<std::string>{"obra Casa [1]", "obra casa [2]", "sub/cap1 casa [1]",
                                                         "sub/cap1 cosa [2]", "sub/cap1 La [1]", "sub/cap1 Otra [2]",
                                                         "obra Una [2]"}));
}

TEST_F(CollectionWindowsTest, RegularExpressionsAndConditionsOnEachPairsOwnTranslation)
{
    CollectionWindow* w = openCollection();
    ASSERT_TRUE(w);
    click(w, "chercher");
    auto* search = dynamic_cast<CollectionSearchWindow*>(forms.find(names::frmcollection_recherche));
    ASSERT_TRUE(search);
    EXPECT_FALSE(search->findChild<QCheckBox*>("traduction")->isVisibleTo(search))
        << "the texts of a collection cannot change places";
    auto* box = search->findChild<QLineEdit*>("Text1");
    auto* regex = search->findChild<QCheckBox*>("expression");
    auto* test = search->findChild<QComboBox*>("condition");
    auto* condition = search->findChild<QLineEdit*>("Text2");
    struct Case {
        const char* name;
        bool regex;
        const char* typed;
        const char* condition; // typed in the condition's box: "contiene"
        bool lacks;            // then one step down: "no contiene"
        const char* total;
    };
    const Case cases[] = {
        {"a pattern", false, "cas*", "", false, "cas* = 3"},
        {"a regular expression", true, "ca(s|n)a", "", false, "ca(s|n)a = 3"},
        {"contains, in each pair's own translation", false, "cas*", "grande", false, "cas* = 1"},
        {"lacks", false, "cas*", "grande", true, "cas* = 2"},
        {"a malformed expression", true, "(casa", "", false, "(casa = 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (regex->isChecked() != c.regex) QTest::mouseClick(regex, Qt::LeftButton, {}, QPoint(5, regex->height() / 2));
        condition->clear();
        test->setCurrentIndex(0);
        QTest::keyClicks(condition, c.condition);
        if (c.lacks) QTest::keyClick(test, Qt::Key_Down);
        box->clear();
        QTest::keyClicks(box, c.typed);
        fake.dialogs.shown.clear();
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(search->findChild<QLabel*>("label3")->text().toStdString(), c.total);
        EXPECT_EQ(fake.dialogs.shown.size(), std::string(c.name) == "a malformed expression" ? 1u : 0u);
    }
}

TEST_F(CollectionWindowsTest, TheHitIsMarkedInItsSentenceNotInThePairsName)
{
    dir.write("rio/casa.es.txt", "Era la casa del molino. Nada.");
    dir.write("rio/casa.fr.txt", "C'était la maison de la rivière. Rien.");
    forms.show(names::frmtexte);
    fake.dialogs.fileNames.push_back(dir.path("rio"));
    forms.find(names::frmtexte)->findChild<QAction*>("collection")->trigger();
    auto* w = forms.find(names::frmcollection);
    ASSERT_TRUE(w);
    click(w, "chercher");
    auto* search = dynamic_cast<CollectionSearchWindow*>(forms.find(names::frmcollection_recherche));
    ASSERT_TRUE(search);
    auto* box = search->findChild<QLineEdit*>("Text1");
    auto* source = search->findChild<QTextEdit*>("RichTextBox1");
    auto boldAt = [&](const QString& part) {
        QTextCursor cursor(source->document());
        const int at = int(source->toPlainText().indexOf(part));
        cursor.setPosition(at + 1);
        return cursor.charFormat().fontWeight() == QFont::Bold;
    };
    for (const char* typed : {"casa", "casa del molino"}) {
        SCOPED_TRACE(typed);
        box->clear();
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Return);
        ASSERT_EQ(source->toPlainText(), QStringLiteral("casa [1] Era la casa del molino."));
        EXPECT_FALSE(boldAt(QStringLiteral("casa [1]"))) << "the pair's name";
        EXPECT_TRUE(boldAt(QStringLiteral("casa del")));
        EXPECT_EQ(boldAt(QStringLiteral("molino")), std::string(typed) != "casa");
    }
}

} // namespace
} // namespace solandre
