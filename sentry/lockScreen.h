// lockScreen: the login dialog. It takes a name and a password, runs the login decision, logs the
// outcome and hands a login over to the group selection; it also shows the welcome message and
// opens the voluntary password change.
#pragma once

#include "platform/qt/Form.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace hg::sentry {

class Locker;

class lockScreen : public Form {
    Q_OBJECT
public:
    explicit lockScreen(Locker& locker);

    QLabel* Label1;
    QLabel* Label3;
    QLineEdit* userName;
    QLabel* Label4;
    QLineEdit* password;
    QPushButton* cmdChangePass;
    QPushButton* Command1;
    QLabel* Label5;
    QTimer* Timer1;

    // Shows the dialog, makes it the active window and moves the input locks onto it.
    void showAndAttend();
    // The first line of welcome.ini into the message area.
    void showWelcomeMessage();
    // A message for the user; it stays until the next tick of Timer1 replaces it with the welcome
    // message, whatever becomes active in between.
    void setMessage(const QString& message);
    // The login (the Login button, or Enter in the dialog).
    void onCommand1Click();
    void onCmdChangePassClick();
    void onTimer1Tick();
    void onLabel5Click();

protected:
    void onLoad() override;
    void onActivate() override;
    void onUnload() override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void emptyBoxes();

    Locker& locker_;
    bool messageHeld_ = false;
};

}  // namespace hg::sentry
