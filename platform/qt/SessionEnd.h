// SessionEnd: the end of the session reaches the windows the normal way.
//
// SIGTERM and SIGHUP are written by their handler to a socket pair that a QSocketNotifier reads on
// the user-interface thread; there every top-level window is closed, hidden ones too (a Form
// through its unload, so its Unload handler runs), and the event loops are left with exit(0),
// which, unlike quit(), no window can veto. No signal is blocked, so programs started later inherit
// no mask. The final work is the one thing the end must do however it comes: it runs once, from the
// first of endSession(), runFinalWork(), the destructor, and an atexit handler for the case where
// the X server dies and Qt exits without any close event.
#pragma once

#include <functional>
#include <memory>

#include <QObject>

class QSocketNotifier;

namespace hg {

class SessionEnd : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one SessionEnd per process. stderr says why when it cannot.
    SessionEnd();
    ~SessionEnd() override;
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

    bool installed() const { return notifier_ != nullptr; }

    // Replaces the final work; an empty function disarms it (nothing is left to do at the end).
    void setFinalWork(std::function<void()> work);
    // Runs the final work unless it has run.
    void runFinalWork();

    // What a signal does: close every window, run the final work, leave the event loops.
    void endSession();

signals:
    // The signal that arrived, before the windows are closed.
    void signalled(int signalNumber);

private:
    void onSignal();

    int readEnd_ = -1;
    int writeEnd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    std::function<void()> finalWork_;
};

}  // namespace hg
