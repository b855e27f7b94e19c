// The start-up sequence: the kinds of run, the single copy, useServer, the logon prompt, and the
// hand-over to a resident copy at the end of a login.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include "tests/sentry/LockerRig.h"

namespace hg::testing {
namespace {

struct StartCase {
    const char* what;
    const char* commandLine;
    std::function<void(LockerRig&)> setUp;
    bool locked;        // the cover and the login dialog are up, the keys blocked
    bool ended;         // the program ended at once
    bool entryWritten;  // the start-up entry
    int logOffs;
    bool resident;
};

void noSetUp(LockerRig&) {}

TEST(StartupTest, TheCommandLineAndTheSystemDecideTheKindOfRun) {
    const std::vector<StartCase> cases = {
        {"no argument", "", noSetUp, true, false, false, 0, false},
        {"/q2 in lower case is a normal run", "/q2", noSetUp, true, false, false, 0, false},
        {"/Q is a normal run until its end", "/Q", noSetUp, true, false, false, 0, false},
        {"/Q2 with a space after it is a normal run", "/Q2 ", noSetUp, true, false, false, 0,
         false},
        {"/Q2 waits and blocks nothing", "/Q2", noSetUp, false, false, false, 0, true},
        {"/L writes the entry, then logs off", "/L", noSetUp, false, true, true, 1, false},
        {"/L with another copy running", "/L",
         [](LockerRig& r) { r.fake.processes().setAnotherCopyRunning(true); }, false, true, true, 1,
         false},
        {"another copy running", "",
         [](LockerRig& r) { r.fake.processes().setAnotherCopyRunning(true); }, false, true, false,
         0, false},
        {"a logon prompt on screen", "",
         [](LockerRig& r) { r.fake.desktop().addWindow("Enter Windows Password"); }, false, true,
         true, 0, false},
        {"a logon prompt on screen, /L", "/L",
         [](LockerRig& r) { r.fake.desktop().addWindow("Enter Password"); }, false, true, true, 0,
         false},
        {"useServer missing", "",
         [](LockerRig& r) {
             mdlRegistry::deleteKey(r.fake.registry(), RegistryRoot::LocalMachine,
                                    "Software\\Hallgard Pro");
         },
         false, true, true, 0, false},
        {"useServer empty is stand-alone", "", [](LockerRig& r) { r.setUseServer(""); }, true,
         false, false, 0, false},
        {"useServer \" 1\" is stand-alone", "", [](LockerRig& r) { r.setUseServer(" 1"); }, true,
         false, false, 0, false},
        {"useServer as a number is stand-alone", "",
         [](LockerRig& r) {
             mdlRegistry::setKeyValue(r.fake.registry(), RegistryRoot::LocalMachine,
                                      "Software\\Hallgard Pro", "useServer", "1", 4);
         },
         true, false, false, 0, false},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.what);
        LockerRig rig(c.commandLine);
        c.setUp(rig);
        rig.start();
        RecordingDesktop& desktop = rig.fake.desktop();

        EXPECT_EQ(rig.visible(rig.locker.bgIfMade()), c.locked);
        EXPECT_EQ(rig.visible(rig.locker.lockScreenIfMade()), c.locked);
        EXPECT_FALSE(rig.visible(rig.locker.startupIfMade()));
        EXPECT_EQ(desktop.screenSaverRunning(), c.locked);
        EXPECT_EQ(desktop.events().contains("screenSaver 1"), c.locked);
        EXPECT_EQ(rig.lifetime.ended, c.ended ? 1 : 0);
        EXPECT_EQ(rig.startupEntry(),
                  c.entryWritten ? std::optional(rig.expectedEntry()) : std::nullopt);
        EXPECT_EQ(rig.fake.processes().logOffCount(), c.logOffs);
        EXPECT_EQ(rig.lifetime.resident, c.resident ? 1 : 0);
        EXPECT_TRUE(rig.fake.processes().started().empty());
    }
}

TEST(StartupTest, TheStepsRunInTheirOrderUpToTheLoginDialog) {
    LockerRig rig;
    rig.start();
    const QStringList expected = {
        "screenSaver 1",        "topmost startup 1",  "confine startup",      "screenSaver 1",
        "topmost lockScreen 1", "confine lockScreen", "attention lockScreen",
    };
    EXPECT_EQ(rig.fake.desktop().events().mid(0, expected.size()), expected);
    EXPECT_EQ(rig.fake.desktop().attentionWindow(), &rig.login());
    EXPECT_EQ(rig.fake.desktop().pointerConfinedTo(), &rig.login());
    EXPECT_TRUE(rig.login().userName->hasFocus());
}

TEST(StartupTest, TheCoverSpansTheScreensWithItsPicture) {
    LockerRig rig;
    rig.start();
    sentry::bg& cover = *rig.locker.bgIfMade();
    EXPECT_EQ(cover.geometry(), QGuiApplication::primaryScreen()->virtualGeometry());
    EXPECT_EQ(cover.Image1->pixmap().size(), QSize(349, 87));
    EXPECT_EQ(cover.Image1->geometry(), QRect(2, 2, 349, 87));
    EXPECT_EQ(cover.palette().color(QPalette::Window), QColor(Qt::black));
}

TEST(StartupTest, TheNetworkedEditionWaitsOnTheStartUpWindow) {
    LockerRig rig;
    rig.setUseServer("1");
    rig.start();
    EXPECT_TRUE(rig.visible(rig.locker.startupIfMade()));
    EXPECT_TRUE(rig.visible(rig.locker.bgIfMade()));
    EXPECT_FALSE(rig.loaded(rig.locker.lockScreenIfMade()));
    EXPECT_TRUE(rig.fake.desktop().screenSaverRunning());
    // Keys on the cover do not open the login dialog before the data files are in.
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(rig.locker.bgIfMade(), &key);
    EXPECT_FALSE(rig.loaded(rig.locker.lockScreenIfMade()));
}

TEST(StartupTest, TheSessionEndingAtTheLoginDialogBringsTheLockerBackNextTime) {
    LockerRig rig;
    rig.start();
    EXPECT_EQ(rig.startupEntry(), std::nullopt);
    rig.lifetime.runFinalWork();
    EXPECT_EQ(rig.startupEntry(), rig.expectedEntry());
}

TEST(StartupTest, AResidentCopyWritesTheEntryWhenTheSessionEnds) {
    LockerRig rig("/Q2");
    const auto before = rig.file("\\registry\\HKEY_CURRENT_USER.reg");
    rig.start();
    EXPECT_EQ(rig.file("\\registry\\HKEY_CURRENT_USER.reg"), before);
    EXPECT_TRUE(rig.fake.desktop().events().isEmpty());
    ASSERT_TRUE(rig.lifetime.finalWork);
    rig.lifetime.runFinalWork();
    EXPECT_EQ(rig.startupEntry(), rig.expectedEntry());
}

struct PromptCase {
    const char* title;
    std::function<void(LockerRig&)> event;
};

TEST(StartupTest, ALogonPromptThatComesUpLaterEndsTheLocker) {
    const std::vector<PromptCase> cases = {
        {"Enter Network Password", [](LockerRig& r) { r.locker.bgIfMade()->onTimer1Tick(); }},
        {"Enter Password",
         [](LockerRig& r) {
             QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton,
                              Qt::NoButton, Qt::NoModifier);
             QApplication::sendEvent(&r.login(), &move);
         }},
        {"Enter Windows Password",
         [](LockerRig& r) {
             QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton,
                              Qt::NoButton, Qt::NoModifier);
             QApplication::sendEvent(r.locker.bgIfMade(), &move);
         }},
    };
    for (const PromptCase& c : cases) {
        SCOPED_TRACE(c.title);
        LockerRig rig;
        rig.start();
        rig.fake.desktop().addWindow(c.title);
        c.event(rig);
        EXPECT_EQ(rig.lifetime.ended, 1);
        EXPECT_EQ(rig.startupEntry(), rig.expectedEntry());
        EXPECT_FALSE(rig.fake.desktop().screenSaverRunning());
        EXPECT_FALSE(rig.loaded(rig.locker.bgIfMade()));
        EXPECT_FALSE(rig.loaded(&rig.login()));
        EXPECT_EQ(rig.fake.desktop().events().last(), "releasePointer");
    }
}

