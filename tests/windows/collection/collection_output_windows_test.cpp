// SPDX-License-Identifier: GPL-3.0-or-later
// The collection's search window as a user drives it with the mouse and the
// keys: the hits saved, printed and exported over every pair, and a hit
// opened in the viewer on its own pair. Every click is checked to land on a
// control the user can see and reach, and no dialog is left for the user
// that the scripted desktop does not answer.

#include "app/application.h"
#include "forms/form_names.h"
#include "platform/qt_printer.h"
#include "support/delimited_reader.h"
#include "support/window_fixture.h"
#include "windows/collection/collection_search_window.h"
#include "windows/viewer/context_viewer.h"
#include "windows/widgets/windowed_table.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <QProgressDialog>
#include <QTimer>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::cp1252;
using testing::parseDelimited;
using testing::readBytes;

// Any window that waits for the user outside the scripted desktop (a modal
// dialog of its own) is noted and closed, so that the test goes on to fail.
class ModalWatch {
public:
    ModalWatch()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            // Long work shows its progress when a slow machine makes it long.
            if (modal && !qobject_cast<QProgressDialog*>(modal)) {
                seen_ << modal->metaObject()->className() + QStringLiteral(" ") + modal->windowTitle();
                modal->close();
            }
        });
        timer_.start(20);
    }
    QStringList seen() const { return seen_; }

private:
    QTimer timer_;
    QStringList seen_;
};

class CollectionOutputWindowsTest : public testing::WindowTest {
protected:
    CollectionSearchWindow* w = nullptr;
    ModalWatch modals;

    void SetUp() override
    {
        WindowTest::SetUp();
        dir.write("col/obra_source_ref.txt", cp1252("[1] =Casa grande.\r\n[2] Una casa.\r\n[3] Año.\r\n"));
        dir.write("col/obra_cible_ref.txt", "[1] =Grande maison.\r\n[2] Une maison.\r\n");
        dir.write("col/sub/cap1.es.txt", "La casa. Otra casa. Tres.");
        dir.write("col/sub/cap1.fr.txt", "La maison. Une autre maison. Trois.");
        w = openAndSearch(forms, "cas*");
    }
    void TearDown() override { EXPECT_TRUE(modals.seen().isEmpty()) << modals.seen().join("; ").toStdString(); }

    // The collection opened from the main window, searched from its box.
    CollectionSearchWindow* openAndSearch(FormRegistry& registry, const char* query)
    {
        registry.show(names::frmtexte);
        fake.dialogs.fileNames.push_back(dir.path("col"));
        registry.find(names::frmtexte)->findChild<QAction*>("collection")->trigger();
        Form* list = registry.find(names::frmcollection);
        if (!list) return nullptr;
        click(list->findChild<QPushButton*>("chercher"));
        auto* search = dynamic_cast<CollectionSearchWindow*>(registry.find(names::frmcollection_recherche));
        if (!search) return nullptr;
        search->resize(1000, 900);
        QCoreApplication::processEvents();
        auto* box = search->findChild<QLineEdit*>("Text1");
        QTest::keyClicks(box, query);
        QTest::keyClick(box, Qt::Key_Return);
        return search;
    }

    // A click where the user can make it: on a control shown, enabled, and
    // not hidden under another one or outside its window.
    static void click(QWidget* control)
    {
        ASSERT_TRUE(control);
        const std::string name = control->objectName().toStdString();
        ASSERT_TRUE(control->isVisible()) << name;
        ASSERT_TRUE(control->isEnabled()) << name;
        QWidget* window = control->window();
        const QPoint centre = control->mapTo(window, control->rect().center());
        ASSERT_TRUE(window->rect().contains(centre)) << name << " lies outside its window";
        QWidget* under = window->childAt(centre);
        ASSERT_TRUE(under == control || control->isAncestorOf(under)) << name << " is covered";
        QTest::mouseClick(control, Qt::LeftButton);
    }
    void press(const char* button) { click(w->findChild<QPushButton*>(button)); }
    QTableView* list() const { return w->findChild<WindowedTable*>("grille01")->table(); }
};

