#include "accountstore/UserRemoval.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/fake/core/FailingFiles.h"
#include "tests/accountstore/StoreFixture.h"

namespace hg {
namespace {

using testing::StoreTest;

class RemoveUserTest : public StoreTest {
protected:
    void SetUp() override {
        put("usernams.ini", "ann\r\nBob\r\nBobby\r\nbob\r\n");
        put("pfile.ini",
            "ANN\xB5"
            "5880\r\n"
            "BOB\xB5"
            "1940\r\n"
            "BOBBY\xB5"
            "5880\r\n"
            "bob\xB5"
            "5880\r\n");
        put("aprefs.ini", "Bob\r\n");
        put("cpass.ini", "ann\r\nBOB\r\nbob\r\n");
        put("mcpass.ini", "");
        put("disable.ini", "\r\nBob \r\n");
        put("groups.ini",
            "\xC6GROUP\xC6Lab\r\nUSER\xC6"
            "bob\r\n~END~\r\n");
        put("welcome.ini", "bob\r\n");
    }
    std::string adminLog() const { return dir.readFile("logs/admin.txt"); }
};

TEST_F(RemoveUserTest, RemovesEveryLineOfTheUserFromTheSixFiles) {
    const RemoveUserReport r = removeUser(files, clock, "Bob");
    ASSERT_TRUE(r.status().ok()) << r.status().error().message;
    ASSERT_EQ(r.files.size(), 6u);

    EXPECT_EQ(get("usernams.ini"), "ann\r\nBobby\r\n");
    // Both entries of Bob whatever their case and digest; Bobby's stays.
    EXPECT_EQ(get("pfile.ini"),
              "ANN\xB5"
              "5880\r\n"
              "BOBBY\xB5"
              "5880\r\n");
    EXPECT_EQ(get("aprefs.ini"), "");
    EXPECT_EQ(get("cpass.ini"), "ann\r\n");
    EXPECT_EQ(get("mcpass.ini"), "");
    EXPECT_EQ(get("disable.ini"), "\r\nBob \r\n");
    // Not touched: groups.ini, welcome.ini.
    EXPECT_EQ(get("groups.ini"),
              "\xC6GROUP\xC6Lab\r\nUSER\xC6"
              "bob\r\n~END~\r\n");
    EXPECT_FALSE(has("groups.old"));
    EXPECT_FALSE(has("welcome.old"));

    EXPECT_EQ(adminLog(), "03-02-2000   09:05:03   - User deleted - 'Bob'\r\n");
}

TEST_F(RemoveUserTest, AnUnknownUserRewritesEveryFileUnchangedAndIsLogged) {
    const char* six[] = {"usernams", "pfile", "aprefs", "cpass", "mcpass", "disable"};
    std::string before[6];
    for (int i = 0; i < 6; ++i) before[i] = get(std::string(six[i]) + ".ini");

    ASSERT_TRUE(removeUser(files, clock, "zed").status().ok());
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(six[i]);
        EXPECT_EQ(get(std::string(six[i]) + ".ini"), before[i]);
        EXPECT_EQ(get(std::string(six[i]) + ".old"), before[i]);
    }
    EXPECT_EQ(adminLog(), "03-02-2000   09:05:03   - User deleted - 'zed'\r\n");
}

TEST_F(RemoveUserTest, AMissingFileHoldsNoLineOfTheUser) {
    std::remove((dir / "data/mcpass.ini").c_str());
    const RemoveUserReport r = removeUser(files, clock, "bob");
    ASSERT_TRUE(r.status().ok());
    EXPECT_FALSE(has("mcpass.ini"));
    EXPECT_EQ(get("cpass.ini"), "ann\r\n");
}

TEST_F(RemoveUserTest, AFailedFileIsReportedTheOthersStillDoneAndNothingLogged) {
    fake::FailingFiles failing(files);
    failing.fail(fake::FailingFiles::Operation::WriteAll, "\\data\\aprefs.tmp");
    const RemoveUserReport r = removeUser(failing, clock, "bob");
    ASSERT_FALSE(r.status().ok());
    ASSERT_EQ(r.files.size(), 6u);
    for (const auto& f : r.files) EXPECT_EQ(f.status.ok(), f.file != DataFile::Administrators);
    EXPECT_EQ(get("aprefs.ini"), "Bob\r\n");
    EXPECT_EQ(get("cpass.ini"), "ann\r\n");
    EXPECT_FALSE(r.log.ok());
    EXPECT_FALSE(dir.exists("logs/admin.txt"));
}

TEST_F(RemoveUserTest, ANameHoldingALineBreakIsRefused) {
    const RemoveUserReport r = removeUser(files, clock, "ann\r\nBob");
    ASSERT_FALSE(r.status().ok());
    EXPECT_TRUE(r.files.empty());
    EXPECT_EQ(get("usernams.ini"), "ann\r\nBob\r\nBobby\r\nbob\r\n");
    EXPECT_FALSE(has("usernams.old"));
    EXPECT_FALSE(dir.exists("logs/admin.txt"));
}

}  // namespace
}  // namespace hg