TEST(StartupTest, AMouseMoveOverTheCoverBlocksTheKeysAgain) {
    LockerRig rig;
    rig.start();
    // Something else let the keys go while the screen is still locked.
    rig.fake.desktop().setScreenSaverRunning(false);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(rig.locker.bgIfMade(), &move);
    EXPECT_TRUE(rig.fake.desktop().screenSaverRunning());
    EXPECT_EQ(rig.lifetime.ended, 0);
}

TEST(StartupTest, WithQTheLockerHandsOverToAResidentCopyInsteadOfStartingTheShell) {
    LockerRig rig("/Q");
    rig.start();
    rig.logIn("ann", "abc");
    const auto& started = rig.fake.processes().started();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].commandLine, rig.fake.applicationDirectory() + "\\hgsentry.exe /Q2");
    EXPECT_EQ(started[0].show, ShowState::Minimized);
    EXPECT_EQ(rig.lifetime.endedWithoutFinalWork, 1);
    EXPECT_EQ(rig.lifetime.resident, 0);
    EXPECT_FALSE(rig.fake.desktop().screenSaverRunning());
    EXPECT_EQ(rig.dword(RegistryRoot::CurrentUser, kPolicies + "Explorer", "NoDrives"),
              0x03FFFFFFu);
    EXPECT_EQ(rig.startupEntry(), std::nullopt);
}

TEST(StartupTest, TheShellIsAskedToQuitAndStartedOnlyWhenItsWindowIsGone) {
    for (int shellWindows : {1, 2}) {
        SCOPED_TRACE(shellWindows);
        LockerRig rig;
        for (int i = 0; i < shellWindows; ++i) rig.fake.desktop().addWindow("Program Manager");
        rig.start();
        rig.logIn("ann", "abc");
        EXPECT_EQ(rig.fake.desktop().events().filter("askToClose").size(), 1);
        // A window that has not gone yet by the time the shell would start keeps it from starting.
        EXPECT_EQ(rig.fake.processes().started().size(), shellWindows == 1 ? 1u : 0u);
    }
    LockerRig rig;
    rig.locker.startShellIfAbsent();
    rig.locker.startShellIfAbsent();
    EXPECT_EQ(rig.fake.processes().started().size(), 1u);
}

}  // namespace
}  // namespace hg::testing