TEST_F(CollectionOutputWindowsTest, ExportWritesEveryPairsHitsWithTheirTextInTheTypeChosen)
{
    ASSERT_TRUE(w);
    struct Case { const char* name; int type; const char* file; char separator; };
    for (const Case c : {Case{"csv", 1, "lineas.csv", ','}, Case{"tsv", 2, "lineas", '\t'}}) {
        fake.dialogs.shown.clear();
        fake.dialogs.fileNames.push_back(dir.path(c.file));
        fake.dialogs.fileTypes.push_back(c.type);
        press("exporter");
        ASSERT_EQ(fake.dialogs.shown.size(), 1u) << c.name;
        EXPECT_EQ(fake.dialogs.shown[0].text, QString::fromUtf8("la exportación ha finalizado.")) << c.name;
        const QString written = c.type == 2 ? dir.path("lineas.tsv") : dir.path(c.file);
        const auto rows = parseDelimited(std::string_view(readBytes(written)).substr(3), c.separator);
        const std::string formula = c.type == 1 ? "'=Casa grande." : "=Casa grande.";
        const std::vector<std::vector<std::string>> expected = {
            {"Texto", "Forma", "Referencia", "Contexto izquierdo", "Contexto derecho", "Frase", "Traducción"},
            {"obra", "Casa", "[1]", c.type == 1 ? "'=" : "=", "grande.", formula, c.type == 1 ? "'=Grande maison." : "=Grande maison."},
            {"obra", "casa", "[2]", "Una", ".", "Una casa.", "Une maison."},
            {"sub/cap1", "casa", "[1]", "La", ".", "La casa.", "La maison."},
            {"sub/cap1", "casa", "[2]", "Otra", ".", "Otra casa.", "Une autre maison."}};
        EXPECT_EQ(rows, expected) << c.name;
    }
    EXPECT_EQ(fake.dialogs.filters.back(), "Libro de hoja de cálculo (*.xlsx)|*.xlsx|"
                                           "Valores separados por comas (*.csv)|*.csv|"
                                           "Texto separado por tabuladores (*.tsv)|*.tsv");

    // A file of the collection is refused before the replace question.
    fake.dialogs.shown.clear();
    const QString member = dir.path("col/obra_cible_ref.txt");
    fake.dialogs.fileNames.push_back(member);
    fake.dialogs.fileTypes.push_back(2);
    press("exporter");
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_TRUE(fake.dialogs.shown[0].text.contains(member)) << fake.dialogs.shown[0].text.toStdString();
    EXPECT_EQ(readBytes(member), "[1] =Grande maison.\r\n[2] Une maison.\r\n");
}

