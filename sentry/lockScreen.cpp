#include "sentry/lockScreen.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

#include "platform/qt/Desktop.h"
#include "sentry/FormFont.h"
#include "sentry/Locker.h"
#include "sentry/LoginDecision.h"
#include "sentry/UiText.h"
#include "sentry/frmCPass.h"
#include "sentry/frmMustCPass.h"
#include "sentry/groupSelect.h"

namespace hg::sentry {

lockScreen::lockScreen(Locker& locker)
    : Form(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), locker_(locker) {
    setObjectName("lockScreen");
    useFormFont(*this);
    setWindowTitle("Hallgard Pro Login");
    setTwipsSize(3675, 2415);
    setFixedSize(size());
    setMouseTracking(true);

    Label1 = makeLabel(*this, "Please log in as a valid user.", 105, 120, 3435, 375);
    Label3 = makeLabel(*this, "Name:", 120, 600, 735, 255);
    userName = makeTextBox(*this, 18, false, 960, 600, 2535, 285);
    Label4 = makeLabel(*this, "Password:", 120, 960, 855, 255);
    password = makeTextBox(*this, 18, true, 960, 960, 2535, 285);
    cmdChangePass = makeButton(*this, "&Change Password", 600, 1350, 1695, 375);
    Command1 = makeButton(*this, "&Login", 2460, 1350, 1095, 375);
    Label5 = makeMessageArea(*this, "Hallgard Pro", 105, 1830, 3465, 495);
    Label5->installEventFilter(this);
    setDefaultButton(Command1);

    userName->setObjectName("userName");
    password->setObjectName("password");
    const auto refused = [this] { setMessage(kUnrepresentableMessage); };
    guardCodePage(*userName, refused);
    guardCodePage(*password, refused);

    Timer1 = new QTimer(this);
    Timer1->setInterval(5000);
    connect(Timer1, &QTimer::timeout, this, &lockScreen::onTimer1Tick);
    Timer1->start();

    connect(Command1, &QPushButton::clicked, this, &lockScreen::onCommand1Click);
    connect(cmdChangePass, &QPushButton::clicked, this, &lockScreen::onCmdChangePassClick);
}

void lockScreen::showAndAttend() {
    locker_.present(*this);
}

void lockScreen::onLoad() {
    emptyBoxes();
    Label5->setText("Hallgard Pro");
    messageHeld_ = false;
    Timer1->start();
    centreOnScreen();
    if (locker_.logonPromptCheck())
        return;
    Desktop& desktop = locker_.platform().desktop;
    desktop.setScreenSaverRunning(true);
    desktop.setTopmost(*this, true);
    desktop.confinePointer(*this);
}

void lockScreen::onActivate() {
    if (locker_.logonPromptCheck())
        return;
    locker_.attend(*this);
    if (!messageHeld_)
        showWelcomeMessage();
    userName->setFocus();
}

void lockScreen::onUnload() {
    // A closed dialog shows nothing: its welcome message is not read again for the rest of the
    // session.
    Timer1->stop();
    locker_.platform().desktop.releasePointer();
}

void lockScreen::mouseMoveEvent(QMouseEvent* event) {
    locker_.logonPromptCheck();
    Form::mouseMoveEvent(event);
}

bool lockScreen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label5 && event->type() == QEvent::MouseButtonPress) {
        onLabel5Click();
        return true;
    }
    return Form::eventFilter(watched, event);
}

void lockScreen::onTimer1Tick() {
    messageHeld_ = false;
    showWelcomeMessage();
}

void lockScreen::onLabel5Click() {
    messageHeld_ = false;
    showWelcomeMessage();
}

void lockScreen::showWelcomeMessage() {
    Label5->setText(shown(readWelcomeMessage(locker_.platform().files)));
}

void lockScreen::setMessage(const QString& message) {
    Label5->setText(message);
    messageHeld_ = true;
    Timer1->start();
}

void lockScreen::emptyBoxes() {
    userName->clear();
    password->clear();
}

void lockScreen::onCmdChangePassClick() {
    LoginContext& login = locker_.login();
    login.userName = boxText(*userName);
    login.password = boxText(*password);
    locker_.frmCPassForm().showAndAttend();
}

void lockScreen::onCommand1Click() {
    Platform& platform = locker_.platform();
    LoginContext& login = locker_.login();
    login.userName = boxText(*userName);
    login.password = boxText(*password);

    const LoginDecision decision =
        decideLogin(platform.files, platform.clock, login.userName, login.password);
    for (const std::string& problem : decision.problems) {
        std::fprintf(stderr, "hgsentry: %s\n", problem.c_str());
    }

    switch (decision.verdict) {
        case LoginVerdict::Incorrect:
            platform.desktop.beep();
            emptyBoxes();
            userName->setFocus();
            return;
        case LoginVerdict::Disabled:
            setMessage("Your account has been disabled.  Please contact an administrator.");
            emptyBoxes();
            return;
        case LoginVerdict::MustChange:
            locker_.frmMustCPassForm().showAndAttend();
            hide();
            return;
        default:
            break;
    }

    groupSelect& chooser = locker_.groupSelectForm();
    chooser.lstGroupList->clear();
    // A group clicked for an earlier login is not this user's choice: OK with nothing selected in
    // the refilled list does nothing.
    login.chosenGroup.clear();
    for (const std::string& group : decision.groups) chooser.lstGroupList->addSorted(shown(group));

    switch (decision.verdict) {
        case LoginVerdict::NoGroups:
            setMessage("You do not belong to any groups.  You cannot log in.");
            // The group dialog's load took the pointer; the login dialog keeps the user's
            // attention.
            platform.desktop.confinePointer(*this);
            locker_.attend(*this);
            return;
        case LoginVerdict::OneGroup:
            login.chosenGroup = decision.groups.back();
            applyChosenGroup(locker_);
            return;
        default:
            chooser.showAndAttend();
            hide();
            return;
    }
}

}  // namespace hg::sentry
