// PasswordDigest: the digest of a password, the pfile.ini entry line, and the login check.
//
// digest = 20 x the sum of the password's byte values, in decimal; entry line = upper(name) + "µ"
// (byte 0xB5) + digest. A login is right when some line of pfile.ini equals the entry line built
// from what was typed, ignoring case.
#pragma once

#include <string>
#include <string_view>

#include "platform/core/Expected.h"
#include "platform/core/Files.h"

namespace hg {

inline constexpr char kEntrySeparator = '\xB5';

std::string passwordDigest(std::string_view password);
std::string entryLine(std::string_view name, std::string_view password);
// upper(line) equals upper(entryLine(name, password)), compared whole.
bool isLoginLine(std::string_view line, std::string_view name, std::string_view password);
// The line is an entry of the user whatever the password: it starts with upper(name) + "µ" ignoring
// case and is longer than the name.
bool isEntryOf(std::string_view line, std::string_view name);

// The login check over the bytes of pfile.ini: stops at the first matching line.
bool holdsLoginLine(std::string_view pfileBytes, std::string_view name, std::string_view password);
// The login check on "\data\pfile.ini": one read; a missing file is IoError::Kind::NotFound.
Expected<bool> checkLogin(const Files& files, std::string_view name, std::string_view password);

// The password change at login: rewrite pfile.ini without every line for which
// isLoginLine(line, name, oldPassword) holds, then append entryLine(name, newPassword).
Status changeLoginPassword(Files& files, std::string_view name, std::string_view oldPassword,
                           std::string_view newPassword);

}  // namespace hg
