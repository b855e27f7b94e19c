// The locker's run-wide record: who is logging in, the group chosen, and the few values the
// start-up decides once per run. One instance, made in main and passed by reference with the
// Platform.
#pragma once

#include <string>

namespace hg::sentry {

// Name, password and group of the login under way; account text as code page 1252 bytes.
struct LoginContext {
    std::string userName;     // the name box at the last Login or Change Password click, as typed
    std::string password;     // the password box at that click
    std::string chosenGroup;  // empty until a group is chosen
};

struct RunState {
    LoginContext login;
    // Keeps the shell from being started twice in one run.
    bool shellStarted = false;
    // The whole argument text; "/Q2", "/L" and "/Q" are compared against it whole.
    std::string commandLine;
    // HKLM "Software\Hallgard Pro\" useServer as read at start-up; "1" is the networked edition.
    std::string useServer;
};

}  // namespace hg::sentry
