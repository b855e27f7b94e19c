#include "accountstore/AccountStore.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/accountstore/StoreFixture.h"

namespace hg {
namespace {

using testing::StoreTest;

TEST(DataFileTable, EveryFileHasItsPathAndIsFoundInAnySpelling) {
    struct Case {
        DataFile file;
        const char* path;
    };
    const Case cases[] = {
        {DataFile::UserNames, "\\data\\usernams.ini"},
        {DataFile::Passwords, "\\data\\pfile.ini"},
        {DataFile::Administrators, "\\data\\aprefs.ini"},
        {DataFile::MayChangePassword, "\\data\\cpass.ini"},
        {DataFile::MustChangePassword, "\\data\\mcpass.ini"},
        {DataFile::Disabled, "\\data\\disable.ini"},
        {DataFile::Groups, "\\data\\groups.ini"},
        {DataFile::Welcome, "\\data\\welcome.ini"},
        {DataFile::ConfirmDelete, "\\data\\delete.ini"},
        {DataFile::AskPassword, "\\data\\prog.ini"},
        {DataFile::Enabled, "\\data\\boot.ini"},
        {DataFile::Repair, "\\data\\repair.ini"},
    };
    ASSERT_EQ(dataFiles().size(), std::size(cases));
    for (const auto& c : cases) {
        EXPECT_EQ(dataFilePath(c.file), c.path);
        EXPECT_EQ(dataFileNamed(c.path), c.file) << c.path;
    }
    // The console's upper-case spellings and bare names from the data server name the same files.
    EXPECT_EQ(dataFileNamed("\\DATA\\DELETE.INI"), DataFile::ConfirmDelete);
    EXPECT_EQ(dataFileNamed("\\DATA\\USERNAMS.INI"), DataFile::UserNames);
    EXPECT_EQ(dataFileNamed("PFILE.INI"), DataFile::Passwords);
    EXPECT_EQ(dataFileNamed("\\logs\\pfile.ini"), std::nullopt);
    EXPECT_EQ(dataFileNamed("\\data\\pfile.tmp"), std::nullopt);

    EXPECT_EQ(logFilePath(LogFile::Locker), "\\logs\\locker.txt");
    EXPECT_EQ(logFilePath(LogFile::Admin), "\\logs\\admin.txt");
    EXPECT_EQ(logFilePath(LogFile::Error), "\\logs\\errorlog.txt");
}

TEST(HoldsName, WholeLineIgnoringCase) {
    const std::string list = "Bob\r\n\r\nann\r\nZo\xEB\r\n";  // Zoë
    struct Case {
        const char* name;
        bool held;
    };
    const Case cases[] = {
        {"Bob", true},   {"BOB", true}, {"bob", true}, {"Bobby", false}, {"Bob ", false},
        {" Bob", false}, {"Bo", false}, {"ANN", true}, {"ZO\xCB", true},  // ZOË
        {"carl", false},
    };
    for (const auto& c : cases) EXPECT_EQ(holdsName(list, c.name), c.held) << c.name;
    // An empty line gives the flag to no user whose name is not empty.
    EXPECT_FALSE(holdsName("\r\n\r\n", "x"));
    // CR alone ends a line; LF alone is data.
    EXPECT_TRUE(holdsName("ann\rBob", "bob"));
    EXPECT_FALSE(holdsName("ann\nBob\r\n", "bob"));
}

TEST_F(StoreTest, HasNameReportsAMissingFileApartFromAnEmptyOne) {
    Expected<bool> missing = hasName(files, DataFile::Disabled, "bob");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().kind, IoError::Kind::NotFound);

    put("disable.ini", "");
    Expected<bool> empty = hasName(files, DataFile::Disabled, "bob");
    ASSERT_TRUE(empty.ok());
    EXPECT_FALSE(*empty);

