// The login decision: the order of the checks, the log lines, the groups, and missing files.
#include <gtest/gtest.h>

#include <unistd.h>

#include "sentry/LoginDecision.h"
#include "tests/sentry/DataFixture.h"

namespace hg::sentry {
namespace {

using testing::logged;

constexpr std::string_view kIncorrect = "   - Incorrect login while computer was locked.  User: '";

class LoginDecisionTest : public testing::DataFixture {
protected:
    LoginDecisionTest() {
        // Every user's password is abc (digest 5880).
        put("pfile.ini",
            "ALICE\xB5"
            "5880\r\nBOB\xB5"
            "5880\r\nCAROL\xB5"
            "5880\r\nDAVE\xB5"
            "5880\r\n"
            "ERIN\xB5"
            "5880\r\nFRANK\xB5"
            "5880\r\n");
        put("disable.ini", "carol\r\nDave\r\n\r\n");
        put("mcpass.ini", "dave\r\nerin\r\n");
        put("groups.ini",
            "\xC6GROUP\xC6Lab\r\nUSER\xC6"
            "alice\r\nUSER\xC6"
            "ALICE\r\n~END~\r\n"
            "\xC6GROUP\xC6Zeta\r\nUSER\xC6"
            "bob\r\n~END~\r\n"
            "\xC6GROUP\xC6"
            "Alpha\r\nUSER\xC6"
            "bob\r\n~END~\r\n");
    }
};

struct RoadCase {
    const char* what;
    const char* name;
    const char* password;
    LoginVerdict verdict;
    std::vector<std::string> groups;
    std::string log;  // the locker log afterwards
};

TEST_F(LoginDecisionTest, EachRoadEndsWhereItsFirstCheckSaysAndLogsOnlyItsLines) {
    const std::vector<RoadCase> cases = {
        {"wrong password",
         "alice",
         "abd",
         LoginVerdict::Incorrect,
         {},
         logged(std::string(kIncorrect) + "alice'.")},
        {"name without entry",
         "zoe",
         "abc",
         LoginVerdict::Incorrect,
         {},
         logged(std::string(kIncorrect) + "zoe'.")},
        {"empty name", "", "", LoginVerdict::Incorrect, {}, logged(std::string(kIncorrect) + "'.")},
        {"disabled", "carol", "abc", LoginVerdict::Disabled, {}, ""},
        {"disabled and must change", "dave", "abc", LoginVerdict::Disabled, {}, ""},
        {"disabled with a wrong password",
         "carol",
         "xyz",
         LoginVerdict::Incorrect,
         {},
         logged(std::string(kIncorrect) + "carol'.")},
        {"must change", "erin", "abc", LoginVerdict::MustChange, {}, ""},
        {"no groups",
         "frank",
         "abc",
         LoginVerdict::NoGroups,
         {},
         logged("   - 'frank' successfully logged in.")},
        {"one group, listed twice in it",
         "alice",
         "abc",
         LoginVerdict::OneGroup,
         {"Lab"},
         logged("   - 'alice' successfully logged in.")},
        {"name typed in another case, password in another order",
         "aLiCe",
         "cab",
         LoginVerdict::OneGroup,
         {"Lab"},
         logged("   - 'aLiCe' successfully logged in.")},
        {"two groups in file order",
         "bob",
         "abc",
         LoginVerdict::SeveralGroups,
         {"Zeta", "Alpha"},
         logged("   - 'bob' successfully logged in.")},
    };
    for (const RoadCase& c : cases) {
        SCOPED_TRACE(c.what);
        dir.writeFile("logs/locker.txt", "");
        const LoginDecision decision = decideLogin(files, clock, c.name, c.password);
        EXPECT_EQ(decision.verdict, c.verdict);
        EXPECT_EQ(decision.groups, c.groups);
        EXPECT_TRUE(decision.problems.empty());
        EXPECT_EQ(lockerLog(), c.log);
    }
}

TEST_F(LoginDecisionTest, QuotesInTheNameAreLoggedUnchanged) {
    decideLogin(files, clock, "o'neil \"x\"", "abc");
    EXPECT_EQ(lockerLog(), logged(std::string(kIncorrect) + "o'neil \"x\"'."));
}

struct MissingCase {
    const char* file;
    LoginVerdict verdict;  // for alice, who otherwise logs in to Lab
    bool problem;
};

TEST_F(LoginDecisionTest, MissingFilesFailClosedAndAreReported) {
    const std::vector<MissingCase> cases = {
        {"pfile.ini", LoginVerdict::Incorrect, true},
        {"disable.ini", LoginVerdict::Disabled, true},
        {"mcpass.ini", LoginVerdict::OneGroup, true},
        {"groups.ini", LoginVerdict::NoGroups, false},
    };
    for (const MissingCase& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string kept = get(c.file);
        drop(c.file);
        const LoginDecision decision = decideLogin(files, clock, "alice", "abc");
        EXPECT_EQ(decision.verdict, c.verdict);
        EXPECT_EQ(!decision.problems.empty(), c.problem);
        put(c.file, kept);
    }
}

TEST_F(LoginDecisionTest, ALogThatCannotBeWrittenChangesNoOutcome) {
    ASSERT_EQ(::rmdir((dir / "logs").c_str()), 0);
    const LoginDecision wrong = decideLogin(files, clock, "alice", "abd");
    EXPECT_EQ(wrong.verdict, LoginVerdict::Incorrect);
    EXPECT_EQ(wrong.problems.size(), 1u);
    const LoginDecision right = decideLogin(files, clock, "alice", "abc");
    EXPECT_EQ(right.verdict, LoginVerdict::OneGroup);
    EXPECT_EQ(right.groups, std::vector<std::string>{"Lab"});
    EXPECT_EQ(right.problems.size(), 1u);
}

}  // namespace
}  // namespace hg::sentry
