// PasswordChange: the file work of the two password-change dialogs, without the dialogs.
//
// Both replace the user's entry line in pfile.ini by a new one at the end of the file, through the
// safe rewrite. The voluntary change checks the old password first; the forced one uses the
// password the login has just accepted, and then takes the user off mcpass.ini.
#pragma once

#include <string>
#include <string_view>

namespace hg {
class Files;
}

namespace hg::sentry {

enum class PasswordChangeResult {
    Mismatch,          // the new password and its verification differ
    WrongOldPassword,  // the old password's entry line is not in pfile.ini
    Changed,
    Failed,  // pfile.ini could not be rewritten; it is unchanged
};

struct PasswordChangeOutcome {
    PasswordChangeResult result = PasswordChangeResult::Failed;
    std::string problem;  // for stderr when a file step failed
};

// pfile.ini without the lines equal to the entry line of (name, oldPassword), ignoring case, then
// the entry line of (name, newPassword) as its last line.
PasswordChangeOutcome replaceEntryLine(Files& files, std::string_view name,
                                       std::string_view oldPassword, std::string_view newPassword);

// The Change Password dialog's OK.
PasswordChangeOutcome changeOwnPassword(Files& files, std::string_view name,
                                        std::string_view oldPassword, std::string_view newPassword,
                                        std::string_view verify);

// The forced change's OK: the entry line is replaced, then the name is dropped from mcpass.ini. A
// failure of the second step is reported in `problem` and does not stop the login.
PasswordChangeOutcome changeRequiredPassword(Files& files, std::string_view name,
                                             std::string_view loginPassword,
                                             std::string_view newPassword, std::string_view verify);

}  // namespace hg::sentry