    put("DISABLE.INI", "x\r\nBOB\r\n");  // a file spelt in upper case on disk is the same file
    std::remove((dir / "data/disable.ini").c_str());
    Expected<bool> upper = hasName(files, DataFile::Disabled, "bob");
    ASSERT_TRUE(upper.ok());
    EXPECT_TRUE(*upper);
}

TEST_F(StoreTest, AddNameAppendsAsTypedOnlyWhenAbsent) {
    put("aprefs.ini", "ann\r\nBob\r\n");
    ASSERT_TRUE(addName(files, DataFile::Administrators, "Carl").ok());
    EXPECT_EQ(get("aprefs.ini"), "ann\r\nBob\r\nCarl\r\n");
    EXPECT_EQ(get("aprefs.old"), "ann\r\nBob\r\n");

    ASSERT_TRUE(addName(files, DataFile::Administrators, "BOB").ok());
    EXPECT_EQ(get("aprefs.ini"), "ann\r\nBob\r\nCarl\r\n");
    EXPECT_FALSE(has("aprefs.tmp"));

    // "Bob " with a trailing space is another name.
    ASSERT_TRUE(addName(files, DataFile::Administrators, "Bob ").ok());
    EXPECT_EQ(get("aprefs.ini"), "ann\r\nBob\r\nCarl\r\nBob \r\n");
}

TEST_F(StoreTest, DropNameRemovesEveryEqualLineAndNothingElse) {
    put("cpass.ini", "Bob\r\nBobby\r\n\r\nbob\r\nBob \r\nann\r\n");
    ASSERT_TRUE(dropName(files, DataFile::MayChangePassword, "BOB").ok());
    EXPECT_EQ(get("cpass.ini"), "Bobby\r\n\r\nBob \r\nann\r\n");
}

TEST_F(StoreTest, NameListWritesOnAMissingFileChangeNothing) {
    EXPECT_EQ(addName(files, DataFile::MustChangePassword, "bob").error().kind,
              IoError::Kind::NotFound);
    EXPECT_EQ(dropName(files, DataFile::MustChangePassword, "bob").error().kind,
              IoError::Kind::NotFound);
    EXPECT_FALSE(has("mcpass.ini"));
    EXPECT_FALSE(has("mcpass.tmp"));
    EXPECT_FALSE(has("mcpass.old"));
}

TEST_F(StoreTest, NamesHoldingALineBreakAreRefusedAndNothingChanges) {
    const std::string before = "ann\r\n";
    put("aprefs.ini", before);
    for (const char* name : {"bob\r\nann", "bob\n", "\rbob"}) {
        Status added = addName(files, DataFile::Administrators, name);
        ASSERT_FALSE(added.ok());
        EXPECT_NE(added.error().message.find("CR or LF"), std::string::npos);
        EXPECT_FALSE(dropName(files, DataFile::Administrators, name).ok());
    }
    EXPECT_EQ(get("aprefs.ini"), before);
    EXPECT_FALSE(has("aprefs.old"));
    EXPECT_FALSE(has("aprefs.tmp"));
}

TEST_F(StoreTest, DamagedLinesSurviveANameListRewrite) {
    const std::string huge(3 * 1024 * 1024, 'x');
    std::string damaged;
    damaged += std::string("nul\0in\0line", 11) + "\r\n";
    damaged += huge + "\r\n";
    damaged += "\x80\x81\xFF\xC6\xB5\r\n";
    damaged += "lf\nalone\r\n";
    damaged += "Bob\r\n";
    damaged += "no final end";
    put("disable.ini", damaged);

    ASSERT_TRUE(dropName(files, DataFile::Disabled, "bob").ok());
    // Every line but Bob's is copied byte for byte; the last line gets its CR LF.
    std::string expected;
    expected += std::string("nul\0in\0line", 11) + "\r\n";
    expected += huge + "\r\n";
    expected += "\x80\x81\xFF\xC6\xB5\r\n";
    expected += "lf\nalone\r\n";
    expected += "no final end\r\n";
    EXPECT_EQ(get("disable.ini"), expected);
    EXPECT_EQ(get("disable.old"), damaged);

    Expected<bool> held = hasName(files, DataFile::Disabled, std::string("nul\0IN\0LINE", 11));
    ASSERT_TRUE(held.ok());
    EXPECT_TRUE(*held);
}

}  // namespace
}  // namespace hg
