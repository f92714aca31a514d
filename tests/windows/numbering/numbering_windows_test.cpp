// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"
#include "forms/form.h"
#include "forms/form_names.h"
#include "windows/numbering/numbering_done_window.h"
#include "windows/numbering/numbering_window.h"
#include "numbering/numbering_engine.h"
#include "support/fake_desktop.h"
#include "support/temp_files.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QCoreApplication>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::cp1252;
using testing::readBytes;

class NumberingWindowsTest : public ::testing::Test {
protected:
    testing::FakeDesktop fake;
    testing::TempDir dir;
    FormRegistry forms{fake.desktop, [] {}};
    const std::string sourceText = cp1252("Hola. ¿Qué tal? Bien.");
    const std::string targetText = "Salut. Ça va ? Bien.";
    QString source = dir.write("obra.txt", sourceText);
    QString target = dir.write("traduction.txt", targetText);

    void SetUp() override { defineWindows(forms); }

    void mainWindow(const QString& latin, const QString& francais)
    {
        forms.show(names::frmtexte);
        forms.control<QLineEdit>(names::frmtexte, "Text_latin")->setText(latin);
        forms.control<QLineEdit>(names::frmtexte, "Text_francais")->setText(francais);
    }
    NumberingWindow* open()
    {
        forms.find(names::frmtexte)->findChild<QAction*>("numconcordance")->trigger();
        return static_cast<NumberingWindow*>(forms.find(names::frmnumerotation));
    }
    QString box(const char* name) { return forms.text(names::frmnumerotation, name); }
    const Message& lastMessage()
    {
        EXPECT_FALSE(fake.dialogs.shown.empty());
        static const Message none;
        return fake.dialogs.shown.empty() ? none : fake.dialogs.shown.back();
    }
};

TEST_F(NumberingWindowsTest, ProposesNamesForBothTexts)
{
    mainWindow("C:\\t\\a.txt", "C:\\t\\b.txt");
    NumberingWindow* window = open();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(box("Text_source_bis"), "C:\\t\\a_source_ref.txt");
    EXPECT_EQ(box("Text_cible_bis"), "C:\\t\\b_cible_ref.txt");
    EXPECT_TRUE(window->findChild<QWidget*>("Frame2")->isVisibleTo(window));
    EXPECT_EQ(window->findChild<QWidget*>("Command2")->y(), twips(3090));
}

TEST_F(NumberingWindowsTest, SourceOnlyLayout)
{
    mainWindow("C:\\t\\obra", "");
    NumberingWindow* window = open();
    EXPECT_EQ(box("Text_source_bis"), "C:\\t\\_source_refobra");
    EXPECT_EQ(box("Text_cible_bis"), "");
    EXPECT_FALSE(window->findChild<QWidget*>("Frame2")->isVisibleTo(window));
    EXPECT_EQ(window->findChild<QWidget*>("Command2")->y(), twips(2160));
    EXPECT_EQ(window->findChild<QWidget*>("Frame3")->y(), twips(1950));
    EXPECT_FALSE(window->findChild<QAction*>("enregistrer_cible")->isEnabled());
    EXPECT_TRUE(window->findChild<QAction*>("numerotation")->isEnabled());
}

TEST_F(NumberingWindowsTest, PathTooShortForANameIsReported)
{
    mainWindow("a.t", "");
    open();
    EXPECT_EQ(box("Text_source_bis"), "");
    EXPECT_TRUE(lastMessage().text.contains("\"a.t\""));
}

TEST_F(NumberingWindowsTest, OpeningAgainKeepsTheNamesItHas)
{
    mainWindow(source, target);
    NumberingWindow* window = open();
    forms.control<QLineEdit>(names::frmtexte, "Text_latin")->setText(dir.path("otra.txt"));
    EXPECT_EQ(open(), window);
    EXPECT_EQ(box("Text_source_bis"), dir.path("obra_source_ref.txt"));
}