TEST_F(CollectionOutputWindowsTest, SavingWritesTheResultsFileAndKeepsAnOldOneOnNo)
{
    ASSERT_TRUE(w);
    const QString file = dir.path("resultados.txt");
    fake.dialogs.fileNames.push_back(file);
    press("enregistrer");
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(fake.dialogs.shown[0].text, QString::fromUtf8("la grabación ha finalizado."));
    EXPECT_EQ(fake.dialogs.filters.back(), "Ficheros texto (*.TXT)|*.TXT");
    const std::string sep(74, '-');
    const std::string saved = readBytes(file);
    EXPECT_TRUE(saved.starts_with(cp1252("Colección : ") + dir.path("col").toStdString() +
                                  cp1252("\r\nBúsqueda efectuada el : 07/12/2026 10:30:00\r\n") + sep + "\r\n\r\n"))
        << saved;
    EXPECT_NE(saved.find("sub/cap1" + std::string(28, ' ') + "casa" + std::string(32, ' ') + "[2]\r\n"),
              std::string::npos)
        << saved;
    EXPECT_NE(saved.find(sep + "\r\nsub/cap1\r\n[2] Otra casa.\r\n\r\n[2] Une autre maison.\r\n"), std::string::npos)
        << saved;

    fake.dialogs.shown.clear();
    const QString old = dir.write("viejo.txt", "antes");
    fake.dialogs.fileNames.push_back(old);
    fake.dialogs.answers.push_back(Answer::No);
    press("enregistrer");
    ASSERT_EQ(fake.dialogs.shown.size(), 1u) << "the replace question alone";
    EXPECT_EQ(fake.dialogs.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(readBytes(old), "antes");
}

TEST_F(CollectionOutputWindowsTest, PrintingListsEachHitWithItsTextBeforeTheFormAndTheMarker)
{
    ASSERT_TRUE(w);
    fake.printer.log.clear();
    press("imprimer");
    EXPECT_EQ(fake.dialogs.printerSetups, 1);
    EXPECT_TRUE(fake.dialogs.shown.empty());
    const std::vector<QString> expected = {
        "font verdana 12 bold", "print 'Texto' stay", "x 3000", "print 'Forma(s)' stay", "x 8000",
        "print 'Referencia(s)' line", "print '------------------------------------------------------------' line",
        "font verdana 9", "print 'obra' stay", "x 3000", "print 'Casa' stay", "x 8000", "print '[1]' line",
        "print 'obra' stay", "x 3000", "print 'casa' stay", "x 8000", "print '[2]' line",
        "print 'sub/cap1' stay", "x 3000", "print 'casa' stay", "x 8000", "print '[1]' line",
        "print 'sub/cap1' stay", "x 3000", "print 'casa' stay", "x 8000", "print '[2]' line", "end"};
    EXPECT_EQ(fake.printer.log, expected);

    fake.printer.log.clear();
    fake.dialogs.printerAccepted = false;
    press("imprimer");
    EXPECT_TRUE(fake.printer.log.empty()) << "\"Cancelar\" prints nothing";

    fake.dialogs.printerAccepted = true;
    fake.printer.failAtEnd = true;
    press("imprimer");
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(fake.dialogs.shown[0].text, "la impresora no responde");
}

TEST_F(CollectionOutputWindowsTest, ARealPrintToPdfHasThePagesOfTheList)
{
    std::string many;
    for (int s = 1; s <= 136; ++s) many += "[" + std::to_string(s) + "] casa.\r\n";
    dir.write("col/larga_source_ref.txt", many);
    dir.write("col/larga_cible_ref.txt", "[1] maison.\r\n");
    QtPrinter pdf;
    pdf.device().setOutputFormat(QPrinter::PdfFormat);
    pdf.device().setOutputFileName(dir.path("lista.pdf"));
    Desktop desktop{fake.dialogs, pdf, fake.clipboard, fake.registry, fake.launcher, fake.clock};
    FormRegistry pdfForms{desktop, [] {}};
    defineWindows(pdfForms);
    CollectionSearchWindow* search = openAndSearch(pdfForms, "casa");
    ASSERT_TRUE(search);
    EXPECT_EQ(search->concordance().hitCount(), 136u + 4);
    click(search->findChild<QPushButton*>("imprimer"));
    EXPECT_TRUE(fake.dialogs.shown.empty());
    const std::string pdfBytes = readBytes(dir.path("lista.pdf"));
    int pages = 0;
    for (size_t at = pdfBytes.find("/Type /Page"); at != std::string::npos; at = pdfBytes.find("/Type /Page", at + 1))
        pages += pdfBytes.compare(at, 12, "/Type /Pages") != 0;
    EXPECT_EQ(pages, 3) << "67, 68, then 5 lines";
}

TEST_F(CollectionOutputWindowsTest, TheViewerOpensOnTheHitsOwnPairAndTheListFollowsItsSteps)
{
    ASSERT_TRUE(w);
    auto* sourcePane = w->findChild<QTextEdit*>("RichTextBox1");
    // The first hit is current: the button opens it.
    press("contexte");
    auto* viewer = dynamic_cast<ContextViewer*>(forms.find(names::frmaff_collection));
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(viewer->isModal());
    auto pane = [&](const char* name) { return viewer->findChild<QTextEdit*>(name)->toPlainText(); };
    EXPECT_EQ(pane("label3"), "[1] =Casa grande.\n");
    EXPECT_EQ(pane("label4"), "[1] =Grande maison.\n");
    EXPECT_EQ(viewer->findChild<QLabel*>("Label6")->text(), "Casa");

    // The next hit of the same pair, from the viewer: the list follows.
    click(viewer->findChild<QPushButton*>("Command1"));
    EXPECT_EQ(pane("label3"), "[2] Una casa.\n");
    EXPECT_EQ(w->findChild<WindowedTable*>("grille01")->currentRow(), 1u);
    EXPECT_EQ(sourcePane->toPlainText(), "obra [2] Una casa.");
    EXPECT_FALSE(viewer->findChild<QPushButton*>("Command1")->isEnabled()) << "the pair's last hit";

    // A hit of the other pair, chosen with the keys: the viewer reads that pair.
    QTest::keyClick(list(), Qt::Key_End);
    QTest::keyClick(list(), Qt::Key_Return);
    EXPECT_EQ(pane("label3"), "[2] Otra casa.\n");
    EXPECT_EQ(pane("label4"), "[2] Une autre maison.\n");
    click(viewer->findChild<QPushButton*>("Command2"));
    EXPECT_EQ(pane("label3"), "[1] La casa.\n");
    EXPECT_EQ(w->findChild<WindowedTable*>("grille01")->currentRow(), 2u);
    // The sentence steps stay in that pair.
    click(viewer->findChild<QPushButton*>("Command4"));
    EXPECT_EQ(pane("label3"), "[2] Otra casa.\n");
    EXPECT_TRUE(fake.dialogs.shown.empty());

    // A new search leaves the viewer where it is; the button opens the new first hit.
    auto* box = w->findChild<QLineEdit*>("Text1");
    box->clear();
    QTest::keyClicks(box, "tres");
    QTest::keyClick(box, Qt::Key_Return);
    press("contexte");
    EXPECT_EQ(pane("label3"), "[3] Tres.\n");
}

} // namespace
} // namespace solandre
