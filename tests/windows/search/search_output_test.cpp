// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"
#include "forms/form.h"
#include "forms/form_names.h"
#include "platform/qt_printer.h"
#include "windows/search/search_window.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::cp1252;
using testing::readBytes;

std::string sentences(int count, const char* word = "casa")
{
    std::string text;
    for (int s = 1; s <= count; ++s) text += "[" + std::to_string(s) + "] " + word + ".\r\n";
    return text;
}

class SearchOutputTest : public testing::WindowTest {
protected:
    QString sourcePath = dir.write("obra_source_ref.txt", cp1252("[1] Una casa.\r\n[2] Otra casa.\r\n"));
    QString targetPath = dir.write("obra_cible_ref.txt", "[1] Une maison.\r\n");

    SearchWindow* openPrepared(const QString& source, const QString& title = "Obra")
    {
        return WindowTest::openPrepared(source, targetPath, title);
    }
    QString saveAs(SearchWindow* w, const QString& name)
    {
        const QString path = dir.path(name);
        fake.dialogs.fileNames.push_back(path);
        w->enregistrer_Click();
        return path;
    }
    std::vector<QString> printed(SearchWindow* w)
    {
        fake.printer.log.clear();
        w->imprimer_Click();
        return fake.printer.log;
    }
};

TEST_F(SearchOutputTest, SavesTheListWithBothSentencesAndSaysSo)
{
    SearchWindow* w = openPrepared(sourcePath, QString::fromUtf8("Obra ñ"));
    search(w, "casa");
    const QString file = saveAs(w, "resultados.txt");
    const std::string sep(74, '-');
    EXPECT_EQ(readBytes(file),
              cp1252("Référencia(s) : Obra ñ\r\nbúsqueda efectuada el : 07/12/2026 10:30:00\r\n") +
                  sep + "\r\n\r\nForma(s)" + std::string(28, ' ') + "Referencia(s)\r\n" +
                  "casa" + std::string(32, ' ') + "[1]\r\ncasa" + std::string(32, ' ') + "[2]\r\n" +
                  sep + "\r\n[1] Una casa.\r\n\r\n[1] Une maison.\r\n\r\n" +
                  sep + "\r\n[2] Otra casa.\r\n\r\n\r\n");
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(fake.dialogs.shown[0].text, QString::fromUtf8("la grabación ha finalizado."));
    EXPECT_EQ(fake.dialogs.filters.back(), "Ficheros texto (*.TXT)|*.TXT");
    EXPECT_EQ(w->grid().row(), 2u);
    EXPECT_EQ(w->grid().col(), 1);
}

