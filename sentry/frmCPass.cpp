#include "sentry/frmCPass.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>

#include "accountstore/AccountStore.h"
#include "platform/qt/Desktop.h"
#include "sentry/FormFont.h"
#include "sentry/Locker.h"
#include "sentry/PasswordChange.h"
#include "sentry/UiText.h"
#include "sentry/lockScreen.h"

namespace hg::sentry {

frmCPass::frmCPass(Locker& locker)
    : Form(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), locker_(locker) {
    setObjectName("frmCPass");
    useFormFont(*this);
    setWindowTitle("Change Password");
    setTwipsSize(3975, 2595);
    setFixedSize(size());
    Label1 =
        makeLabel(*this, "To change your password, fill in the boxes below.", 120, 120, 3855, 255);
    Label2 = makeLabel(*this, "Old Password:", 120, 480, 1215, 255);
    oldPassword = makeTextBox(*this, 18, true, 1440, 480, 2415, 285);
    Label3 = makeLabel(*this, "New Password:", 120, 840, 1215, 255);
    newPassword = makeTextBox(*this, 18, true, 1440, 840, 2415, 285);
    Label4 = makeLabel(*this, "Verify:", 120, 1200, 1215, 255);
    vPassword = makeTextBox(*this, 18, true, 1440, 1200, 2415, 285);
    Command2 = makeButton(*this, "&Cancel", 1440, 1680, 1095, 375);
    Command1 = makeButton(*this, "&OK", 2760, 1680, 1095, 375);
    Label5 = makeMessageArea(*this, "Important messages appear here.", 120, 2160, 3735, 375);
    setDefaultButton(Command1);
    setCancelButton(Command2);

    oldPassword->setObjectName("oldPassword");
    newPassword->setObjectName("newPassword");
    vPassword->setObjectName("vPassword");
    for (QLineEdit* box : {oldPassword, newPassword, vPassword}) {
        guardCodePage(*box, [this] { Label5->setText(kUnrepresentableMessage); });
    }

    connect(Command1, &QPushButton::clicked, this, &frmCPass::onCommand1Click);
    connect(Command2, &QPushButton::clicked, this, &frmCPass::onCommand2Click);
}

void frmCPass::showAndAttend() {
    if (!locker_.present(*this))
        return;
    locker_.platform().desktop.setTopmost(*this, true);
    // The check also runs here, not only when the window manager activates the window: a dialog the
    // user may not use never stays open.
    permissionCheck();
}

void frmCPass::onLoad() {
    for (QLineEdit* box : {oldPassword, newPassword, vPassword}) box->clear();
    Label5->setText("Important messages appear here.");
    centreOnScreen();
    if (lockScreen* login = locker_.lockScreenIfMade())
        login->setEnabled(false);
}

void frmCPass::onActivate() {
    if (!isLoaded())
        return;
    locker_.attend(*this);
    locker_.platform().desktop.setTopmost(*this, true);
    permissionCheck();
}

void frmCPass::onUnload() {
    if (lockScreen* login = locker_.lockScreenIfMade()) {
        login->setEnabled(true);
        if (login->isVisible())
            login->showAndAttend();
    }
}

void frmCPass::permissionCheck() {
    const LoginContext& login = locker_.login();
    if (login.userName.empty())
        unload();
    const Expected<bool> allowed =
        hasName(locker_.platform().files, DataFile::MayChangePassword, login.userName);
    if (!allowed)
        std::fprintf(stderr, "hgsentry: %s\n", allowed.error().message.c_str());
    if (!allowed || !*allowed) {
        locker_.lockScreenForm().setMessage(
            "You are not allowed to change your password.  Please contact an administrator.");
        unload();
    }
}

void frmCPass::onCommand1Click() {
    const PasswordChangeOutcome outcome =
        changeOwnPassword(locker_.platform().files, locker_.login().userName, boxText(*oldPassword),
                          boxText(*newPassword), boxText(*vPassword));
    if (!outcome.problem.empty())
        std::fprintf(stderr, "hgsentry: %s\n", outcome.problem.c_str());
    switch (outcome.result) {
        case PasswordChangeResult::Mismatch:
            Label5->setText("The passwords do not match.  Please try again.");
            return;
        case PasswordChangeResult::WrongOldPassword:
            Label5->setText("Invalid Password.");
            return;
        case PasswordChangeResult::Failed:
            Label5->setText("The password could not be changed.");
            return;
        case PasswordChangeResult::Changed:
            locker_.lockScreenForm().setMessage("Password change complete!");
            unload();
            return;
    }
}

void frmCPass::onCommand2Click() {
    unload();
}

}  // namespace hg::sentry
