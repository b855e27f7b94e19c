// The road of a login through the windows: what the user sees, hears and leaves behind for each
// outcome of the Login button.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include "tests/sentry/LockerRig.h"

namespace hg::testing {
namespace {

constexpr const char* kWelcome = "Welcome to the lab.";

struct Road {
    const char* what;
    const char* name;
    const char* password;
    int beeps;
    const char* nameBox;  // the boxes afterwards
    const char* passwordBox;
    const char* message;  // the login dialog's message area afterwards
    const char* log;      // the message of the one locker log line, or "" for none
    bool loginShown;
    std::vector<std::string> choices;  // the group dialog's list when it is shown
    bool mustChangeShown;
    bool applied;  // a group was applied and the locker stays resident
};

std::string logLine(const char* message) {
    return *message ? "03-02-2000   09:05:03" + std::string(message) + "\r\n" : std::string();
}

TEST(LoginRoadTest, EachOutcomeOfTheLoginButton) {
    const std::vector<Road> roads = {
        {"wrong password",
         "ann",
         "abd",
         1,
         "",
         "",
         kWelcome,
         "   - Incorrect login while computer was locked.  User: 'ann'.",
         true,
         {},
         false,
         false},
        {"disabled",
         "cy",
         "abc",
         0,
         "",
         "",
         "Your account has been disabled.  Please contact an administrator.",
         "",
         true,
         {},
         false,
         false},
        {"disabled and must change",
         "dee",
         "abc",
         0,
         "",
         "",
         "Your account has been disabled.  Please contact an administrator.",
         "",
         true,
         {},
         false,
         false},
        {"wrong password and disabled",
         "CY",
         "xyz",
         1,
         "",
         "",
         kWelcome,
         "   - Incorrect login while computer was locked.  User: 'CY'.",
         true,
         {},
         false,
         false},
        {"must change", "eve", "abc", 0, "eve", "abc", kWelcome, "", false, {}, true, false},
        {"no groups",
         "fay",
         "abc",
         0,
         "fay",
         "abc",
         "You do not belong to any groups.  You cannot log in.",
         "   - 'fay' successfully logged in.",
         true,
         {},
         false,
         false},
        {"one group, listed twice in it",
         "Ann",
         "bca",
         0,
         "Ann",
         "bca",
         kWelcome,
         "   - 'Ann' successfully logged in.",
         false,
         {},
         false,
         true},
        {"two groups, sorted",
         "bob",
         "abc",
         0,
         "bob",
         "abc",
         kWelcome,
         "   - 'bob' successfully logged in.",
         false,
         {"Alpha", "Zeta"},
         false,
         false},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.what);
        LockerRig rig;
        rig.start();
        ASSERT_TRUE(rig.visible(&rig.login()));
        rig.logIn(road.name, road.password);

        EXPECT_EQ(rig.beeps(), road.beeps);
        EXPECT_EQ(rig.login().userName->text().toStdString(), road.nameBox);
        EXPECT_EQ(rig.login().password->text().toStdString(), road.passwordBox);
        EXPECT_EQ(labelText(rig.login().Label5), road.message);
        EXPECT_EQ(rig.file("\\logs\\locker.txt"), logLine(road.log));
        EXPECT_EQ(rig.visible(&rig.login()), road.loginShown);
        EXPECT_EQ(rig.loaded(&rig.login()), !road.applied);
        EXPECT_EQ(rig.visible(rig.locker.frmMustCPassIfMade()), road.mustChangeShown);
        EXPECT_EQ(rig.lifetime.resident, road.applied ? 1 : 0);
        EXPECT_EQ(rig.fake.desktop().screenSaverRunning(), !road.applied);

        sentry::groupSelect* chooser = rig.locker.groupSelectIfMade();
        EXPECT_EQ(rig.visible(chooser), !road.choices.empty());
        if (!road.choices.empty()) {
            std::vector<std::string> shown;
            for (int i = 0; i < chooser->lstGroupList->count(); ++i) {
                shown.push_back(chooser->lstGroupList->item(i)->text().toStdString());
            }
            EXPECT_EQ(shown, road.choices);
            EXPECT_EQ(rig.fake.desktop().attentionWindow(), chooser);
        }
    }
}

TEST(LoginRoadTest, OneGroupIsAppliedAtOnceAndReleasesTheScreen) {
    LockerRig rig;
    rig.start();
    rig.logIn("ann", "abc");

    EXPECT_EQ(rig.state.login.chosenGroup, "Lab");
    EXPECT_EQ(rig.dword(RegistryRoot::CurrentUser, kPolicies + "Explorer", "NoDrives"),
              0x03FFFFFFu);
    EXPECT_EQ(rig.dword(RegistryRoot::CurrentUser, kPolicies + "Explorer", "RestrictRun"), 1u);
    EXPECT_FALSE(rig.loaded(rig.locker.bgIfMade()));
    EXPECT_FALSE(rig.loaded(&rig.login()));
    // The group dialog stays loaded, hidden, so that its close at the session's end writes the
    // start-up entry.
    ASSERT_TRUE(rig.loaded(rig.locker.groupSelectIfMade()));
    EXPECT_FALSE(rig.visible(rig.locker.groupSelectIfMade()));
    EXPECT_EQ(rig.fake.desktop().attentionWindow(), nullptr);
    ASSERT_EQ(rig.fake.processes().started().size(), 1u);
    EXPECT_EQ(rig.fake.processes().started()[0].commandLine, "Explorer.exe");
    EXPECT_EQ(rig.fake.processes().started()[0].show, ShowState::Normal);
    EXPECT_EQ(rig.startupEntry(), std::nullopt);

    rig.locker.groupSelectIfMade()->close();
    EXPECT_EQ(rig.startupEntry(), rig.expectedEntry());
}

TEST(LoginRoadTest, TheGroupDialogAppliesTheClickedGroupAndNothingWithoutOne) {
    LockerRig rig;
    rig.start();
    rig.logIn("bob", "abc");
    sentry::groupSelect& chooser = *rig.locker.groupSelectIfMade();

    chooser.Command1->click();
    EXPECT_TRUE(chooser.isVisible());
    EXPECT_EQ(rig.lifetime.resident, 0);
    EXPECT_EQ(rig.dword(RegistryRoot::CurrentUser, kPolicies + "Explorer", "NoRun"), std::nullopt);

    chooser.lstGroupList->setCurrentRow(0);  // Alpha
    EXPECT_EQ(rig.state.login.chosenGroup, "Alpha");
    chooser.Command1->click();
    EXPECT_EQ(rig.lifetime.resident, 1);
    EXPECT_EQ(rig.dword(RegistryRoot::CurrentUser, kPolicies + "Explorer", "NoRun"), 1u);
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_TRUE(chooser.isLoaded());
}

TEST(LoginRoadTest, AGroupClickedForAnEarlierLoginIsNotAppliedByOKAlone) {
    LockerRig rig;
    rig.start();
    rig.logIn("bob", "abc");
    sentry::groupSelect& chooser = *rig.locker.groupSelectIfMade();
    chooser.lstGroupList->setCurrentRow(0);  // Alpha
    ASSERT_EQ(rig.state.login.chosenGroup, "Alpha");

    // Back to the login dialog through the cover, and a new login: the list is filled afresh.
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(rig.locker.bgIfMade(), &key);
    rig.logIn("bob", "abc");
    ASSERT_TRUE(chooser.isVisible());
    EXPECT_TRUE(chooser.lstGroupList->selectedItems().isEmpty());
    chooser.Command1->click();

    EXPECT_TRUE(chooser.isVisible());
    EXPECT_EQ(rig.lifetime.resident, 0);
    EXPECT_EQ(rig.dword(RegistryRoot::CurrentUser, kPolicies + "Explorer", "NoRun"), std::nullopt);
}

TEST(LoginRoadTest, AKeyOrAClickOnTheCoverBringsTheHiddenLoginDialogBack) {
    for (bool click : {false, true}) {
        SCOPED_TRACE(click ? "click" : "key");
        LockerRig rig;
        rig.start();
        rig.logIn("bob", "abc");
        ASSERT_FALSE(rig.login().isVisible());
        if (click) {
            QTest::mouseClick(rig.locker.bgIfMade(), Qt::RightButton, {}, QPoint(600, 500));
        } else {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
            QApplication::sendEvent(rig.locker.bgIfMade(), &key);
        }
        EXPECT_TRUE(rig.login().isVisible());
        EXPECT_EQ(rig.fake.desktop().attentionWindow(), &rig.login());
    }
}

TEST(LoginRoadTest, ReleasingTheScreenUndoesEveryLockInItsOrder) {
    LockerRig rig;
    rig.start();
    rig.fake.desktop().clearEvents();
    rig.logIn("ann", "abc");
    // The cover, the start-up window and the login dialog close in this order; then the keys.
    const QStringList expected = {"screenSaver 0",  "topmost bg 0",   "releasePointer",
                                  "releasePointer", "attention none", "screenSaver 0"};
    QStringList events = rig.fake.desktop().events();
    events.removeAll("confine groupSelect");
    EXPECT_EQ(events, expected);
}

TEST(LoginRoadTest, AClosedLoginDialogNoLongerReadsTheWelcomeMessage) {
    const std::vector<std::pair<const char*, std::function<void(LockerRig&)>>> closings = {
        {"group applied", [](LockerRig& r) { r.logIn("ann", "abc"); }},
        {"logon prompt",
         [](LockerRig& r) {
             r.fake.desktop().addWindow("Enter Password");
             r.locker.bgIfMade()->onTimer1Tick();
         }},
    };
    for (const auto& [what, close] : closings) {
        SCOPED_TRACE(what);
        LockerRig rig;
        rig.start();
        ASSERT_TRUE(rig.login().Timer1->isActive());
        close(rig);
        ASSERT_FALSE(rig.loaded(&rig.login()));
        EXPECT_FALSE(rig.login().Timer1->isActive());
    }
}

// Key presses carrying text, as a keyboard layout with these characters sends them.
void typeInto(QWidget* box, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
    }
}

