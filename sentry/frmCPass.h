// frmCPass: the voluntary password change, opened from the login dialog for users listed in
// cpass.ini; others see it close at once with a message in the login dialog.
#pragma once

#include "platform/qt/Form.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace hg::sentry {

class Locker;

class frmCPass : public Form {
    Q_OBJECT
public:
    explicit frmCPass(Locker& locker);

    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* oldPassword;
    QLabel* Label3;
    QLineEdit* newPassword;
    QLabel* Label4;
    QLineEdit* vPassword;
    QPushButton* Command2;
    QPushButton* Command1;
    QLabel* Label5;

    void showAndAttend();
    void onCommand1Click();
    void onCommand2Click();

protected:
    void onLoad() override;
    void onActivate() override;
    void onUnload() override;

private:
    // Closes the dialog unless the user may change the own password.
    void permissionCheck();

    Locker& locker_;
};

}  // namespace hg::sentry
