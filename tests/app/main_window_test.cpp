// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"
#include "forms/form_names.h"
#include "app/main_window.h"
#include "support/fake_desktop.h"
#include "support/temp_files.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace solandre {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    testing::FakeDesktop fake;
    testing::TempDir dir;
    int ended = 0;
    FormRegistry forms{fake.desktop, [this] { ++ended; }};
    MainWindow* window = nullptr;
    QString source = dir.write("obra.txt", "Hola.");
    QString target = dir.write("traduction.txt", "Salut.");

    void SetUp() override
    {
        defineWindows(forms);
        window = static_cast<MainWindow*>(forms.show(names::frmtexte));
    }

    QLineEdit* box(const char* name) { return window->findChild<QLineEdit*>(name); }
    bool menusEnabled()
    {
        const bool numbering = window->findChild<QAction*>("numconcordance")->isEnabled();
        const bool search = window->findChild<QAction*>("concordance")->isEnabled();
        EXPECT_EQ(numbering, search);
        return numbering;
    }
    void choose(void (MainWindow::*handler)(), const QString& file)
    {
        fake.dialogs.fileNames.push_back(file);
        (window->*handler)();
    }
};

TEST_F(MainWindowTest, TheApplicationMenuFollowsTheSourceText)
{
    EXPECT_FALSE(menusEnabled()) << "at start";

    choose(&MainWindow::Ouvrir_francais_Click, target);
    EXPECT_EQ(box("Text_francais")->text(), target);
    EXPECT_FALSE(menusEnabled()) << "target alone";

    choose(&MainWindow::Ouvrir_latin_Click, source);
    EXPECT_EQ(box("Text_latin")->text(), source);
    EXPECT_TRUE(menusEnabled()) << "after choosing a source";

    box("Text_latin")->clear();
    EXPECT_FALSE(menusEnabled()) << "source emptied by hand, target still there";

    QTest::keyClicks(box("Text_latin"), "x");
    EXPECT_TRUE(menusEnabled()) << "after typing into the source box";

    EXPECT_EQ(fake.dialogs.filters,
              (std::vector<QString>{"Ficheros texto Texte (*.TXT)|*.TXT",
                                    "Ficheros texto (*.TXT)|*.TXT"}));
    EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(MainWindowTest, MenuEntriesReachTheSameHandlers)
{
    fake.dialogs.fileNames = {source, target};
    window->findChild<QAction*>("open_latin")->trigger();
    window->findChild<QAction*>("open_francais")->trigger();
    EXPECT_EQ(box("Text_latin")->text(), source);
    EXPECT_EQ(box("Text_francais")->text(), target);
}

TEST_F(MainWindowTest, ResetEmptiesTheThreeBoxes)
{
    choose(&MainWindow::Ouvrir_latin_Click, source);
    choose(&MainWindow::Ouvrir_francais_Click, target);
    box("References")->setText("Capítulo 1");
    forms.show(names::frmAbout);

    window->findChild<QAction*>("reset")->trigger();
    for (const char* name : {"References", "Text_latin", "Text_francais"})
        EXPECT_EQ(box(name)->text(), "") << name;
    EXPECT_FALSE(menusEnabled());
    EXPECT_TRUE(forms.isLoaded(names::frmAbout)) << "other windows are not touched";
}

TEST_F(MainWindowTest, CancelledDialogChangesNothing)
{
    box("Text_latin")->setText("before");
    choose(&MainWindow::Ouvrir_latin_Click, QString());
    EXPECT_EQ(box("Text_latin")->text(), "before");
    EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(MainWindowTest, UnreadableFileIsNamedAndTheBoxKeepsItsPath)
{
    box("Text_latin")->setText(source);
    const QString missing = dir.path("borrado.txt");
    choose(&MainWindow::Ouvrir_latin_Click, missing);
    EXPECT_EQ(box("Text_latin")->text(), source);
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_TRUE(fake.dialogs.shown[0].text.contains(missing));
    EXPECT_TRUE(fake.dialogs.shown[0].text.contains("no existe ningún fichero o carpeta con ese nombre"))
        << fake.dialogs.shown[0].text.toStdString();
}

TEST_F(MainWindowTest, QuittingEndsTheProgramWithOtherWindowsOpen)
{
    forms.show(names::frmAbout);
    window->findChild<QAction*>("quitter")->trigger();
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(forms.isLoaded(names::frmAbout));
    EXPECT_FALSE(forms.isLoaded(names::frmtexte));
}

TEST_F(MainWindowTest, ClosingTheMainWindowEndsTheProgram)
{
    forms.show(names::frmAbout);
    window->close();
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(forms.isLoaded(names::frmAbout));
}

TEST_F(MainWindowTest, AboutOpensOnceAndClosesWithOk)
{
    window->findChild<QAction*>("about")->trigger();
    Form* about = forms.find(names::frmAbout);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), "Quillarne - A propósito de ...");
    window->about_Click();
    EXPECT_EQ(forms.find(names::frmAbout), about);
    QTest::mouseClick(about->findChild<QWidget*>("cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(forms.isLoaded(names::frmAbout));
}

} // namespace
} // namespace solandre