TEST(LoginRoadTest, TextOutsideTheCodePageIsRefusedWhereItIsTyped) {
    LockerRig rig;
    rig.fake.writeFile("\\data\\pfile.ini",
                       "ZO\xCB\x80\xB5"
                       "5880\r\n");
    rig.start();
    typeInto(rig.login().userName, QString::fromUtf8("zo\u00EB\u20AC"));
    EXPECT_EQ(labelText(rig.login().Label5), kWelcome);
    typeInto(rig.login().userName, QString::fromUtf8("\u03A9"));
    EXPECT_EQ(rig.login().userName->text(), QString::fromUtf8("zo\u00EB\u20AC"));
    EXPECT_EQ(labelText(rig.login().Label5), sentry::kUnrepresentableMessage);

    typeInto(rig.login().password, "abc");
    rig.login().Command1->click();
    // The name as typed, in code page 1252, matched the upper-cased entry line.
    EXPECT_EQ(rig.file("\\logs\\locker.txt"),
              "03-02-2000   09:05:03   - 'zo\xEB\x80' successfully logged in.\r\n");
}

TEST(LoginRoadTest, TheWelcomeMessageIsTheFirstLineAndComesBackAfterAMessage) {
    LockerRig rig;
    rig.start();
    EXPECT_EQ(labelText(rig.login().Label5), kWelcome);
    rig.logIn("cy", "abc");
    EXPECT_NE(labelText(rig.login().Label5), kWelcome);
    rig.login().onTimer1Tick();
    EXPECT_EQ(labelText(rig.login().Label5), kWelcome);

    rig.fake.writeFile("\\data\\welcome.ini", "");
    QTest::mouseClick(rig.login().Label5, Qt::LeftButton);
    EXPECT_EQ(labelText(rig.login().Label5), "");
    ASSERT_EQ(std::remove((rig.fake.applicationDirectory() + "/data/welcome.ini").c_str()), 0);
    rig.login().onTimer1Tick();
    EXPECT_EQ(labelText(rig.login().Label5), "");
}

TEST(LoginRoadTest, NoPfileAdmitsNobody) {
    LockerRig rig;
    ASSERT_EQ(std::remove((rig.fake.applicationDirectory() + "/data/pfile.ini").c_str()), 0);
    rig.start();
    rig.logIn("ann", "abc");
    EXPECT_EQ(rig.beeps(), 1);
    EXPECT_TRUE(rig.login().isVisible());
    EXPECT_EQ(rig.lifetime.resident, 0);
}

}  // namespace
}  // namespace hg::testing
