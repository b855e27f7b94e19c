#include "sentry/PasswordChange.h"

#include "accountstore/AccountStore.h"
#include "accountstore/PasswordDigest.h"
#include "accountstore/SafeRewrite.h"

namespace hg::sentry {

PasswordChangeOutcome replaceEntryLine(Files& files, std::string_view name,
                                       std::string_view oldPassword, std::string_view newPassword) {
    const RewriteReport report = rewriteEachLine(files, dataFilePath(DataFile::Passwords),
                                                 [&](std::string_view line, NewCopy& out) {
                                                     if (!isLoginLine(line, name, oldPassword))
                                                         out.line(line);
                                                 },
                                                 {entryLine(name, newPassword)});
    if (report.replaced) {
        const Status status = report.status();
        return {PasswordChangeResult::Changed, status ? std::string() : status.error().message};
    }
    const Status status = report.status();
    return {PasswordChangeResult::Failed,
            status ? std::string("pfile.ini was not replaced") : status.error().message};
}

PasswordChangeOutcome changeOwnPassword(Files& files, std::string_view name,
                                        std::string_view oldPassword, std::string_view newPassword,
                                        std::string_view verify) {
    if (verify != newPassword)
        return {PasswordChangeResult::Mismatch, {}};
    const Expected<bool> found = checkLogin(files, name, oldPassword);
    if (!found)
        return {PasswordChangeResult::WrongOldPassword, found.error().message};
    if (!*found)
        return {PasswordChangeResult::WrongOldPassword, {}};
    return replaceEntryLine(files, name, oldPassword, verify);
}

PasswordChangeOutcome changeRequiredPassword(Files& files, std::string_view name,
                                             std::string_view loginPassword,
                                             std::string_view newPassword,
                                             std::string_view verify) {
    if (verify != newPassword)
        return {PasswordChangeResult::Mismatch, {}};
    PasswordChangeOutcome outcome = replaceEntryLine(files, name, loginPassword, verify);
    if (outcome.result != PasswordChangeResult::Changed)
        return outcome;
    const Status dropped = dropName(files, DataFile::MustChangePassword, name);
    if (!dropped) {
        if (!outcome.problem.empty())
            outcome.problem += "; ";
        outcome.problem += dropped.error().message;
    }
    return outcome;
}

}  // namespace hg::sentry
