// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"
#include "forms/form_names.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QDir>
#include <gtest/gtest.h>

namespace solandre {
namespace {

TEST(CommandLine, FileNamesAndOptions)
{
    const QString here = QDir::currentPath();
    using A = CommandLine::Action;
    struct Case {
        const char* name;
        QStringList args;
        A action;
        QString source, target, problem;
    };
    const Case cases[] = {
        {"nothing", {}, A::Start, {}, {}, {}},
        {"a source", {"obra.txt"}, A::Start, here + "/obra.txt", {}, {}},
        {"a source and its translation", {"/t/obra.txt", "../t/trad.txt"}, A::Start, "/t/obra.txt",
         QDir::cleanPath(here + "/../t/trad.txt"), {}},
        {"help anywhere", {"obra.txt", "--help"}, A::Help, {}, {}, {}},
        {"version", {"--version"}, A::Version, {}, {}, {}},
        {"an unknown option", {"--raro"}, A::UsageError, {}, {}, "opción desconocida \"--raro\""},
        {"three files", {"a", "b", "c"}, A::UsageError, {}, {}, "sobra el argumento \"c\""},
        {"a file that looks like an option", {"--", "-obra.txt"}, A::Start, here + "/-obra.txt", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CommandLine line = parseCommandLine(c.args);
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.source, c.source);
        EXPECT_EQ(line.target, c.target);
        EXPECT_EQ(line.problem, c.problem);
    }
}

class CommandLineWindowTest : public testing::WindowTest {};

TEST_F(CommandLineWindowTest, TheFilesFillTheMainWindowsBoxesAsIfChosen)
{
    fillTextBoxes(forms, parseCommandLine({"/t/obra.txt", "/t/trad.txt"}));
    Form* main = forms.find(names::frmtexte);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(main->isVisible()) << "loaded hidden, shown when the splash gives way";
    EXPECT_EQ(forms.text(names::frmtexte, "Text_latin"), "/t/obra.txt");
    EXPECT_EQ(forms.text(names::frmtexte, "Text_francais"), "/t/trad.txt");
    EXPECT_TRUE(main->findChild<QAction*>("concordance")->isEnabled());
    EXPECT_TRUE(main->findChild<QAction*>("alignement")->isEnabled());
}

TEST_F(CommandLineWindowTest, NoFilesLoadNoWindow)
{
    fillTextBoxes(forms, parseCommandLine({}));
    EXPECT_FALSE(forms.isLoaded(names::frmtexte));
}

} // namespace
} // namespace solandre
