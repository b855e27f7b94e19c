#include "accountstore/PasswordDigest.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/accountstore/StoreFixture.h"

namespace hg {
namespace {

using testing::StoreTest;

TEST(PasswordDigest, TwentyTimesTheSumOfTheBytes) {
    struct Case {
        std::string password;
        const char* digest;
    };
    const Case cases[] = {
        {"", "0"},
        {"abc", "5880"},
        {"cab", "5880"},  // any password with the same sum
        {"a", "1940"},
        {std::string(18, '\xFF'), "91800"},      // beyond 16 bits
        {std::string(1000, '\xFF'), "5100000"},  // longer than any text box allows
        {std::string("\0", 1), "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(passwordDigest(c.password), c.digest);
}

TEST(EntryLine, UpperCaseNameSeparatorDigest) {
    // The worked example: alice / abc.
    EXPECT_EQ(entryLine("alice", "abc"), "\x41\x4C\x49\x43\x45\xB5\x35\x38\x38\x30");
    EXPECT_EQ(entryLine("Zo\xEB", ""),
              "ZO\xCB\xB5"
              "0");
    EXPECT_EQ(entryLine("\xFFx", "a"),
              "\x9FX\xB5"
              "1940");
}

TEST(IsLoginLine, WholeLineIgnoringCase) {
    const std::string line =
        "ALICE\xB5"
        "5880";
    struct Case {
        const char* name;
        const char* password;
        bool matches;
    };
    const Case cases[] = {
        {"alice", "abc", true},  {"Alice", "bca", true}, {"ALICE", "abc", true},
        {"alice", "abd", false}, {"alic", "abc", false}, {"alice ", "abc", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isLoginLine(line, c.name, c.password), c.matches) << c.name << "/" << c.password;
    }
    EXPECT_TRUE(
        isLoginLine("alice\xB5"
                    "5880",
                    "ALICE", "abc"));
    EXPECT_FALSE(
        isLoginLine("ALICE\xB5"
                    "5880 ",
                    "alice", "abc"));
}

TEST(IsEntryOf, NameThenSeparatorWhateverThePassword) {
    struct Case {
        std::string line;
        const char* name;
        bool entry;
    };
    const Case cases[] = {
        {"BOB\xB5"
         "5880",
         "Bob", true},
        {"bob\xB5"
         "1",
         "BOB", true},
        {"BOB\xB5", "bob", true},
        {"BOBBY\xB5"
         "5880",
         "Bob", false},
        {"BOB", "Bob", false},
        {"BOB \xB5"
         "5880",
         "Bob", false},
        {"BO\xB5"
         "5880",
         "Bob", false},
        {"\xB5"
         "0",
         "", true},
    };
    for (const auto& c : cases) EXPECT_EQ(isEntryOf(c.line, c.name), c.entry) << c.line;
}

TEST_F(StoreTest, LoginCheckFindsAnyMatchingLine) {
    using namespace std::string_literals;
    put("pfile.ini",
        "BOBBY\xB5"
        "5880\r\n"
        "damaged\0line\r\n"s
        "ALICE\xB5"
        "5880\r\n"
        "NEW\xB5"
        "0"s);  // no final CR LF
    struct Case {
        const char* name;
        const char* password;
        bool right;
    };
    const Case cases[] = {
        {"alice", "abc", true}, {"ALICE", "cba", true}, {"alice", "abcd", false},
        {"bob", "abc", false},  {"new", "", true},      {"", "", false},
    };
    for (const auto& c : cases) {
        Expected<bool> ok = checkLogin(files, c.name, c.password);
        ASSERT_TRUE(ok.ok());
        EXPECT_EQ(*ok, c.right) << c.name;
    }
}

TEST_F(StoreTest, LoginCheckOnAMissingPasswordFileIsNotFound) {
    Expected<bool> ok = checkLogin(files, "alice", "abc");
    ASSERT_FALSE(ok.ok());
    EXPECT_EQ(ok.error().kind, IoError::Kind::NotFound);
}

TEST_F(StoreTest, PasswordChangeAtLoginReplacesTheMatchingLinesAtTheEnd) {
    put("pfile.ini",
        "alice\xB5"
        "5880\r\n"
        "BOB\xB5"
        "5880\r\n"
        "ALICE\xB5"
        "1940\r\n"
        "ALICE\xB5"
        "5880\r\n");
    ASSERT_TRUE(changeLoginPassword(files, "Alice", "abc", "a").ok());
    // Lines with the old digest go; the entry of another password stays; the new line comes last.
    EXPECT_EQ(get("pfile.ini"),
              "BOB\xB5"
              "5880\r\n"
              "ALICE\xB5"
              "1940\r\n"
              "ALICE\xB5"
              "1940\r\n");
    EXPECT_FALSE(has("pfile.tmp"));

    EXPECT_FALSE(changeLoginPassword(files, "Alice\r\nEVE", "a", "b").ok());
    EXPECT_EQ(get("pfile.ini"),
              "BOB\xB5"
              "5880\r\n"
              "ALICE\xB5"
              "1940\r\n"
              "ALICE\xB5"
              "1940\r\n");
}

}  // namespace
}  // namespace hg
