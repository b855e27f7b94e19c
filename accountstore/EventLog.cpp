#include "accountstore/EventLog.h"

#include <cstdio>

#include "accountstore/Text.h"

namespace hg {
namespace {

std::string quoted(std::string_view head, std::string_view name, std::string_view tail) {
    std::string out(head);
    out += name;
    out += tail;
    return out;
}

}  // namespace

std::string logLine(const Clock& clock, std::string_view message) {
    const LocalDate date = clock.today();
    const LocalTime time = clock.now();
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "%02d-%02d-%04d   %02d:%02d:%02d", date.month, date.day,
                  date.year, time.hour, time.minute, time.second);
    std::string line(stamp);
    line += message;
    return line;
}

Status appendLog(Files& files, const Clock& clock, LogFile log, std::string_view message) {
    if (text::breaksLine(message)) {
        return IoError{IoError::Kind::Failed, "refused: a log message holding CR or LF for " +
                                                  std::string(logFilePath(log))};
    }
    std::string bytes;
    text::appendLine(bytes, logLine(clock, message));
    return files.append(logFilePath(log), bytes);
}

Status clearLog(Files& files, const Clock& clock, LogFile log) {
    std::string bytes;
    text::appendLine(bytes, logLine(clock, logmsg::logCleared()));
    return files.writeAll(logFilePath(log), bytes, false);
}

namespace logmsg {

std::string incorrectLogin(std::string_view name) {
    return quoted("   - Incorrect login while computer was locked.  User: '", name, "'.");
}
std::string loggedIn(std::string_view name) {
    return quoted("   - '", name, "' successfully logged in.");
}
std::string adminOpened() {
    return "   - Administration software opened successfully.";
}
std::string notAdministrator(std::string_view name) {
    return quoted("   - User failed to open administration.  User:  '", name, "'");
}
std::string invalidAdminPassword(std::string_view name) {
    return quoted("   - Invalid password while opening Admin.  User:  '", name, "'");
}
std::string userAdded(std::string_view name) {
    return quoted("   - User added - '", name, "'");
}
std::string userDeleted(std::string_view name) {
    return quoted("   - User deleted - '", name, "'");
}
std::string userRenamed(std::string_view oldName, std::string_view newName) {
    return quoted(quoted("   - User name changed from '", oldName, "' to '"), newName, "'");
}
std::string passwordChanged(std::string_view name) {
    return quoted("   - Password change on user '", name, "'");
}
std::string userIsAdministrator(std::string_view name) {
    return quoted("   - User is administrator -> '", name, "'");
}
std::string userCanLogIn(std::string_view name) {
    return quoted("   - User can log in -> '", name, "'");
}
std::string userCannotLogIn(std::string_view name) {
    return quoted("   - User can't log in -> '", name, "'");
}
std::string userCanChangePassword(std::string_view name) {
    return quoted("   - User can change password -> '", name, "'");
}
std::string userCannotChangePassword(std::string_view name) {
    return quoted("   - User can't change password -> '", name, "'");
}
std::string userMustChangePassword(std::string_view name) {
    return quoted("   - User must change password -> '", name, "'");
}
std::string adminPasswordOn() {
    return "   - Administration password turned on";
}
std::string adminPasswordOff() {
    return "   - Administration password turned off";
}
std::string lockerEnabled() {
    return "   - Hallgard was enabled";
}
std::string lockerDisabled() {
    return "   - Hallgard was disabled";
}
std::string logCleared() {
    return "   - Log cleared";
}

}  // namespace logmsg
}  // namespace hg
