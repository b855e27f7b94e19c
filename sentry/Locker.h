// Locker: the locker's windows and the routines they share.
//
// It holds the run-wide record, the platform and the process lifetime, makes each window on first
// use (a window's controls can be used before it is shown, as the login does with the group list)
// and keeps it for the run, so a window closed and shown again loads afresh. Windows reach one
// another through it.
#pragma once

#include <memory>

#include "platform/qt/Platform.h"
#include "sentry/LoginContext.h"
#include "sentry/Routines.h"

namespace hg {
class Form;
}

namespace hg::sentry {

class Lifetime;
class startup;
class lockScreen;
class bg;
class groupSelect;
class frmCPass;
class frmMustCPass;

class Locker {
public:
    Locker(Platform& platform, RunState& state, Lifetime& lifetime);
    ~Locker();
    Locker(const Locker&) = delete;
    Locker& operator=(const Locker&) = delete;

    Platform& platform() { return platform_; }
    RunState& state() { return state_; }
    Lifetime& lifetime() { return lifetime_; }
    LoginContext& login() { return state_.login; }
    RunKind runKind() const { return runKindOf(state_.commandLine); }
    std::string applicationDirectory() const;

    // Takes the command line and runs the start-up: the start-up window's load step.
    void start();

    // The windows. groupSelectForm() also loads it: its list is filled before it is ever shown.
    startup& startupForm();
    lockScreen& lockScreenForm();
    bg& bgForm();
    groupSelect& groupSelectForm();
    frmCPass& frmCPassForm();
    frmMustCPass& frmMustCPassForm();
    // Closes each of the windows that is open, with its unload step; the others are skipped.
    void closeIfLoaded(Form* window);
    startup* startupIfMade() { return startup_.get(); }
    lockScreen* lockScreenIfMade() { return lockScreen_.get(); }
    bg* bgIfMade() { return bg_.get(); }
    groupSelect* groupSelectIfMade() { return groupSelect_.get(); }
    frmCPass* frmCPassIfMade() { return frmCPass_.get(); }
    frmMustCPass* frmMustCPassIfMade() { return frmMustCPass_.get(); }

    // The logon-prompt check: when a system logon prompt is on screen, write the start-up entry,
    // free the keyboard, close the cover and the login dialog and end. True when the program is
    // ending: the caller returns at once.
    bool logonPromptCheck();
    void writeStartupEntry();
    // Starts the desktop shell unless its window is up or it was started in this run already.
    void startShellIfAbsent();
    // The dialog that has the user's attention: the input locks follow it.
    void attend(Form& dialog);
    // Shows the dialog on top, makes it active and attends to it; false when it could not be shown.
    bool present(Form& dialog);
    // No dialog needs the user any more (the screen is released).
    void attendNone();

    // Ends the program at once (see Lifetime::endNow). ended() stays true afterwards, for the code
    // that still runs in a test.
    void end();
    // Ends the program at once without the final work, after handing over to a resident copy.
    void endHandingOver();
    bool ended() const { return ended_; }

private:
    Platform& platform_;
    RunState& state_;
    Lifetime& lifetime_;
    bool ended_ = false;
    std::unique_ptr<startup> startup_;
    std::unique_ptr<lockScreen> lockScreen_;
    std::unique_ptr<bg> bg_;
    std::unique_ptr<groupSelect> groupSelect_;
    std::unique_ptr<frmCPass> frmCPass_;
    std::unique_ptr<frmMustCPass> frmMustCPass_;
};

}  // namespace hg::sentry
