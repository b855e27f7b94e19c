// The two password-change dialogs as the user meets them from the login dialog.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>

#include <sys/stat.h>

#include "tests/sentry/LockerRig.h"

namespace hg::testing {
namespace {

constexpr const char* kNotAllowed =
    "You are not allowed to change your password.  Please contact an administrator.";

// Opens the voluntary dialog for the name and password in the login dialog's boxes.
sentry::frmCPass* openChange(LockerRig& rig, const QString& name, const QString& password) {
    rig.login().userName->setText(name);
    rig.login().password->setText(password);
    rig.login().cmdChangePass->click();
    LockerRig::settle();
    return rig.locker.frmCPassIfMade();
}

void fill(sentry::frmCPass& dialog, const char* old, const char* fresh, const char* verify) {
    dialog.oldPassword->setText(old);
    dialog.newPassword->setText(fresh);
    dialog.vPassword->setText(verify);
}

TEST(OwnPasswordChangeTest, UsersNotAllowedSeeTheDialogCloseAtOnce) {
    for (const char* name : {"bob", ""}) {
        SCOPED_TRACE(name);
        LockerRig rig;
        rig.start();
        sentry::frmCPass* dialog = openChange(rig, name, "");
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_FALSE(dialog->isLoaded());
        EXPECT_EQ(labelText(rig.login().Label5), kNotAllowed);
        EXPECT_TRUE(rig.login().isEnabled());
        EXPECT_EQ(rig.fake.desktop().attentionWindow(), &rig.login());
    }
}

struct OwnCase {
    const char* what;
    const char* old;
    const char* fresh;
    const char* verify;
    const char* message;  // in the dialog; "" when it closed
};

TEST(OwnPasswordChangeTest, RefusalsKeepTheDialogAndTheFiles) {
    const std::vector<OwnCase> cases = {
        {"mismatch", "abc", "new", "New", "The passwords do not match.  Please try again."},
        {"wrong old password", "abd", "new", "new", "Invalid Password."},
    };
    for (const OwnCase& c : cases) {
        SCOPED_TRACE(c.what);
        LockerRig rig;
        rig.start();
        sentry::frmCPass& dialog = *openChange(rig, "ann", "");
        ASSERT_TRUE(dialog.isVisible());
        EXPECT_FALSE(rig.login().isEnabled());
        fill(dialog, c.old, c.fresh, c.verify);
        dialog.Command1->click();
        EXPECT_EQ(labelText(dialog.Label5), c.message);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(rig.file("\\data\\pfile.ini"), kSamplePfile);
    }
}

TEST(OwnPasswordChangeTest, AChangeEndsAsThePfilesLastLineWhateverTheOtherLists) {
    LockerRig rig;
    // Listed as disabled and as having to change: neither list matters to this dialog.
    rig.fake.writeFile("\\data\\disable.ini", "ann\r\n");
    rig.fake.writeFile("\\data\\mcpass.ini", "ann\r\n");
    rig.start();
    sentry::frmCPass& dialog = *openChange(rig, "Ann", "");
    fill(dialog, "cab", "d", "d");
    dialog.Command1->click();
    LockerRig::settle();

    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(labelText(rig.login().Label5), "Password change complete!");
    EXPECT_TRUE(rig.login().isEnabled());
    EXPECT_EQ(rig.fake.desktop().attentionWindow(), &rig.login());
    const std::string pfile = rig.file("\\data\\pfile.ini");
    EXPECT_EQ(pfile, std::string(kSamplePfile).substr(10) +
                         "ANN\xB5"
                         "2000\r\n");
    EXPECT_EQ(rig.file("\\data\\mcpass.ini"), "ann\r\n");
}

TEST(OwnPasswordChangeTest, CancelAndEscCloseWithoutAChange) {
    for (bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Esc" : "Cancel");
        LockerRig rig;
        rig.start();
        sentry::frmCPass& dialog = *openChange(rig, "ann", "");
        fill(dialog, "abc", "d", "d");
        if (escape) {
            QTest::keyClick(dialog.vPassword, Qt::Key_Escape);
        } else {
            dialog.Command2->click();
        }
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(rig.login().isEnabled());
        EXPECT_EQ(rig.file("\\data\\pfile.ini"), kSamplePfile);
    }
}

TEST(OwnPasswordChangeTest, TheDialogOpensEmptyEachTime) {
    LockerRig rig;
    rig.start();
    sentry::frmCPass& dialog = *openChange(rig, "ann", "");
    fill(dialog, "abc", "x", "y");
    dialog.Command1->click();
    dialog.Command2->click();
    openChange(rig, "ann", "");
    EXPECT_EQ(dialog.oldPassword->text(), "");
    EXPECT_EQ(labelText(dialog.Label5), "Important messages appear here.");
}

TEST(PasswordDialogsTest, BothDialogsComeUpOnTop) {
    LockerRig rig;
    rig.start();
    openChange(rig, "ann", "");
    EXPECT_TRUE(rig.fake.desktop().events().contains("topmost frmCPass 1"));
    rig.locker.frmCPassIfMade()->Command2->click();
    rig.logIn("eve", "abc");
    EXPECT_TRUE(rig.fake.desktop().events().contains("topmost frmMustCPass 1"));
}

TEST(RequiredPasswordChangeTest, TheLoginOpensItInsteadOfTheDesktop) {
    LockerRig rig;
    rig.start();
    rig.logIn("eve", "abc");
    sentry::frmMustCPass* dialog = rig.locker.frmMustCPassIfMade();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(rig.login().isVisible());
    EXPECT_EQ(rig.fake.desktop().attentionWindow(), dialog);
    EXPECT_TRUE(dialog->newPassword->hasFocus());

    dialog->newPassword->setText("d");
    dialog->vPassword->setText("e");
    dialog->Command1->click();
    EXPECT_EQ(labelText(dialog->Label2), "Passwords do not match.  Please try again.");
    EXPECT_EQ(rig.file("\\data\\pfile.ini"), kSamplePfile);
    EXPECT_EQ(rig.file("\\data\\mcpass.ini"), "dee\r\neve\r\ngus\r\n");
}

TEST(RequiredPasswordChangeTest, TheNewPasswordTakesTheUserStraightOn) {
    LockerRig rig;
    rig.start();
    rig.logIn("eve", "abc");
    sentry::frmMustCPass& dialog = *rig.locker.frmMustCPassIfMade();
    dialog.newPassword->setText("d");
    dialog.vPassword->setText("d");
    dialog.Command1->click();

    EXPECT_EQ(rig.file("\\data\\pfile.ini"),
              "ANN\xB5"
              "5880\r\nBOB\xB5"
              "5880\r\nCY\xB5"
              "5880\r\nDEE\xB5"
              "5880\r\n"
              "FAY\xB5"
              "5880\r\nGUS\xB5"
              "5880\r\nEVE\xB5"
              "2000\r\n");
    EXPECT_EQ(rig.file("\\data\\mcpass.ini"), "dee\r\ngus\r\n");
    // The login ran again with the new password: eve is in Lab alone, so Lab is applied.
    EXPECT_EQ(rig.login().password->text(), "d");
    EXPECT_EQ(rig.file("\\logs\\locker.txt"),
              "03-02-2000   09:05:03   - 'eve' successfully logged in.\r\n");
    EXPECT_EQ(rig.beeps(), 0);
    EXPECT_EQ(rig.lifetime.resident, 1);
    EXPECT_FALSE(dialog.isLoaded());
}

TEST(RequiredPasswordChangeTest, TheKeysStayBlockedWhileTheUserChoosesAGroup) {
    LockerRig rig;
    rig.start();
    rig.logIn("gus", "abc");
    sentry::frmMustCPass& dialog = *rig.locker.frmMustCPassIfMade();
    dialog.newPassword->setText("d");
    dialog.vPassword->setText("d");
    dialog.Command1->click();
    LockerRig::settle();

    EXPECT_TRUE(rig.visible(rig.locker.groupSelectIfMade()));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(rig.login().isVisible());
    EXPECT_TRUE(rig.fake.desktop().screenSaverRunning());
    EXPECT_EQ(rig.fake.desktop().attentionWindow(), rig.locker.groupSelectIfMade());
}

TEST(RequiredPasswordChangeTest, CancelBringsBackAnEmptyLoginAndTheNextLoginAsksAgain) {
    LockerRig rig;
    rig.start();
    rig.logIn("eve", "abc");
    sentry::frmMustCPass& dialog = *rig.locker.frmMustCPassIfMade();
    dialog.newPassword->setText("d");
    dialog.Command2->click();
    LockerRig::settle();

    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(rig.login().isVisible());
    EXPECT_EQ(rig.login().userName->text(), "");
    EXPECT_EQ(rig.login().password->text(), "");
    EXPECT_TRUE(rig.login().userName->hasFocus());
    EXPECT_EQ(labelText(rig.login().Label5), "Welcome to the lab.");
    EXPECT_EQ(rig.file("\\data\\pfile.ini"), kSamplePfile);
    EXPECT_EQ(rig.file("\\data\\mcpass.ini"), "dee\r\neve\r\ngus\r\n");

    rig.logIn("eve", "abc");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.newPassword->text(), "");
}

TEST(RequiredPasswordChangeTest, APfileThatCannotBeRewrittenKeepsTheUserOnTheList) {
    LockerRig rig;
    // A directory where the new copy would be written: the rewrite fails before the swap.
    ASSERT_EQ(::mkdir((rig.fake.applicationDirectory() + "/data/pfile.tmp").c_str(), 0755), 0);
    rig.start();
    rig.logIn("eve", "abc");
    sentry::frmMustCPass& dialog = *rig.locker.frmMustCPassIfMade();
    dialog.newPassword->setText("d");
    dialog.vPassword->setText("d");
    dialog.Command1->click();

    EXPECT_EQ(labelText(dialog.Label2), "The password could not be changed.");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(rig.file("\\data\\pfile.ini"), kSamplePfile);
    EXPECT_EQ(rig.file("\\data\\mcpass.ini"), "dee\r\neve\r\ngus\r\n");
    EXPECT_EQ(rig.lifetime.resident, 0);
}

}  // namespace
}  // namespace hg::testing
