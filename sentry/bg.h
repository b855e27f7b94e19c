// bg: the blocking screen. A black window over every screen while the locker is locked; it polls
// for a system logon prompt, keeps the input locks and the windows' stacking in place, and brings
// the login dialog back on a key or a click.
#pragma once

#include "platform/qt/Form.h"

class QLabel;
class QScreen;
class QTimer;

namespace hg::sentry {

class Locker;

// How often the blocking screen looks for a logon prompt and re-takes the input locks.
inline constexpr int kPollIntervalMs = 50;

class bg : public Form {
    Q_OBJECT
public:
    explicit bg(Locker& locker);

    QTimer* Timer1;
    QLabel* Image1;

    void onTimer1Tick();
    // Sizes the window to cover every screen there is now.
    void coverScreens();

protected:
    void onLoad() override;
    void onActivate() override;
    void onUnload() override;
    bool onKeyPress(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void watchScreen(QScreen* screen);
    void showLoginDialog();

    Locker& locker_;
};

}  // namespace hg::sentry
