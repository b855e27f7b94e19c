#include "sentry/LoginDecision.h"

#include "accountstore/AccountStore.h"
#include "accountstore/EventLog.h"
#include "accountstore/GroupsFile.h"
#include "accountstore/PasswordDigest.h"

namespace hg::sentry {
namespace {

void log(Files& files, const Clock& clock, const std::string& message, LoginDecision& decision) {
    const Status written = appendLog(files, clock, LogFile::Locker, message);
    if (!written)
        decision.problems.push_back(written.error().message);
}

}  // namespace

LoginDecision decideLogin(Files& files, const Clock& clock, std::string_view name,
                          std::string_view password) {
    LoginDecision decision;

    const Expected<bool> passwordRight = checkLogin(files, name, password);
    if (!passwordRight)
        decision.problems.push_back(passwordRight.error().message);
    if (!passwordRight || !*passwordRight) {
        decision.verdict = LoginVerdict::Incorrect;
        log(files, clock, logmsg::incorrectLogin(name), decision);
        return decision;
    }

    const Expected<bool> disabled = hasName(files, DataFile::Disabled, name);
    if (!disabled)
        decision.problems.push_back(disabled.error().message);
    if (!disabled || *disabled) {
        decision.verdict = LoginVerdict::Disabled;
        return decision;
    }

    const Expected<bool> mustChange = hasName(files, DataFile::MustChangePassword, name);
    if (!mustChange)
        decision.problems.push_back(mustChange.error().message);
    if (mustChange && *mustChange) {
        decision.verdict = LoginVerdict::MustChange;
        return decision;
    }

    log(files, clock, logmsg::loggedIn(name), decision);

    Expected<std::vector<std::string>> groups = listGroupsOfUser(files, name);
    if (groups) {
        decision.groups = std::move(*groups);
    } else {
        decision.problems.push_back(groups.error().message);
    }
    switch (decision.groups.size()) {
        case 0:
            decision.verdict = LoginVerdict::NoGroups;
            break;
        case 1:
            decision.verdict = LoginVerdict::OneGroup;
            break;
        default:
            decision.verdict = LoginVerdict::SeveralGroups;
            break;
    }
    return decision;
}

}  // namespace hg::sentry
