// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"
#include "forms/form.h"
#include "forms/form_names.h"
#include "app/system_info.h"
#include "support/fake_desktop.h"

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace solandre {
namespace {

class SplashTest : public ::testing::Test {
protected:
    testing::FakeDesktop fake;
    FormRegistry forms{fake.desktop, [] {}};
    Form* splash = nullptr;

    void SetUp() override
    {
        defineWindows(forms);
        splash = forms.show(names::frmSplash);
    }
    bool gaveWay() { return !forms.isLoaded(names::frmSplash) && forms.isLoaded(names::frmtexte); }
};

TEST_F(SplashTest, GivesWayAfterThreeSeconds)
{
    auto* timer = splash->findChild<QTimer*>("Timer1");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 3000);
    QTest::qWait(2500);
    EXPECT_FALSE(gaveWay());
    QTest::qWait(1000);
    EXPECT_TRUE(gaveWay());
    EXPECT_TRUE(forms.find(names::frmtexte)->isVisible());
}

TEST_F(SplashTest, GivesWayAtOnceOnAKeyPress)
{
    QTest::keyClick(splash, Qt::Key_Space);
    EXPECT_TRUE(gaveWay());
}

TEST_F(SplashTest, ClicksOnHandledElementsGiveWay)
{
    const char* handled[] = {"Frame1", "Image1", "imgLogo", "Label2", "label3",
                             "label4", "Label5", "Label8"};
    for (const char* name : handled) {
        forms.unload(names::frmtexte);
        splash = forms.show(names::frmSplash);
        auto* element = splash->findChild<QWidget*>(name);
        ASSERT_NE(element, nullptr) << name;
        QTest::mouseClick(element, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_TRUE(gaveWay()) << name;
    }
}

TEST_F(SplashTest, ClicksOnLabelsWithoutHandlerDoNothing)
{
    for (const char* name : {"Label1", "Label6", "Label7", "Label9"}) {
        auto* element = splash->findChild<QLabel*>(name);
        ASSERT_NE(element, nullptr) << name;
        QTest::mouseClick(element, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_FALSE(gaveWay()) << name;
    }
    EXPECT_EQ(splash->findChild<QLabel*>("Label5")->text(), "QUILLARNE");
    EXPECT_EQ(splash->findChild<QLabel*>("Label8")->text(), "Concordancias VXT");
}

// The system-information start-up over a scripted registry.
class SysInfoTest : public ::testing::Test {
protected:
    testing::FakeDesktop fake;
    const std::pair<QString, QString> tool{"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH"};
    const std::pair<QString, QString> folder{"SOFTWARE\\Microsoft\\Shared Tools Location",
                                             "MSINFO"};

    static RegistryValue text(const char* s) { return {1, std::string(s) + '\0'}; }
    void expectFailureMessage()
    {
        ASSERT_EQ(fake.dialogs.shown.size(), 1u);
        EXPECT_EQ(fake.dialogs.shown[0].text,
                  "Les informations système ne sont pas disponibles actuellement");
        EXPECT_EQ(fake.dialogs.shown[0].title, "Solandre");
        EXPECT_EQ(fake.dialogs.shown[0].buttons, Buttons::Ok);
    }
};

TEST_F(SysInfoTest, NoRegistryGivesTheMessage)
{
    EXPECT_FALSE(StartSysInfo(fake.desktop, nullptr));
    expectFailureMessage();
    EXPECT_TRUE(fake.launcher.started.empty());
}

TEST_F(SysInfoTest, ThePathValueIsStartedWithoutAnExistenceTest)
{
    fake.registry.values[tool] = text("C:\\Tools\\msinfo32.exe");
    EXPECT_TRUE(StartSysInfo(fake.desktop, nullptr));
    EXPECT_EQ(fake.launcher.started, std::vector<QString>{"C:\\Tools\\msinfo32.exe"});
    EXPECT_TRUE(fake.dialogs.shown.empty());

    fake.launcher.startSucceeds = false;
    EXPECT_FALSE(StartSysInfo(fake.desktop, nullptr));
    expectFailureMessage();
}

TEST_F(SysInfoTest, TheFolderValueNeedsTheToolFile)
{
    fake.registry.values[folder] = text("C:\\Shared");
    EXPECT_FALSE(StartSysInfo(fake.desktop, nullptr));
    expectFailureMessage();

    fake.dialogs.shown.clear();
    fake.launcher.existingFiles.insert("C:\\Shared\\MSINFO32.EXE");
    EXPECT_TRUE(StartSysInfo(fake.desktop, nullptr));
    EXPECT_EQ(fake.launcher.started, std::vector<QString>{"C:\\Shared\\MSINFO32.EXE"});
}

TEST(RegistryValueText, DecodesStringsAndNumbers)
{
    struct Case { const char* name; RegistryValue value; const char* text; };
    const Case cases[] = {
        {"string less its NUL", {1, std::string("C:\\x\0", 5)}, "C:\\x"},
        {"string without NUL", {1, "abc"}, "abc"},
        {"number, little-endian", {4, std::string("\x01\x10\x00\x00", 4)}, "4097"},
        {"number with zero bytes inside", {4, std::string("\x00\x01\x00\x01", 4)}, "16777472"},
        {"largest number", {4, std::string("\xFF\xFF\xFF\xFF", 4)}, "4294967295"},
        {"other type", {3, "\x01\x02"}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(registryValueText(c.value), c.text) << c.name;
}

} // namespace
} // namespace solandre
