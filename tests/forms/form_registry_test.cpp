// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/form.h"
#include "support/fake_desktop.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace solandre {
namespace {

// A window that counts its load and unload handlers and, like the windows of
// the numbering road, may unload another window when it goes.
class CountingForm : public Form {
public:
    CountingForm(FormRegistry& forms, int& loads, int& unloads, QString alsoUnload)
        : Form(forms, QStringLiteral("t")), loads_(loads), unloads_(unloads),
          alsoUnload_(std::move(alsoUnload))
    {
        textBox(client(), QStringLiteral("Text1"), 0, 0, 1000, 300)->setText("hello");
    }
    void Form_Load() override { ++loads_; }
    void Form_Unload() override
    {
        ++unloads_;
        if (!alsoUnload_.isEmpty()) forms().unload(alsoUnload_);
    }

private:
    int& loads_;
    int& unloads_;
    QString alsoUnload_;
};

class FormRegistryTest : public ::testing::Test {
protected:
    testing::FakeDesktop fake;
    int ended = 0;
    FormRegistry forms{fake.desktop, [this] { ++ended; }};
    std::map<QString, int> loads, unloads;

    void define(const QString& name, const QString& alsoUnload = {})
    {
        forms.define(name, [=, this](FormRegistry& f) {
            return new CountingForm(f, loads[name], unloads[name], alsoUnload);
        });
    }
};

TEST_F(FormRegistryTest, LoadingALoadedWindowDoesNothing)
{
    define("a");
    Form* first = forms.load("a");
    Form* again = forms.show("a");
    EXPECT_EQ(first, again);
    EXPECT_EQ(loads["a"], 1);
    EXPECT_EQ(first->objectName(), "a");
    EXPECT_TRUE(first->isVisible());
}

TEST_F(FormRegistryTest, ReadingAControlLoadsTheWindowHidden)
{
    define("a");
    EXPECT_EQ(forms.text("a", "Text1"), "hello");
    ASSERT_TRUE(forms.isLoaded("a"));
    EXPECT_FALSE(forms.find("a")->isVisible());
    EXPECT_EQ(loads["a"], 1);
    EXPECT_EQ(forms.text("nowhere", "Text1"), "");
}

TEST_F(FormRegistryTest, UnloadRunsTheHandlerAndAllowsAFreshLoad)
{
    define("a", "b");
    define("b", "a"); // each unloads the other: no endless loop
    forms.show("a");
    forms.show("b");
    forms.find("a")->close(); // the close box
    EXPECT_FALSE(forms.isLoaded("a"));
    EXPECT_FALSE(forms.isLoaded("b"));
    EXPECT_EQ(unloads["a"], 1);
    EXPECT_EQ(unloads["b"], 1);

    forms.load("a");
    EXPECT_EQ(loads["a"], 2);
}

TEST_F(FormRegistryTest, EndingTheProgramClosesEverythingWithoutAsking)
{
    define("a");
    define("b");
    forms.show("a");
    forms.load("b");
    forms.endProgram();
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(forms.isLoaded("a"));
    EXPECT_FALSE(forms.isLoaded("b"));
    EXPECT_EQ(unloads["a"] + unloads["b"], 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(FormRegistryTest, UnknownWindowsOpenNothing)
{
    EXPECT_EQ(forms.show("not yet built"), nullptr);
    EXPECT_FALSE(forms.isLoaded("not yet built"));
}

} // namespace
} // namespace solandre
