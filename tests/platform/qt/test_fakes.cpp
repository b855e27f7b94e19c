// The fakes other tests stand on: what they record and answer.
#include <QPushButton>

#include <gtest/gtest.h>

#include "platform/fake/qt/FakePlatform.h"

namespace {

std::string asciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    return out;
}

TEST(FakePlatform, HasItsOwnApplicationDirectoryWithRealFilesAndRegistry) {
    hg::fake::FakePlatform fake(asciiUpper);
    hg::fake::FakePlatform other(asciiUpper);
    EXPECT_NE(fake.applicationDirectory(), other.applicationDirectory());
    EXPECT_EQ(fake.platform().processes.applicationDirectory(), fake.applicationDirectory());

    fake.writeFile("\\data\\pfile.ini",
                   "ANN\xB5"
                   "1940\r\n");
    EXPECT_EQ(fake.readFile("\\DATA\\PFILE.INI"),
              "ANN\xB5"
              "1940\r\n");
    EXPECT_EQ(fake.readFile("\\data\\missing.ini"), std::nullopt);
    EXPECT_TRUE(fake.files().exists("\\logs"));

    hg::RegistryHive& registry = fake.platform().registry;
    ASSERT_TRUE(registry.createKey(hg::RegistryRoot::LocalMachine, "Software\\Hallgard Pro").ok());
    ASSERT_TRUE(registry
                    .setValue(hg::RegistryRoot::LocalMachine, "software\\hallgard pro\\",
                              "useServer", hg::RegistryValue::string("1"))
                    .ok());
    EXPECT_TRUE(fake.readFile("\\registry\\HKEY_LOCAL_MACHINE.reg")->find("\"useServer\"=\"1\"") !=
                std::string::npos);
}

TEST(RecordingDesktop, RecordsActionsInOrderAndClosesPretendWindows) {
    hg::RecordingDesktop desktop;
    QPushButton named;
    named.setObjectName("lockScreen");
    QPushButton unnamed;
    const hg::WindowHandle prompt = desktop.addWindow("Enter Windows Password");
    desktop.addWindow("Program Manager");

    EXPECT_EQ(desktop.findWindow("Enter Windows Password"), prompt);
    EXPECT_EQ(desktop.findWindow("enter windows password"), std::nullopt) << "exact title";
    desktop.setScreenSaverRunning(true);
    desktop.setAttentionWindow(&named);
    desktop.confinePointer(named);
    desktop.setTopmost(unnamed, true);
    desktop.refresh();
    desktop.beep();
    EXPECT_TRUE(desktop.askToClose(prompt));
    EXPECT_FALSE(desktop.askToClose(prompt));
    desktop.releasePointer();
    desktop.setAttentionWindow(nullptr);

    EXPECT_EQ(
        desktop.events(),
        (QStringList{"screenSaver 1", "attention lockScreen", "confine lockScreen",
                     "topmost QPushButton 1", "beep", QString("askToClose %1").arg(prompt),
                     QString("askToClose %1").arg(prompt), "releasePointer", "attention none"}));
    EXPECT_EQ(desktop.windowTitles(), QStringList{"Program Manager"});
    EXPECT_EQ(desktop.findWindowCount(), 2);
    EXPECT_EQ(desktop.refreshCount(), 1);
    EXPECT_TRUE(desktop.screenSaverRunning());
    EXPECT_EQ(desktop.pointerConfinedTo(), nullptr);
}

TEST(ScriptedDialogs, AnswersInQueueOrderThenTheDefaultAndRecordsEachCall) {
    hg::fake::ScriptedDialogs fake;
    hg::Dialogs& dialogs = fake;  // as the code under test holds it
    fake.queueAnswer(hg::MessageAnswer::No);
    fake.queueFile(QString("/opt/app/calc.exe"));
    fake.queueFile(std::nullopt);

    using hg::MessageAnswer;
    using hg::MessageButtons;
    using hg::MessageIcon;
    EXPECT_EQ(dialogs.messageBox("Delete?", "", MessageIcon::Exclamation, MessageButtons::YesNo,
                                 MessageAnswer::Yes),
              MessageAnswer::No);
    EXPECT_EQ(dialogs.messageBox("Done.", "Users", MessageIcon::Information, MessageButtons::Ok),
              MessageAnswer::Ok);
    EXPECT_EQ(dialogs.openFile("Choose Application", "*.exe;*.com"), "/opt/app/calc.exe");
    EXPECT_EQ(dialogs.openFile("Choose Application", "*.exe;*.com"), std::nullopt);
    EXPECT_EQ(dialogs.openFile("Choose Application", "*.exe;*.com"), std::nullopt);

    ASSERT_EQ(fake.messageBoxes().size(), 2u);
    EXPECT_EQ(fake.messageBoxes()[0].title, "Hallgard Pro");
    EXPECT_EQ(fake.messageBoxes()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(fake.messageBoxes()[1].title, "Users");
    EXPECT_EQ(fake.messageBoxes()[1].icon, MessageIcon::Information);
    EXPECT_EQ(fake.openFileCalls().size(), 3u);
}

}  // namespace
