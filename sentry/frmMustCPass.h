// frmMustCPass: the forced password change of a user listed in mcpass.ini. It replaces the login
// dialog until the user sets a new password (then the login runs again, with the new password) or
// cancels.
#pragma once

#include "platform/qt/Form.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace hg::sentry {

class Locker;

class frmMustCPass : public Form {
    Q_OBJECT
public:
    explicit frmMustCPass(Locker& locker);

    QLabel* Label1;
    QLabel* Label3;
    QLineEdit* newPassword;
    QLabel* Label4;
    QLineEdit* vPassword;
    QPushButton* Command2;
    QPushButton* Command1;
    QLabel* Label2;

    void showAndAttend();
    void onCommand1Click();
    void onCommand2Click();

protected:
    void onLoad() override;
    void onActivate() override;

private:
    Locker& locker_;
    // Set when the dialog is shown; tells whether the login run from OK asked for it again.
    bool shownAgain_ = false;
};

}  // namespace hg::sentry
