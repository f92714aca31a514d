// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/form.h"
#include "forms/form_names.h"
#include "windows/search/search_window.h"
#include "windows/viewer/context_viewer.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::cp1252;

const std::string kSource = cp1252("[1] La casa del río.\r\n[2] Casa, del\r\nrío y la casa.\r\n[3] Una casa sola.\r\n");
const std::string kTarget = "[1] La maison de la rivière.\r\n[2] Maison et rivière.\r\n[3] Une maison seule.\r\n";

class AdvancedSearchTest : public testing::WindowTest {
protected:
    QString sourcePath = dir.write("obra_source_ref.txt", kSource);
    QString targetPath = dir.write("obra_cible_ref.txt", kTarget);
    SearchWindow* w = nullptr;

    void SetUp() override
    {
        WindowTest::SetUp();
        w = openPrepared(sourcePath, targetPath);
        ASSERT_NE(w, nullptr);
    }
    template <class T> T* control(const char* name) { return w->findChild<T*>(name); }
    // Types into a box as the user does, replacing what it held.
    void type(const char* box, const QString& text)
    {
        QLineEdit* edit = control<QLineEdit>(box);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        typeText(edit, text);
    }
    // Types the query and presses Enter.
    void ask(const QString& typed)
    {
        type("Text1", typed);
        QTest::keyClick(control<QLineEdit>("Text1"), Qt::Key_Return);
    }
    void click(const char* box)
    {
        QCheckBox* check = control<QCheckBox>(box);
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
    }
    void chooseTest(int index)
    {
        QComboBox* combo = control<QComboBox>("condition");
        combo->setFocus();
        while (combo->currentIndex() < index) QTest::keyClick(combo, Qt::Key_Down);
        while (combo->currentIndex() > index) QTest::keyClick(combo, Qt::Key_Up);
    }
    QString status() { return control<QLabel>("label5")->text(); }
};

TEST_F(AdvancedSearchTest, TheFirstControlsKeepTheirPlacesAndTheNewRowStandsBelowThem)
{
    struct Place {
        const char* name;
        int left, top, width, height; // twips, in the control's parent
    };
    const Place places[] = {
        {"Frame2", 240, 840, 6015, 975}, {"Text1", 120, 360, 3615, 315},   {"Command1", 3960, 240, 1815, 615},
        {"Frame1", 120, 1920, 9855, 5055}, {"label3", 360, 360, 3135, 255}, {"label4", 3480, 360, 3135, 255},
        {"grille01", 360, 720, 7095, 4215}, {"Command2", 7920, 840, 1695, 495}, {"Command3", 7905, 1440, 1695, 495},
        {"DTPicker1", 6480, 1200, 3360, 375},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.name);
        QWidget* c = control<QWidget>(p.name);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->geometry(), QRect(twips(p.left), twips(p.top), twips(p.width), twips(p.height)));
    }
    QGroupBox* advanced = control<QGroupBox>("Frame4");
    ASSERT_NE(advanced, nullptr);
    EXPECT_EQ(advanced->title(), QString::fromUtf8("Búsqueda avanzada :"));
    EXPECT_GE(advanced->geometry().top(), control<QWidget>("Frame1")->geometry().bottom());
    EXPECT_TRUE(advanced->isVisibleTo(w));
}

TEST_F(AdvancedSearchTest, APhraseIsFoundAndTheStatusSaysHowItWasRead)
{
    ask(QString::fromUtf8("casa del río"));
    EXPECT_EQ(rows(w), cp1252("casa del río[1] Casa, del río[2]"));
    EXPECT_EQ(total(w), QString::fromUtf8("casa del río = 2"));
    EXPECT_TRUE(status().contains(QString::fromUtf8("3 palabras seguidas en una frase: «casa», luego «del», luego «río»")))
        << status().toStdString();

    // A single form as ever, and a status that says nothing.
    ask("casa");
    EXPECT_EQ(rows(w), "casa[1] Casa[2] casa[2] casa[3]");
    EXPECT_EQ(status(), "");
    // One that cannot be found says why.
    ask("casa,del");
    EXPECT_EQ(total(w), "casa,del = 0");
    EXPECT_TRUE(status().contains(QString::fromUtf8("sepárelas con un espacio"))) << status().toStdString();
    EXPECT_TRUE(fake.dialogs.shown.empty());
}

// A phrase with a condition on another phrase is said in two lines: both
// are shown whole, from the top of the status, and the whole status is
// its tip too.
TEST_F(AdvancedSearchTest, AStatusOfTwoLinesIsShownWhole)
{
    w->show();
    type("Text2", "maison de la");
    ask(QString::fromUtf8("la casa del río"));
    QLabel* said = control<QLabel>("label5");
    ASSERT_TRUE(status().contains(QString::fromUtf8("La frase traducida contiene"))) << status().toStdString();
    const QRect needed = said->fontMetrics().boundingRect(QRect(0, 0, said->width(), 10000),
                                                          Qt::TextWordWrap | Qt::AlignTop, status());
    ASSERT_GT(needed.height(), said->fontMetrics().height()) << "the status fits one line: no test";
    EXPECT_LE(needed.height(), said->height());
    EXPECT_TRUE(said->alignment() & Qt::AlignTop);
    EXPECT_EQ(said->toolTip(), status());
}

TEST_F(AdvancedSearchTest, TheCheckBoxReadsEachWordAsAnExpressionAndAFaultIsNamed)
{
    click("expression");
    ASSERT_TRUE(control<QCheckBox>("expression")->isChecked());
    ask("ca(s|n)a d.l");
    EXPECT_EQ(rows(w), "casa del[1] Casa, del[2]");
    EXPECT_TRUE(status().contains("expresiones regulares")) << status().toStdString();

    ask("ca(sa");
    EXPECT_EQ(total(w), "ca(sa = 0");
    EXPECT_EQ(w->grid().hitCount(), 0u);
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_TRUE(fake.dialogs.shown[0].text.contains(QString::fromUtf8("«ca(sa» no es válida: falta un paréntesis")))
        << fake.dialogs.shown[0].text.toStdString();
    EXPECT_EQ(status(), fake.dialogs.shown[0].text);
}

