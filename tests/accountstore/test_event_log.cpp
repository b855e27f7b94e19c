#include "accountstore/EventLog.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/accountstore/StoreFixture.h"

namespace hg {
namespace {

using testing::StoreTest;

// A clock that moves on between the two readings, as a real one can at midnight.
class MidnightClock : public Clock {
public:
    LocalDate today() const override {
        ++reads;
        return {1999, 12, 31};
    }
    LocalTime now() const override {
        ++reads;
        return reads == 1 ? LocalTime{0, 0, 0} : LocalTime{23, 59, 59};
    }
    double secondsSinceMidnight() const override { return 0; }
    mutable int reads = 0;
};

TEST_F(StoreTest, LineLayoutIsDateThreeSpacesTimeMessage) {
    const std::string line = logLine(clock, logmsg::loggedIn("ann"));
    EXPECT_EQ(line, "03-02-2000   09:05:03   - 'ann' successfully logged in.");
    EXPECT_EQ(line.substr(0, 21), "03-02-2000   09:05:03");

    clock.set({1999, 1, 31}, {14, 5, 9});
    EXPECT_EQ(logLine(clock, "   - x"), "01-31-1999   14:05:09   - x");

    // Date first: a clock read in the other order would give 00:00:00 here.
    MidnightClock midnight;
    EXPECT_EQ(logLine(midnight, ""), "12-31-1999   23:59:59");
}

TEST(LogMessages, TheCatalogueWordForWord) {
    struct Case {
        std::string got;
        const char* want;
    };
    const Case cases[] = {
        {logmsg::incorrectLogin("bob"),
         "   - Incorrect login while computer was locked.  User: 'bob'."},
        {logmsg::incorrectLogin(""), "   - Incorrect login while computer was locked.  User: ''."},
        {logmsg::loggedIn("O'Neil"), "   - 'O'Neil' successfully logged in."},
        {logmsg::adminOpened(), "   - Administration software opened successfully."},
        {logmsg::notAdministrator("bob"), "   - User failed to open administration.  User:  'bob'"},
        {logmsg::invalidAdminPassword("bob"),
         "   - Invalid password while opening Admin.  User:  'bob'"},
        {logmsg::userAdded("bob"), "   - User added - 'bob'"},
        {logmsg::userDeleted("bob"), "   - User deleted - 'bob'"},
        {logmsg::userRenamed("bob", "rob"), "   - User name changed from 'bob' to 'rob'"},
        {logmsg::passwordChanged("bob"), "   - Password change on user 'bob'"},
        {logmsg::userIsAdministrator("bob"), "   - User is administrator -> 'bob'"},
        {logmsg::userCanLogIn("bob"), "   - User can log in -> 'bob'"},
        {logmsg::userCannotLogIn("bob"), "   - User can't log in -> 'bob'"},
        {logmsg::userCanChangePassword("bob"), "   - User can change password -> 'bob'"},
        {logmsg::userCannotChangePassword("bob"), "   - User can't change password -> 'bob'"},
        {logmsg::userMustChangePassword("bob"), "   - User must change password -> 'bob'"},
        {logmsg::adminPasswordOn(), "   - Administration password turned on"},
        {logmsg::adminPasswordOff(), "   - Administration password turned off"},
        {logmsg::lockerEnabled(), "   - Hallgard was enabled"},
        {logmsg::lockerDisabled(), "   - Hallgard was disabled"},
        {logmsg::logCleared(), "   - Log cleared"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST_F(StoreTest, AppendAddsOneLineEachAndClearLeavesOne) {
    ASSERT_TRUE(appendLog(files, clock, LogFile::Locker, logmsg::incorrectLogin("x\xB5")).ok());
    clock.set({2000, 3, 2}, {9, 5, 4});
    ASSERT_TRUE(appendLog(files, clock, LogFile::Locker, logmsg::loggedIn("ann")).ok());
    EXPECT_EQ(dir.readFile("logs/locker.txt"),
              "03-02-2000   09:05:03   - Incorrect login while computer was locked.  User: "
              "'x\xB5'.\r\n"
              "03-02-2000   09:05:04   - 'ann' successfully logged in.\r\n");

    ASSERT_TRUE(clearLog(files, clock, LogFile::Locker).ok());
    EXPECT_EQ(dir.readFile("logs/locker.txt"), "03-02-2000   09:05:04   - Log cleared\r\n");

    // A log not there yet is created by the clear as by an append.
    ASSERT_TRUE(clearLog(files, clock, LogFile::Error).ok());
    EXPECT_EQ(dir.readFile("logs/errorlog.txt"), "03-02-2000   09:05:04   - Log cleared\r\n");
}

TEST_F(StoreTest, LogFailuresAreReported) {
    // A message that would split into two lines is refused.
    Status split = appendLog(files, clock, LogFile::Admin, logmsg::userAdded("a\r\nforged"));
    ASSERT_FALSE(split.ok());
    EXPECT_FALSE(dir.exists("logs/admin.txt"));

    // No logs directory: the append fails, nothing is created.
    fake::TempDirectory bare;
    bare.makeDirectory("data");
    LinuxFiles bareFiles(bare.path());
    EXPECT_FALSE(appendLog(bareFiles, clock, LogFile::Admin, logmsg::adminOpened()).ok());
    EXPECT_FALSE(clearLog(bareFiles, clock, LogFile::Admin).ok());
    EXPECT_FALSE(bare.exists("logs"));
}

}  // namespace
}  // namespace hg