TEST_F(SearchOutputTest, OverwriteNoKeepsTheFileAndYesReplacesItWhole)
{
    SearchWindow* w = openPrepared(sourcePath);
    const QString file = dir.write("r.txt", "antiguo contenido mucho más largo que el nuevo ......");
    fake.dialogs.answers.push_back(Answer::No);
    saveAs(w, "r.txt");
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(fake.dialogs.shown[0].text,
              file + QString::fromUtf8(" ya existe.\r\nya existe. ¿Desea reemplazarlo? "));
    EXPECT_EQ(fake.dialogs.shown[0].title, "fichero existente");
    EXPECT_EQ(fake.dialogs.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(readBytes(file), "antiguo contenido mucho más largo que el nuevo ......");

    fake.dialogs.answers.push_back(Answer::Yes);
    saveAs(w, "r.txt");
    EXPECT_TRUE(readBytes(file).starts_with(cp1252("Référencia(s) : Obra\r\n")));
    EXPECT_EQ(dir.entries().size(), 3);
}

TEST_F(SearchOutputTest, CancelledDialogDoesNothing)
{
    SearchWindow* w = openPrepared(sourcePath);
    w->enregistrer_Click();
    EXPECT_TRUE(fake.dialogs.shown.empty());
    EXPECT_EQ(dir.entries().size(), 2);
}

TEST_F(SearchOutputTest, ANameOfOneOfTheTextsIsRefusedBeforeTheReplaceQuestion)
{
    struct Case { const char* name; QString chosen; QString text; };
    const Case cases[] = {
        {"the source, spelt another way", dir.root() + "/./obra_source_ref.txt", sourcePath},
        {"the target", targetPath, targetPath},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake.dialogs.shown.clear();
        SearchWindow* w = openPrepared(sourcePath);
        search(w, "casa");
        const std::string before = readBytes(c.text);
        fake.dialogs.fileNames.push_back(c.chosen);
        w->enregistrer_Click();
        ASSERT_EQ(fake.dialogs.shown.size(), 1u);
        EXPECT_EQ(fake.dialogs.shown[0].text,
                  QString::fromUtf8("No se puede escribir el fichero \"%1\": es uno de los textos "
                                    "de entrada; elija otro nombre para el fichero")
                      .arg(c.chosen));
        EXPECT_EQ(readBytes(c.text), before);
        w->quitter_Click();
    }
}

TEST_F(SearchOutputTest, FailuresAreNamedAndLeaveTheOldFile)
{
    SearchWindow* w = openPrepared(sourcePath);
    const QString file = dir.write("r.txt", "viejo");
    QFile::remove(targetPath); // unreadable when saving
    saveAs(w, "r.txt");
    ASSERT_EQ(fake.dialogs.shown.size(), 2u); // the question, then the failure
    EXPECT_TRUE(fake.dialogs.shown[1].text.contains("obra_cible_ref.txt"));
    EXPECT_EQ(readBytes(file), "viejo");

    if (testing::runningAsRoot()) return; // root writes anywhere
    QDir(dir.root()).mkdir("cerrada");
    QFile::setPermissions(dir.path("cerrada"), QFile::ReadOwner | QFile::ExeOwner);
    dir.write("obra_cible_ref.txt", "[1] Une maison.\r\n");
    saveAs(w, "cerrada/r.txt");
    EXPECT_TRUE(fake.dialogs.shown.back().text.contains("cerrada/r.txt"));
    EXPECT_FALSE(QFile::exists(dir.path("cerrada/r.txt")));
    QFile::setPermissions(dir.path("cerrada"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(SearchOutputTest, FreshRoadLiterals)
{
    SearchWindow* w = openFresh(dir.write("t.txt", "Casa. Otra."));
    ASSERT_NE(w, nullptr);
    search(w, "casa");
    const QString file = dir.write("r2.txt", "x");
    saveAs(w, "r2.txt");
    ASSERT_EQ(fake.dialogs.shown.size(), 2u);
    EXPECT_EQ(fake.dialogs.shown[0].text,
              file + QString::fromUtf8("  ya existe.\r\n¿Desea reemplazarlo? "));
    EXPECT_EQ(fake.dialogs.shown[0].title, "Fichero existente");
    EXPECT_EQ(fake.dialogs.shown[1].text, QString::fromUtf8("la grabación ha finalizado"));
    EXPECT_TRUE(readBytes(file).starts_with(cp1252("Referencia(s): \r\nBúsqueda efectuada el : ")));
    // No target text: each block holds the separator and the source line only.
    EXPECT_TRUE(readBytes(file).ends_with(std::string(74, '-') + "\r\n[1] Casa.\r\n\r\n"));
}

TEST_F(SearchOutputTest, PrintingAsksForThePrinterAndLeavesTheCurrentCellOnTheLastMarker)
{
    SearchWindow* w = openPrepared(sourcePath);
    search(w, "casa");
    const auto log = printed(w);
    EXPECT_EQ(fake.dialogs.printerSetups, 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "print 'casa' stay"), 2);
    EXPECT_EQ(w->grid().row(), 2u);
    EXPECT_EQ(w->grid().col(), 1);
    EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(SearchOutputTest, CancellingThePrinterDialogPrintsNothing)
{
    SearchWindow* w = openPrepared(sourcePath);
    search(w, "casa");
    fake.dialogs.printerAccepted = false;
    EXPECT_TRUE(printed(w).empty());
    EXPECT_EQ(fake.dialogs.printerSetups, 1);
    EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(SearchOutputTest, PrinterFailureIsReported)
{
    SearchWindow* w = openPrepared(sourcePath);
    fake.printer.failAtEnd = true;
    w->imprimer_Click();
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(fake.dialogs.shown[0].text, "la impresora no responde");
}

TEST_F(SearchOutputTest, RealPrintsToPdfHaveTheirPages)
{
    for (const auto& [hits, expected] : {std::pair{67, 1}, std::pair{136, 3}}) {
        SCOPED_TRACE(hits);
        QtPrinter pdf;
        pdf.device().setOutputFormat(QPrinter::PdfFormat);
        pdf.device().setOutputFileName(dir.path("lista.pdf"));
        Desktop desktop{fake.dialogs, pdf, fake.clipboard, fake.registry, fake.launcher, fake.clock};
        FormRegistry pdfForms{desktop, [] {}};
        defineWindows(pdfForms);
        pdfForms.show(names::frmtexte);
        pdfForms.control<QLineEdit>(names::frmtexte, "Text_latin")->setText(dir.write("n.txt", sentences(hits)));
        pdfForms.find(names::frmtexte)->findChild<QAction*>("concordance")->trigger();
        auto* w = static_cast<SearchWindow*>(pdfForms.find(names::Frmcontexte));
        search(w, "casa");
        w->imprimer_Click();
        EXPECT_TRUE(fake.dialogs.shown.empty());
        const std::string pdfBytes = readBytes(dir.path("lista.pdf"));
        int pages = 0;
        for (size_t at = pdfBytes.find("/Type /Page"); at != std::string::npos;
             at = pdfBytes.find("/Type /Page", at + 1))
            pages += pdfBytes.compare(at, 12, "/Type /Pages") != 0;
        EXPECT_EQ(pages, expected);
    }
}

} // namespace
} // namespace solandre
