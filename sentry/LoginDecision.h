// LoginDecision: what the login dialog's Login button decides, without the dialog.
//
// The checks run in their fixed order — password entry, disabled list, must-change list — and the
// locker log gets its line; then the user's groups decide whether a group is applied at once or
// chosen. Missing data files fail closed: no pfile.ini admits nobody, an unreadable disable.ini
// refuses, no groups.ini means no groups. A file that cannot be read or a log that cannot be
// written is named in `problems` (for stderr) and changes nobody's outcome otherwise.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hg {
class Clock;
class Files;
}  // namespace hg

namespace hg::sentry {

enum class LoginVerdict {
    Incorrect,      // no entry line matches: logged, the boxes are emptied
    Disabled,       // listed in disable.ini
    MustChange,     // listed in mcpass.ini: the forced change comes first
    NoGroups,       // logged in, but in no group
    OneGroup,       // logged in; the group is applied at once
    SeveralGroups,  // logged in; the user chooses
};

struct LoginDecision {
    LoginVerdict verdict = LoginVerdict::Incorrect;
    // For the last three verdicts: the user's groups in file order, each once.
    std::vector<std::string> groups;
    std::vector<std::string> problems;
};

// name and password as typed (code page 1252).
LoginDecision decideLogin(Files& files, const Clock& clock, std::string_view name,
                          std::string_view password);

}  // namespace hg::sentry
