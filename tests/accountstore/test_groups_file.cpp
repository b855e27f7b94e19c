#include "accountstore/GroupsFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "accountstore/Text.h"
#include "tests/accountstore/StoreFixture.h"

namespace hg {
namespace {

using testing::StoreTest;
using Lines = std::vector<std::string>;

// Æ is 0xC6, æ 0xE6.
const Lines kBase = {
    "stray line before",
    "\xC6GROUP\xC6Lab",
    "USER\xC6"
    "Ann",
    "USER\xC6"
    "ben",
    "OPTION\xC6"
    "DISPLAYDISABLE",
    "PROGRAM\xC6NOTEPAD.EXE",
    "~END~",
    "between records",
    "\xE6GROUP\xE6LAB",  // the same group, header in other letter case
    "user\xC6"
    "BEN",
    "PROGRAM\xC6\xC6"
    "ALL",
    "~END~",
    "\xC6GROUP\xC6Open",  // lost its end marker: ends at the next header
    "USER\xC6"
    "carl",
    "\xC6GROUP\xC6Staff",
    "USER\xC6"
    "ann",
    "option2\xC6STARTREMOVERUN",
    "~end~",
    "USER\xC6"
    "ann",  // outside any record
    "\xC6GROUP\xC6Tail",
    "USER\xC6"
    "dan",  // last line, no CR LF, no end marker
};

std::string bytesOf(const Lines& lines, bool finalEnd = true) {
    std::string out = text::joinLines(lines);
    if (!finalEnd)
        out.resize(out.size() - 2);
    return out;
}

// kBase with its line at `at` replaced by `with` (several lines, or none).
Lines edited(Lines lines, std::size_t at, std::size_t count, const Lines& with) {
    lines.erase(lines.begin() + at, lines.begin() + at + count);
    lines.insert(lines.begin() + at, with.begin(), with.end());
    return lines;
}

class GroupsFileTest : public StoreTest {
protected:
    void SetUp() override { put("groups.ini", bytesOf(kBase, false)); }
};

TEST_F(GroupsFileTest, ReadsFollowTheRecords) {
    EXPECT_EQ(*listGroupNames(files), (Lines{"Lab", "LAB", "Open", "Staff", "Tail"}));

    struct MemberCase {
        const char* user;
        Lines groups;
    };
    const MemberCase members[] = {
        {"ANN", {"Lab", "Staff"}},  // not Open, not the line outside the records
        {"Ben", {"Lab"}},           // in both spellings of Lab: listed once
        {"carl", {"Open"}},        {"dan", {"Tail"}}, {"an", {}},
    };
    for (const auto& c : members) EXPECT_EQ(*listGroupsOfUser(files, c.user), c.groups) << c.user;

    EXPECT_EQ(*findGroupRecord(files, "lab"), (Lines{"USER\xC6"
                                                     "Ann",
                                                     "USER\xC6"
                                                     "ben",
                                                     "OPTION\xC6"
                                                     "DISPLAYDISABLE",
                                                     "PROGRAM\xC6NOTEPAD.EXE",
                                                     "user\xC6"
                                                     "BEN",
                                                     "PROGRAM\xC6\xC6"
                                                     "ALL"}));
    EXPECT_EQ(*findGroupRecord(files, "OPEN"), (Lines{"USER\xC6"
                                                      "carl"}));
    EXPECT_EQ(*findGroupRecord(files, "Tail"), (Lines{"USER\xC6"
                                                      "dan"}));
    EXPECT_EQ(*findGroupRecord(files, "La"), Lines{});

    EXPECT_EQ(*readGroupMembers(files, "lab"), (Lines{"Ann", "ben", "BEN"}));
    EXPECT_EQ(*readGroupMembers(files, "Staff"), (Lines{"ann"}));

    EXPECT_EQ(*readGroupOptions(files, "staff", OptionFamily::StartMenu),
              (Lines{"OPTION2\xC6STARTREMOVERUN"}));
    EXPECT_EQ(*readGroupOptions(files, "lab", OptionFamily::ControlPanel),
              (Lines{"OPTION\xC6"
                     "DISPLAYDISABLE"}));
    EXPECT_EQ(*readGroupOptions(files, "lab", OptionFamily::Other), Lines{});

    const GroupPrograms lab = *readGroupPrograms(files, "Lab");
    EXPECT_TRUE(lab.allowAll);
    EXPECT_EQ(lab.entries, (Lines{"NOTEPAD.EXE"}));
    const GroupPrograms staff = *readGroupPrograms(files, "Staff");
    EXPECT_FALSE(staff.allowAll);
    EXPECT_TRUE(staff.entries.empty());

    const std::vector<GroupRecord> records = *readGroupRecords(files);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_FALSE(records[2].ended);
    EXPECT_TRUE(records[3].ended);
    EXPECT_FALSE(records[4].ended);
}

TEST_F(GroupsFileTest, EachRewriteChangesOnlyItsLines) {
    const std::string endedTail = "~END~";
    struct Case {
        const char* what;
        std::function<Status(Files&)> op;
        Lines expected;
    };
    const Case cases[] = {
        {"deleteGroup lab: both records, lines between stay",
         [](Files& f) { return deleteGroup(f, "lab"); }, edited(edited(kBase, 8, 4, {}), 1, 6, {})},
        {"deleteGroup Open: the record after it stays",
         [](Files& f) { return deleteGroup(f, "open"); }, edited(kBase, 12, 2, {})},
        {"addMember already there in other case",
         [](Files& f) { return addMember(f, "staff", "ANN"); }, kBase},
        {"addMember before the lower-case end marker",
         [](Files& f) { return addMember(f, "Staff", "Eve"); },
         edited(kBase, 17, 0,
                {"USER\xC6"
                 "Eve"})},
        {"addMember to a record without end marker closes it",
         [](Files& f) { return addMember(f, "Open", "Eve"); },
         edited(kBase, 14, 0,
                {"USER\xC6"
                 "Eve",
                 "~END~"})},
        {"addMember to the last record without end marker",
         [](Files& f) { return addMember(f, "tail", "Eve"); },
         edited(kBase, 21, 0,
                {"USER\xC6"
                 "Eve",
                 "~END~"})},
        {"addMember to both records of one name",
         [](Files& f) { return addMember(f, "LAB", "zoe"); },
         edited(edited(kBase, 11, 0, {"USER\xC6zoe"}), 6, 0, {"USER\xC6zoe"})},
        {"removeMember in both records, not outside",
         [](Files& f) { return removeMember(f, "lab", "BEN"); },
         edited(edited(kBase, 9, 1, {}), 3, 1, {})},
        {"removeMember from one group keeps the user's lines elsewhere",
         [](Files& f) { return removeMember(f, "staff", "ANN"); }, edited(kBase, 15, 1, {})},
        {"removeMember of someone else's member",
         [](Files& f) { return removeMember(f, "staff", "carl"); }, kBase},
        {"removeUserFromGroups: every line of the file",
         [](Files& f) { return removeUserFromGroups(f, "ann"); },
         edited(edited(edited(kBase, 18, 1, {}), 15, 1, {}), 2, 1, {})},
        {"renameUserInGroups: every line of the file",
         [](Files& f) { return renameUserInGroups(f, "ANN", "Anna"); },
         edited(edited(edited(kBase, 18, 1,
                              {"USER\xC6"
                               "Anna"}),
                       15, 1,
                       {"USER\xC6"
                        "Anna"}),
                2, 1,
                {"USER\xC6"
                 "Anna"})},
        {"replaceOptions: family lines after the header in table order",
         [](Files& f) {
             return replaceOptions(f, "staff", OptionFamily::StartMenu,
                                   {"option2\xE6STARTREMOVEFIND", "OPTION2\xC6STARTREMOVESETTINGS",
                                    "OPTION\xC6"
                                    "DISPLAYDISABLE"});
         },
         edited(kBase, 15, 2,
                {"OPTION2\xC6STARTREMOVESETTINGS", "OPTION2\xC6STARTREMOVEFIND",
                 "USER\xC6"
                 "ann"})},
        {"replaceOptions with none on drops the family only",
         [](Files& f) { return replaceOptions(f, "lab", OptionFamily::ControlPanel, {}); },
         edited(kBase, 4, 1, {})},
        {"replaceOptions of another family leaves the lines",
         [](Files& f) {
             return replaceOptions(f, "lab", OptionFamily::Other, {"OPTION3\xC6HIDEALLICONS"});
         },
         edited(edited(kBase, 9, 0, {"OPTION3\xC6HIDEALLICONS"}), 2, 0,
                {"OPTION3\xC6HIDEALLICONS"})},
        {"addProgram before each end marker",
         [](Files& f) { return addProgram(f, "lab", "calc.exe"); },
         edited(edited(kBase, 11, 0,
                       {"PROGRAM\xC6"
                        "calc.exe"}),
                6, 0,
                {"PROGRAM\xC6"
                 "calc.exe"})},
        {"removeProgram ignoring case",
         [](Files& f) { return removeProgram(f, "lab", "notepad.exe"); }, edited(kBase, 5, 1, {})},
        {"setAllowAll where missing only", [](Files& f) { return setAllowAll(f, "lab"); },
         edited(kBase, 6, 0,
                {"PROGRAM\xC6\xC6"
                 "ALL"})},
        {"clearAllowAll keeps program lines", [](Files& f) { return clearAllowAll(f, "lab"); },
         edited(kBase, 10, 1, {})},
        {"a group that does not exist: copied unchanged",
         [](Files& f) { return addMember(f, "nobody", "x"); }, kBase},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        put("groups.ini", bytesOf(kBase, false));
        ASSERT_TRUE(c.op(files).ok());
        EXPECT_EQ(get("groups.ini"), bytesOf(c.expected));
        EXPECT_EQ(get("groups.old"), bytesOf(kBase, false));
        EXPECT_FALSE(has("groups.tmp"));
    }
}

TEST_F(GroupsFileTest, CreateAndRenameCheckTheNameIgnoringCase) {
    EXPECT_EQ(*createGroup(files, "staff"), CreateGroupOutcome::NameTaken);
    EXPECT_EQ(*createGroup(files, "lab"), CreateGroupOutcome::NameTaken);
    EXPECT_EQ(refusalText(CreateGroupOutcome::NameTaken), "That name is already taken.");
    EXPECT_EQ(refusalText(CreateGroupOutcome::Created), "");
    EXPECT_EQ(get("groups.ini"), bytesOf(kBase, false));

    // The last line had no CR LF: it is ended before the new record starts.
    EXPECT_EQ(*createGroup(files, "New \xC6 one"), CreateGroupOutcome::Created);
    Lines created = kBase;
    created.insert(created.end(), {"\xC6GROUP\xC6New \xC6 one",
                                   "PROGRAM\xC6\xC6"
                                   "ALL",
                                   "~END~"});
    EXPECT_EQ(get("groups.ini"), bytesOf(created));

    put("groups.ini", bytesOf(kBase));
    EXPECT_EQ(*renameGroup(files, "Lab", "STAFF"), RenameGroupOutcome::NameExists);
    EXPECT_EQ(*renameGroup(files, "Lab", "lAB"), RenameGroupOutcome::SameName);
    EXPECT_EQ(refusalText(RenameGroupOutcome::NameExists),
              "That group already exists.  The group will not be renamed.");
    EXPECT_EQ(refusalText(RenameGroupOutcome::SameName), "");
    EXPECT_EQ(refusalText(RenameGroupOutcome::Renamed), "");
    EXPECT_EQ(get("groups.ini"), bytesOf(kBase));
    EXPECT_FALSE(has("groups.old"));

    EXPECT_EQ(*renameGroup(files, "lab", "Room"), RenameGroupOutcome::Renamed);
    EXPECT_EQ(get("groups.ini"), bytesOf(edited(edited(kBase, 8, 1, {"\xC6GROUP\xC6Room"}), 1, 1,
                                                {"\xC6GROUP\xC6Room"})));
    EXPECT_EQ(*listGroupsOfUser(files, "ben"), (Lines{"Room"}));
}

TEST_F(GroupsFileTest, NamesHoldingALineBreakAreRefused) {
    const std::function<Status(Files&)> ops[] = {
        [](Files& f) { return addMember(f, "Lab", "x\r\n~END~"); },
        [](Files& f) { return addMember(f, "Lab\n", "x"); },
        [](Files& f) {
            return addProgram(f, "Lab",
                              "a.exe\rPROGRAM\xC6\xC6"
                              "ALL");
        },
        [](Files& f) { return renameUserInGroups(f, "ann", "x\ny"); },
        [](Files& f) {
            Expected<CreateGroupOutcome> r = createGroup(f, "A\r\nUSER\xC6x");
            return r.ok() ? success() : Status(r.error());
        },
        [](Files& f) {
            Expected<RenameGroupOutcome> r = renameGroup(f, "Lab", "B\r");
            return r.ok() ? success() : Status(r.error());
        },
    };
    for (const auto& op : ops) {
        Status s = op(files);
        ASSERT_FALSE(s.ok());
        EXPECT_NE(s.error().message.find("CR or LF"), std::string::npos);
    }
    EXPECT_EQ(get("groups.ini"), bytesOf(kBase, false));
    EXPECT_FALSE(has("groups.old"));
}

TEST_F(StoreTest, DamagedLinesAreReadSafelyAndCopiedUnchanged) {
    using namespace std::string_literals;
    const std::string huge(2 * 1024 * 1024, '\xC6');
    const std::string damaged = "\0\0\0\r\n"s + huge + "\r\n" +
                                "\xC6GROUP\xC6"
                                "Lab\r\n"
                                "USER\xC6\0ann\r\n"s +
                                "\x80\x81\x8D\xFF\r\n" + "\xC6GROUP\xC6" + huge + "\r\n" +
                                "USER\xC6"
                                "ann\r\n"
                                "\xC6GROUP\xC6\r\n"  // a group with an empty name
                                "~END~";
    put("groups.ini", damaged);

    EXPECT_EQ(listGroupNames(files)->size(), 3u);
    EXPECT_EQ(*listGroupsOfUser(files, "ann"), Lines{huge});
    EXPECT_EQ(*listGroupsOfUser(files, "\0ann"s), Lines{"Lab"});
    EXPECT_EQ(*readGroupMembers(files, "lab"), (Lines{"\0ann"s}));
    EXPECT_EQ(*findGroupRecord(files, ""), Lines{});

    // A change to the empty-named group copies every other byte as it was.
    ASSERT_TRUE(addMember(files, "", "bo").ok());
    std::string expected = damaged;
    expected.insert(expected.size() - 5,
                    "USER\xC6"
                    "bo\r\n");
    EXPECT_EQ(get("groups.ini"), expected + "\r\n");
    EXPECT_EQ(get("groups.old"), damaged);
}

TEST_F(StoreTest, AMissingGroupsFileHasNoGroups) {
    EXPECT_TRUE(listGroupNames(files)->empty());
    EXPECT_TRUE(listGroupsOfUser(files, "ann")->empty());
    EXPECT_TRUE(findGroupRecord(files, "Lab")->empty());
    EXPECT_FALSE(readGroupPrograms(files, "Lab")->allowAll);
    EXPECT_TRUE(addMember(files, "Lab", "ann").ok());
    EXPECT_TRUE(removeUserFromGroups(files, "ann").ok());
    EXPECT_EQ(*renameGroup(files, "Lab", "Room"), RenameGroupOutcome::Renamed);
    EXPECT_FALSE(has("groups.ini"));
    EXPECT_FALSE(has("groups.tmp"));

    EXPECT_EQ(*createGroup(files, "Lab"), CreateGroupOutcome::Created);
    EXPECT_EQ(get("groups.ini"),
              "\xC6GROUP\xC6Lab\r\nPROGRAM\xC6\xC6"
              "ALL\r\n~END~\r\n");
}

TEST_F(StoreTest, WorkedExampleBuildsTheLabRecordByteForByte) {
    ASSERT_EQ(*createGroup(files, "Lab"), CreateGroupOutcome::Created);
    ASSERT_TRUE(addMember(files, "Lab", "ann").ok());
    ASSERT_TRUE(addMember(files, "Lab", "ben").ok());
    ASSERT_TRUE(replaceOptions(files, "Lab", OptionFamily::ControlPanel,
                               {"OPTION\xC6SYSTEMHIDEDEVICE",
                                "OPTION\xC6"
                                "DISPLAYDISABLE"})
                    .ok());
    ASSERT_TRUE(
        replaceOptions(files, "Lab", OptionFamily::Other, {"OPTION3\xC6HIDEALLDRIVES"}).ok());
    ASSERT_TRUE(clearAllowAll(files, "Lab").ok());
    ASSERT_TRUE(addProgram(files, "Lab", "NOTEPAD.EXE").ok());

    const std::string expected =
        "\xC6\x47\x52\x4F\x55\x50\xC6\x4C\x61\x62\r\n"  // ÆGROUPÆLab
        "OPTION3\xC6HIDEALLDRIVES\r\n"
        "OPTION\xC6"
        "DISPLAYDISABLE\r\n"
        "OPTION\xC6SYSTEMHIDEDEVICE\r\n"
        "USER\xC6"
        "ann\r\n"
        "USER\xC6"
        "ben\r\n"
        "PROGRAM\xC6NOTEPAD.EXE\r\n"
        "~END~\r\n";
    EXPECT_EQ(get("groups.ini"), expected);

    // The Start Menu editor moves nothing of the other families.
    ASSERT_TRUE(
        replaceOptions(files, "Lab", OptionFamily::StartMenu, {"OPTION2\xC6STARTREMOVERUN"}).ok());
    EXPECT_EQ(*findGroupRecord(files, "Lab"),
              (Lines{"OPTION2\xC6STARTREMOVERUN", "OPTION3\xC6HIDEALLDRIVES",
                     "OPTION\xC6"
                     "DISPLAYDISABLE",
                     "OPTION\xC6SYSTEMHIDEDEVICE",
                     "USER\xC6"
                     "ann",
                     "USER\xC6"
                     "ben",
                     "PROGRAM\xC6NOTEPAD.EXE"}));

    // Approved programs only and back: the list is there again.
    ASSERT_TRUE(setAllowAll(files, "Lab").ok());
    EXPECT_TRUE(readGroupPrograms(files, "Lab")->allowAll);
    ASSERT_TRUE(clearAllowAll(files, "Lab").ok());
    const GroupPrograms programs = *readGroupPrograms(files, "Lab");
    EXPECT_FALSE(programs.allowAll);
    EXPECT_EQ(programs.entries, (Lines{"NOTEPAD.EXE"}));
}

}  // namespace
}  // namespace hg
