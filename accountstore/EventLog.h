// EventLog: the three logs, their line layout and the catalogue of messages.
//
// A line is the local date (MM-DD-YYYY), three spaces, the time (HH:MM:SS), then the message, which
// always begins "   - ". Date and time are taken separately, date first. Each line is written by
// its own open-append-close; nothing stays open. Messages are built only by the functions below.
#pragma once

#include <string>
#include <string_view>

#include "accountstore/AccountStore.h"
#include "platform/core/Clock.h"
#include "platform/core/Expected.h"
#include "platform/core/Files.h"

namespace hg {

// Date, three spaces, time, message (without CR LF).
std::string logLine(const Clock& clock, std::string_view message);
// Appends the line; a missing log file is created, a missing logs directory is an error. A message
// holding CR or LF is refused and nothing is written.
Status appendLog(Files& files, const Clock& clock, LogFile log, std::string_view message);
// Empties the log and writes the one line "   - Log cleared".
Status clearLog(Files& files, const Clock& clock, LogFile log);

namespace logmsg {

// locker.txt
std::string incorrectLogin(std::string_view name);
std::string loggedIn(std::string_view name);
// admin.txt
std::string adminOpened();
std::string notAdministrator(std::string_view name);
std::string invalidAdminPassword(std::string_view name);
std::string userAdded(std::string_view name);
std::string userDeleted(std::string_view name);
std::string userRenamed(std::string_view oldName, std::string_view newName);
std::string passwordChanged(std::string_view name);
std::string userIsAdministrator(std::string_view name);
std::string userCanLogIn(std::string_view name);
std::string userCannotLogIn(std::string_view name);
std::string userCanChangePassword(std::string_view name);
std::string userCannotChangePassword(std::string_view name);
std::string userMustChangePassword(std::string_view name);
std::string adminPasswordOn();
std::string adminPasswordOff();
std::string lockerEnabled();
std::string lockerDisabled();
// any of the three logs, after a clear
std::string logCleared();

}  // namespace logmsg
}  // namespace hg
