// ProcessLifetime: the Lifetime of the running program, on the session-end handling of the
// platform.
#pragma once

#include "sentry/Lifetime.h"

namespace hg {
class SessionEnd;
}

namespace hg::sentry {

class ProcessLifetime : public Lifetime {
public:
    explicit ProcessLifetime(SessionEnd& sessionEnd) : sessionEnd_(sessionEnd) {}

    // exit(0): the final work runs from the exit handler when it is armed.
    void endNow() override;
    // Flushes what is buffered and leaves with _exit(0), past every exit handler.
    void endWithoutFinalWork() override;
    // pause(60) again and again until the event loop is told to quit (the session has ended and
    // the windows are closed), then exit(0).
    void stayResident() override;
    void armFinalWork(std::function<void()> work) override;
    void runFinalWork() override;

private:
    SessionEnd& sessionEnd_;
};

}  // namespace hg::sentry
