#include "accountstore/UserRemoval.h"

#include <array>
#include <string>

#include "accountstore/EventLog.h"
#include "accountstore/PasswordDigest.h"
#include "accountstore/SafeRewrite.h"
#include "accountstore/Text.h"

namespace hg {
namespace {

Status doneIfMissing(Status status) {
    if (!status.ok() && status.error().kind == IoError::Kind::NotFound)
        return success();
    return status;
}

}  // namespace

Status RemoveUserReport::status() const {
    for (const auto& r : files) {
        if (!r.status.ok())
            return r.status;
    }
    return log;
}

RemoveUserReport removeUser(Files& files, const Clock& clock, std::string_view name) {
    RemoveUserReport report;
    if (text::breaksLine(name)) {
        report.log = IoError{IoError::Kind::Failed,
                             "refused: a user name holding CR or LF cannot be removed"};
        return report;
    }
    auto dropEqual = [&](DataFile file) {
        return doneIfMissing(
            rewriteEachLine(files, dataFilePath(file), [&](std::string_view line, NewCopy& out) {
                if (!text::equalIgnoringCase(line, name)) {
                    out.line(line);
                }
            }).status());
    };

    report.files.push_back({DataFile::UserNames, dropEqual(DataFile::UserNames)});
    report.files.push_back({DataFile::Passwords,
                            doneIfMissing(rewriteEachLine(files, dataFilePath(DataFile::Passwords),
                                                          [&](std::string_view line, NewCopy& out) {
                                                              if (!isEntryOf(line, name))
                                                                  out.line(line);
                                                          })
                                              .status())});
    for (DataFile file : {DataFile::Administrators, DataFile::MayChangePassword,
                          DataFile::MustChangePassword, DataFile::Disabled}) {
        report.files.push_back({file, dropEqual(file)});
    }

    for (const auto& r : report.files) {
        if (!r.status.ok()) {
            report.log = IoError{IoError::Kind::Failed,
                                 "not logged: the user is not removed from every file"};
            return report;
        }
    }
    report.log = appendLog(files, clock, LogFile::Admin, logmsg::userDeleted(name));
    return report;
}

}  // namespace hg
