// UserRemoval: removes a user from the six account files and logs it.
//
// usernams.ini, pfile.ini (every entry of the user, whatever the password), aprefs.ini, cpass.ini,
// mcpass.ini, disable.ini, in that order, each by a safe rewrite; then "User deleted" in admin.txt.
// groups.ini, welcome.ini and the preference files are not touched.
#pragma once

#include <string_view>
#include <vector>

#include "accountstore/AccountStore.h"
#include "platform/core/Clock.h"
#include "platform/core/Expected.h"
#include "platform/core/Files.h"

namespace hg {

struct FileResult {
    DataFile file;
    Status status;
};

struct RemoveUserReport {
    std::vector<FileResult> files;  // the six rewrites, in order; every one is attempted
    Status log = success();         // the admin.txt line, written only when all six succeeded
    Status status() const;          // the first failure, or success
};

// A file that does not exist holds no line of the user: it counts as done, not as a failure.
RemoveUserReport removeUser(Files& files, const Clock& clock, std::string_view name);

}  // namespace hg
