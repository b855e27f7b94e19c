// The file work of the two password changes: what pfile.ini and mcpass.ini hold afterwards.
#include <gtest/gtest.h>

#include "platform/fake/core/FailingFiles.h"
#include "sentry/PasswordChange.h"
#include "tests/sentry/DataFixture.h"

namespace hg::sentry {
namespace {

using Result = PasswordChangeResult;
using Op = fake::FailingFiles::Operation;

// ann's password is abc (5880); bob's line comes first in upper case and once more in lower case.
constexpr std::string_view kPfile =
    "BOB\xB5"
    "5880\r\nANN\xB5"
    "5880\r\nCY\xB5"
    "100\r\nbob\xB5"
    "5880\r\n";

class PasswordChangeTest : public testing::DataFixture {
protected:
    PasswordChangeTest() {
        put("pfile.ini", kPfile);
        put("mcpass.ini", "bob\r\nann\r\nBOB\r\n");
    }
};

struct OwnCase {
    const char* what;
    const char* oldPassword;
    const char* newPassword;
    const char* verify;
    Result result;
    std::string pfile;
};

TEST_F(PasswordChangeTest, OwnChangeReplacesTheMatchingLinesByOneLastLine) {
    const std::vector<OwnCase> cases = {
        {"verification differs in case", "abc", "Secret", "secret", Result::Mismatch,
         std::string(kPfile)},
        {"wrong old password", "abd", "x", "x", Result::WrongOldPassword, std::string(kPfile)},
        // bca has the digest of abc: both of bob's lines go, whatever their case.
        {"changed", "bca", "d", "d", Result::Changed,
         "ANN\xB5"
         "5880\r\nCY\xB5"
         "100\r\nBOB\xB5"
         "2000\r\n"},
        {"empty new password", "abc", "", "", Result::Changed,
         "ANN\xB5"
         "5880\r\nCY\xB5"
         "100\r\nBOB\xB5"
         "0\r\n"},
    };
    for (const OwnCase& c : cases) {
        SCOPED_TRACE(c.what);
        put("pfile.ini", kPfile);
        const PasswordChangeOutcome outcome =
            changeOwnPassword(files, "bob", c.oldPassword, c.newPassword, c.verify);
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(get("pfile.ini"), c.pfile);
        EXPECT_FALSE(has("pfile.tmp"));
        // The voluntary change leaves the must-change list alone.
        EXPECT_EQ(get("mcpass.ini"), "bob\r\nann\r\nBOB\r\n");
    }
}

TEST_F(PasswordChangeTest, OwnChangeKeepsThePreviousVersion) {
    ASSERT_EQ(changeOwnPassword(files, "ann", "abc", "zz", "zz").result, Result::Changed);
    EXPECT_EQ(get("pfile.old"), kPfile);
}

TEST_F(PasswordChangeTest, RequiredChangeReplacesTheLoginLineAndLeavesTheList) {
    const PasswordChangeOutcome outcome = changeRequiredPassword(files, "Bob", "abc", "d", "d");
    EXPECT_EQ(outcome.result, Result::Changed);
    EXPECT_TRUE(outcome.problem.empty());
    EXPECT_EQ(get("pfile.ini"),
              "ANN\xB5"
              "5880\r\nCY\xB5"
              "100\r\nBOB\xB5"
              "2000\r\n");
    EXPECT_EQ(get("mcpass.ini"), "ann\r\n");
}

TEST_F(PasswordChangeTest, RequiredChangeWithAMismatchChangesNothing) {
    EXPECT_EQ(changeRequiredPassword(files, "bob", "abc", "d", "D").result, Result::Mismatch);
    EXPECT_EQ(get("pfile.ini"), kPfile);
    EXPECT_EQ(get("mcpass.ini"), "bob\r\nann\r\nBOB\r\n");
}

TEST_F(PasswordChangeTest, AFullDiskLeavesPfileAndTheListAsTheyWere) {
    fake::FailingFiles failing(files);
    failing.fail(Op::WriteAll, "\\data\\pfile.tmp");
    for (bool required : {false, true}) {
        SCOPED_TRACE(required ? "required" : "own");
        const PasswordChangeOutcome outcome =
            required ? changeRequiredPassword(failing, "bob", "abc", "d", "d")
                     : changeOwnPassword(failing, "bob", "abc", "d", "d");
        EXPECT_EQ(outcome.result, Result::Failed);
        EXPECT_FALSE(outcome.problem.empty());
        EXPECT_EQ(get("pfile.ini"), kPfile);
        EXPECT_EQ(get("mcpass.ini"), "bob\r\nann\r\nBOB\r\n");
    }
}

TEST_F(PasswordChangeTest, AListThatCannotBeRewrittenDoesNotUndoTheNewPassword) {
    fake::FailingFiles failing(files);
    failing.fail(Op::WriteAll, "\\data\\mcpass.tmp");
    const PasswordChangeOutcome outcome = changeRequiredPassword(failing, "ann", "abc", "d", "d");
    EXPECT_EQ(outcome.result, Result::Changed);
    EXPECT_FALSE(outcome.problem.empty());
    EXPECT_EQ(get("pfile.ini"),
              "BOB\xB5"
              "5880\r\nCY\xB5"
              "100\r\nbob\xB5"
              "5880\r\nANN\xB5"
              "2000\r\n");
    EXPECT_EQ(get("mcpass.ini"), "bob\r\nann\r\nBOB\r\n");
}

TEST_F(PasswordChangeTest, AMissingPfileIsAWrongOldPasswordNotACrash) {
    drop("pfile.ini");
    const PasswordChangeOutcome outcome = changeOwnPassword(files, "ann", "abc", "d", "d");
    EXPECT_EQ(outcome.result, Result::WrongOldPassword);
    EXPECT_FALSE(has("pfile.ini"));
}

}  // namespace
}  // namespace hg::sentry
