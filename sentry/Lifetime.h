// Lifetime: how the locker's process waits and ends. The program's one ends the process; a test's
// records what was asked and returns, so the code after such a call must return at once.
#pragma once

#include <functional>

namespace hg::sentry {

class Lifetime {
public:
    virtual ~Lifetime() = default;

    // Ends the process at once; no window's close step runs, the final work (when armed) does.
    virtual void endNow() = 0;
    // Ends the process at once without the final work: a second copy has taken over.
    virtual void endWithoutFinalWork() = 0;
    // Waits for the end of the session while events are processed as they come; never returns in
    // the program.
    virtual void stayResident() = 0;

    // The work the end of the process must do however it comes (the windows closed by the session's
    // end, the X connection lost, a plain exit): run once, by the first of them.
    virtual void armFinalWork(std::function<void()> work) = 0;
    virtual void runFinalWork() = 0;
};

}  // namespace hg::sentry