TEST_F(NumberingWindowsTest, InputsAndTheOtherOutputAreRefused)
{
    mainWindow(source, target);
    NumberingWindow* window = open();
    const QString proposed = box("Text_source_bis");
    struct Case { const char* name; QString chosen; };
    const Case cases[] = {
        {"the source text", source},
        {"the target text", target},
        {"the other output", box("Text_cible_bis")},
        {"the source text spelt another way", dir.root() + "/./sub/../obra.txt"},
    };
    for (const auto& c : cases) {
        fake.dialogs.fileNames.push_back(c.chosen);
        window->Ouvrir_source_Click();
        EXPECT_EQ(box("Text_source_bis"), proposed) << c.name;
        EXPECT_EQ(lastMessage().title, "Fichier no está disponible") << c.name;
        EXPECT_EQ(lastMessage().text,
                  c.chosen + "\r\n no está disponible actualmente\r\n"
                             "Este fichero está siendo utilizado.\r\n\r\n"
                             "Porfavor, elija otro nombre para el fichero.")
            << c.name;
    }
    EXPECT_EQ(readBytes(source), sourceText);

    fake.dialogs.shown.clear();
    fake.dialogs.fileNames.push_back(dir.path("OBRA.txt")); // another file on this system
    window->Ouvrir_source_Click();
    EXPECT_EQ(box("Text_source_bis"), dir.path("OBRA.txt"));
    EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(NumberingWindowsTest, ReplaceNoKeepsTheBoxAndYesKeepsTheFileUntilNumbering)
{
    mainWindow(source, target);
    NumberingWindow* window = open();
    const QString existing = dir.write("ya.txt", "precious");
    const QString proposed = box("Text_cible_bis");

    fake.dialogs.fileNames.push_back(existing);
    fake.dialogs.answers.push_back(Answer::No);
    window->ouvrir_cible_Click();
    EXPECT_EQ(box("Text_cible_bis"), proposed);
    EXPECT_EQ(lastMessage().title, "Fichier existente");
    EXPECT_EQ(lastMessage().text, existing + "  ya existe.\r\n ¿Desea reemplazarlo?");
    EXPECT_EQ(lastMessage().buttons, Buttons::YesNo);

    fake.dialogs.fileNames.push_back(existing);
    fake.dialogs.answers.push_back(Answer::Yes);
    window->ouvrir_cible_Click();
    EXPECT_EQ(box("Text_cible_bis"), existing);
    EXPECT_EQ(readBytes(existing), "precious") << "not deleted before the numbering";

    window->Command2_Click();
    EXPECT_EQ(readBytes(existing), numberText(targetText));
}

TEST_F(NumberingWindowsTest, ResetEmptiesBothBoxesOnly)
{
    mainWindow(source, target);
    NumberingWindow* window = open();
    window->findChild<QAction*>("reset")->trigger();
    EXPECT_EQ(box("Text_source_bis"), "");
    EXPECT_EQ(box("Text_cible_bis"), "");
    EXPECT_TRUE(window->findChild<QAction*>("numerotation")->isEnabled());
    EXPECT_TRUE(window->findChild<QWidget*>("Command2")->isEnabled());
}

TEST_F(NumberingWindowsTest, NumbersBothTextsThenHidesTheNumberingWindow)
{
    mainWindow(source, target);
    NumberingWindow* window = open();
    window->Command2_Click();
    EXPECT_EQ(readBytes(dir.path("obra_source_ref.txt")), numberText(sourceText));
    EXPECT_EQ(readBytes(dir.path("traduction_cible_ref.txt")), numberText(targetText));
    Form* done = forms.find(names::Frmreference);
    ASSERT_NE(done, nullptr);
    EXPECT_TRUE(done->isVisible());
    // The completion window names what it wrote, below the usual message.
    EXPECT_TRUE(done->findChild<QLabel*>("label3")->text().startsWith(
        QString::fromUtf8("La numeración se ha completado")));
    EXPECT_EQ(done->findChild<QLabel*>("label4")->text(),
              QString::fromUtf8("Texto de origen numerado: %1 (3 frases)\nTexto meta numerado: %2 (3 frases)")
                  .arg(QDir::toNativeSeparators(dir.path("obra_source_ref.txt")),
                       QDir::toNativeSeparators(dir.path("traduction_cible_ref.txt"))));
    EXPECT_TRUE(forms.isLoaded(names::frmnumerotation));
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(NumberingWindowsTest, NumbersTheSourceAloneWithoutTarget)
{
    mainWindow(source, "");
    open()->Command2_Click();
    EXPECT_EQ(readBytes(dir.path("obra_source_ref.txt")), numberText(sourceText));
    EXPECT_EQ(dir.entries().size(), 3); // obra, traduction, obra_source_ref
    ASSERT_TRUE(forms.isLoaded(names::Frmreference));
    EXPECT_EQ(forms.find(names::Frmreference)->findChild<QLabel*>("label4")->text(),
              QString::fromUtf8("Texto de origen numerado: %1 (3 frases)")
                  .arg(QDir::toNativeSeparators(dir.path("obra_source_ref.txt"))));
}

TEST_F(NumberingWindowsTest, TypedNamesOfTheTextsAreRefusedWhenNumbering)
{
    const QString sourceOut = dir.path("obra_source_ref.txt");
    struct Case { const char* name; QString sourceBox; QString targetBox; QString refused; };
    const Case cases[] = {
        {"the source text as its own copy", dir.root() + "/./obra.txt", dir.path("t_ref.txt"),
         dir.root() + "/./obra.txt"},
        {"the translation as the source's copy", target, dir.path("t_ref.txt"), target},
        {"the source text as the translation's copy", sourceOut, source, source},
        {"both copies under one name", sourceOut, sourceOut, sourceOut},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mainWindow(source, target);
        NumberingWindow* window = open();
        forms.control<QLineEdit>(names::frmnumerotation, "Text_source_bis")->setText(c.sourceBox);
        forms.control<QLineEdit>(names::frmnumerotation, "Text_cible_bis")->setText(c.targetBox);
        fake.dialogs.shown.clear();
        window->Command2_Click();
        ASSERT_EQ(fake.dialogs.shown.size(), 1u);
        EXPECT_EQ(lastMessage().title, QString::fromUtf8("Fichier no está disponible"));
        EXPECT_TRUE(lastMessage().text.startsWith(c.refused + "\r\n no está disponible actualmente"));
        EXPECT_FALSE(forms.isLoaded(names::Frmreference));
        EXPECT_EQ(readBytes(source), sourceText);
        EXPECT_EQ(readBytes(target), targetText);
        EXPECT_EQ(dir.entries(), (QStringList{"obra.txt", "traduction.txt"}));
        forms.unload(names::frmnumerotation);
    }
}

TEST_F(NumberingWindowsTest, AnEmptiedMainWindowIsToldApart)
{
    mainWindow(source, target);
    NumberingWindow* window = open();
    forms.find(names::frmtexte)->findChild<QAction*>("reset")->trigger();
    window->Command2_Click();
    EXPECT_TRUE(lastMessage().text.contains("no se ha elegido el texto de origen"))
        << lastMessage().text.toStdString();
    EXPECT_FALSE(forms.isLoaded(names::Frmreference));
    EXPECT_EQ(dir.entries(), (QStringList{"obra.txt", "traduction.txt"}));
}

TEST_F(NumberingWindowsTest, FilesThatAreNotTextsAreRefusedAndNothingIsWritten)
{
    const QString pdf = dir.write("traduction.pdf", "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    mainWindow(source, pdf);
    open()->Command2_Click();
    EXPECT_TRUE(lastMessage().text.contains(pdf));
    EXPECT_TRUE(lastMessage().text.contains("no es un fichero de texto; parece un documento PDF"));
    EXPECT_FALSE(forms.isLoaded(names::Frmreference));
    EXPECT_EQ(dir.entries(), (QStringList{"obra.txt", "traduction.pdf", "traduction.txt"}));
}

TEST_F(NumberingWindowsTest, ClosingTheDoneWindowUnloadsTheNumberingWindow)
{
    mainWindow(source, target);
    open()->Command2_Click();
    forms.find(names::Frmreference)->findChild<QAction*>("quitter")->trigger();
    EXPECT_FALSE(forms.isLoaded(names::Frmreference));
    EXPECT_FALSE(forms.isLoaded(names::frmnumerotation));
    EXPECT_TRUE(forms.isLoaded(names::frmtexte));

    open()->Command2_Click();
    forms.find(names::Frmreference)->close(); // the close box
    EXPECT_FALSE(forms.isLoaded(names::frmnumerotation));
}

TEST_F(NumberingWindowsTest, APressWhileTheDoneWindowIsLoadedNumbersNothing)
{
    mainWindow(source, target);
    NumberingWindow* window = open();
    window->Command2_Click();
    const QString output = dir.path("obra_source_ref.txt");
    dir.write("obra.txt", "Cambiado.");
    window->Command2_Click();
    EXPECT_EQ(readBytes(output), numberText(sourceText));
}

TEST_F(NumberingWindowsTest, FailuresLeaveTheNumberingWindowAndTheOldFiles)
{
    struct Case { const char* name; QString sourceOut; QString latin; const char* named; };
    const QString old = dir.write("viejo.txt", "precious");
    const Case cases[] = {
        {"no output name", QString(), source, "Indique"},
        {"unreadable input", old, dir.path("borrado.txt"), "borrado.txt"},
        {"unwritable output", dir.path("no/salida.txt"), source, "no/salida.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        mainWindow(c.latin, "");
        NumberingWindow* window = open();
        forms.control<QLineEdit>(names::frmnumerotation, "Text_source_bis")->setText(c.sourceOut);
        fake.dialogs.shown.clear();
        window->Command2_Click();
        EXPECT_TRUE(lastMessage().text.contains(c.named)) << lastMessage().text.toStdString();
        EXPECT_FALSE(forms.isLoaded(names::Frmreference));
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(readBytes(old), "precious");
        forms.unload(names::frmnumerotation);
    }
}

} // namespace
} // namespace solandre