TEST_F(AdvancedSearchTest, AConditionOnTheTranslatedSentenceKeepsOrDropsEachHit)
{
    type("Text2", "maison de la");
    // Typing a condition chooses "contiene".
    EXPECT_EQ(control<QComboBox>("condition")->currentText(), "contiene");
    ask("casa");
    EXPECT_EQ(rows(w), "casa[1]");
    EXPECT_TRUE(status().contains(QString::fromUtf8("La frase traducida contiene «maison de la»"))) << status().toStdString();

    chooseTest(2); // "no contiene"
    QTest::keyClick(control<QLineEdit>("Text2"), Qt::Key_Return); // Enter in the condition searches too
    EXPECT_EQ(rows(w), "Casa[2] casa[2] casa[3]");
    EXPECT_EQ(total(w), "casa = 3");

    chooseTest(0); // no condition: the text typed there is ignored
    ask("casa");
    EXPECT_EQ(w->grid().hitCount(), 4u);
    EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(AdvancedSearchTest, AConditionWithoutATranslationSaysWhatIsMissing)
{
    forms.unload(names::Frmcontexte);
    w = openPrepared(sourcePath, QString());
    type("Text2", "maison");
    ask("casa");
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_TRUE(fake.dialogs.shown[0].text.contains("lengua meta")) << fake.dialogs.shown[0].text.toStdString();
    EXPECT_EQ(w->grid().hitCount(), 0u);
}

// A translation not numbered pairs no sentence by its number: the condition
// can hold for none, and the user is told so once, not left with no hits.
TEST_F(AdvancedSearchTest, AConditionOnATranslationNotNumberedSaysWhy)
{
    forms.unload(names::Frmcontexte);
    const QString plain = dir.write("traduccion.txt", "La maison de la rivière. Maison et rivière.\r\n");
    w = openPrepared(sourcePath, plain);
    type("Text2", "maison");
    ask("casa");
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_TRUE(fake.dialogs.shown[0].text.contains(plain)) << fake.dialogs.shown[0].text.toStdString();
    EXPECT_TRUE(fake.dialogs.shown[0].text.contains("no parece un texto numerado"))
        << fake.dialogs.shown[0].text.toStdString();
    ask("casa");
    EXPECT_EQ(fake.dialogs.shown.size(), 1u) << "told once";
}

TEST_F(AdvancedSearchTest, SearchingTheTranslationPutsTheOriginalBesideIt)
{
    click("traduction");
    EXPECT_TRUE(status().contains(QString::fromUtf8("Se busca en la traducción"))) << status().toStdString();
    ask("maison de");
    EXPECT_EQ(rows(w), "maison de[1]");
    type("Text2", QString::fromUtf8("río"));
    ask("maison");
    EXPECT_EQ(rows(w), "maison[1] Maison[2]");

    // The viewer shows the translation's sentence above, the original below,
    // and marks in the original what the condition asked of it.
    QTableView* table = w->findChild<QTableView*>();
    QModelIndex cell = table->model()->index(1, 0);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());
    auto* viewer = static_cast<ContextViewer*>(forms.find(names::frmaff_contexte));
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->findChild<QTextEdit*>("label3")->toPlainText(), QString::fromUtf8("[2] Maison et rivière.\n"));
    EXPECT_EQ(viewer->findChild<QTextEdit*>("label4")->toPlainText(), QString::fromUtf8("[2] Casa, del\nrío y la casa.\n"));
    // Each pane says which text it shows.
    EXPECT_EQ(viewer->findChild<QGroupBox*>("Frame1")->title().toStdString(), "Texto en lengua meta :");
    EXPECT_EQ(viewer->findChild<QGroupBox*>("Frame2")->title().toStdString(), "Texto en lengua de origen :");
    fake.printer.log.clear();
    viewer->findChild<QAction*>("imprimer")->trigger();
    ASSERT_GE(fake.printer.log.size(), 7u);
    EXPECT_EQ(fake.printer.log[2], "print 'Texto en lengua meta:' line");
    EXPECT_EQ(fake.printer.log[6], "print 'Texto en lengua de origen:' line");

    // Back to the original: the viewer, reading the other texts, is gone.
    click("traduction");
    EXPECT_FALSE(forms.isLoaded(names::frmaff_contexte));
    type("Text2", QString::fromUtf8("rivière"));
    ask("casa");
    EXPECT_EQ(rows(w), "casa[1] Casa[2] casa[2]");
    EXPECT_TRUE(fake.dialogs.shown.empty());
    cell = table->model()->index(0, 0);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());
    viewer = static_cast<ContextViewer*>(forms.find(names::frmaff_contexte));
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->findChild<QGroupBox*>("Frame1")->title().toStdString(), "Texto en lengua de origen :");
    EXPECT_EQ(viewer->findChild<QGroupBox*>("Frame2")->title().toStdString(), "Texto en lengua meta :");
}

TEST_F(AdvancedSearchTest, TheTranslationCannotBeSearchedWhenThereIsNone)
{
    forms.unload(names::Frmcontexte);
    w = openPrepared(sourcePath, QString());
    click("traduction");
    EXPECT_FALSE(control<QCheckBox>("traduction")->isChecked());
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    ask("casa");
    EXPECT_EQ(w->grid().hitCount(), 4u);
}

} // namespace
} // namespace solandre
