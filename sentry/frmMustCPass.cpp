#include "sentry/frmMustCPass.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>

#include "platform/qt/Desktop.h"
#include "sentry/FormFont.h"
#include "sentry/Locker.h"
#include "sentry/PasswordChange.h"
#include "sentry/UiText.h"
#include "sentry/lockScreen.h"

namespace hg::sentry {

frmMustCPass::frmMustCPass(Locker& locker)
    : Form(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), locker_(locker) {
    setObjectName("frmMustCPass");
    useFormFont(*this);
    setWindowTitle("Change Password");
    setTwipsSize(4050, 2265);
    setFixedSize(size());
    Label1 = makeLabel(*this, "You must change your password before you can log in.", 120, 120,
                       4095, 255);
    Label3 = makeLabel(*this, "New Password:", 120, 480, 1215, 255);
    newPassword = makeTextBox(*this, 18, true, 1440, 480, 2415, 285);
    Label4 = makeLabel(*this, "Verify:", 120, 840, 1215, 255);
    vPassword = makeTextBox(*this, 18, true, 1440, 840, 2415, 285);
    Command2 = makeButton(*this, "&Cancel", 1440, 1320, 1095, 375);
    Command1 = makeButton(*this, "&OK", 2760, 1320, 1095, 375);
    Label2 = makeMessageArea(*this, "Important messages appear here.", 120, 1800, 3735, 375);
    setDefaultButton(Command1);
    setCancelButton(Command2);

    newPassword->setObjectName("newPassword");
    vPassword->setObjectName("vPassword");
    for (QLineEdit* box : {newPassword, vPassword}) {
        guardCodePage(*box, [this] { Label2->setText(kUnrepresentableMessage); });
    }

    connect(Command1, &QPushButton::clicked, this, &frmMustCPass::onCommand1Click);
    connect(Command2, &QPushButton::clicked, this, &frmMustCPass::onCommand2Click);
}

void frmMustCPass::showAndAttend() {
    shownAgain_ = true;
    if (!locker_.present(*this))
        return;
    newPassword->setFocus();
}

void frmMustCPass::onLoad() {
    newPassword->clear();
    vPassword->clear();
    Label2->setText("Important messages appear here.");
    centreOnScreen();
    locker_.platform().desktop.setTopmost(*this, true);
}

void frmMustCPass::onActivate() {
    if (isVisible())
        locker_.attend(*this);
    newPassword->setFocus();
}

void frmMustCPass::onCommand1Click() {
    LoginContext& login = locker_.login();
    const std::string chosen = boxText(*vPassword);
    const PasswordChangeOutcome outcome = changeRequiredPassword(
        locker_.platform().files, login.userName, login.password, boxText(*newPassword), chosen);
    if (!outcome.problem.empty())
        std::fprintf(stderr, "hgsentry: %s\n", outcome.problem.c_str());
    switch (outcome.result) {
        case PasswordChangeResult::Mismatch:
            Label2->setText("Passwords do not match.  Please try again.");
            return;
        case PasswordChangeResult::Failed:
            // pfile.ini is unchanged: the user stays on the must-change list and may try again.
            Label2->setText("The password could not be changed.");
            return;
        case PasswordChangeResult::WrongOldPassword:
        case PasswordChangeResult::Changed:
            break;
    }

    // The login runs again with the new password in the box, so the user passes straight on.
    hide();
    lockScreen& loginDialog = locker_.lockScreenForm();
    loginDialog.password->setText(shown(chosen));
    loginDialog.showAndAttend();
    shownAgain_ = false;
    loginDialog.onCommand1Click();
    if (locker_.ended() || shownAgain_)
        return;
    // The screen stays locked while the login goes on (the group dialog, a refusal): the keys stay
    // blocked and only this dialog closes. The group application releases them when it runs.
    unload();
}

void frmMustCPass::onCommand2Click() {
    unload();
    lockScreen& loginDialog = locker_.lockScreenForm();
    loginDialog.showAndAttend();
    loginDialog.userName->clear();
    loginDialog.password->clear();
    loginDialog.userName->setFocus();
    loginDialog.showWelcomeMessage();
}

}  // namespace hg::sentry
