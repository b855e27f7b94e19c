// LinuxFiles: Windows-style relative paths matched against the disk without regard to case,
// whole-file operations, and the errors they give.
#include "platform/core/LinuxFiles.h"

#include <gtest/gtest.h>

#include "platform/fake/core/TempDirectory.h"

namespace hg {
namespace {

using fake::TempDirectory;

TEST(LinuxFilesResolve, MatchesExistingEntriesIgnoringCaseAndLowerCasesNewOnes) {
    TempDirectory dir;
    dir.makeDirectory("DATA");
    dir.writeFile("DATA/PFILE.INI", "x");
    dir.makeDirectory("Logs");
    LinuxFiles files(dir.path());

    struct Case {
        const char* relative;
        const char* onDisk;
    } cases[] = {
        {"\\data\\pfile.ini", "DATA/PFILE.INI"},
        {"\\DATA\\PFILE.INI", "DATA/PFILE.INI"},
        {"\\Data\\PFile.Ini", "DATA/PFILE.INI"},
        {"data/pfile.ini", "DATA/PFILE.INI"},
        {"\\data\\PFILE.TMP", "DATA/pfile.tmp"},  // new file: lower case, in the existing directory
        {"\\LOGS\\Locker.TXT", "Logs/locker.txt"},
        {"\\NoSuchDir\\File.INI", "nosuchdir/file.ini"},
        {"\\data\\\xC4.ini", "DATA/\xC4.ini"},  // bytes outside ASCII are kept as they are
        {"", ""},
    };
    for (const Case& c : cases) {
        const std::string expected = c.onDisk[0] == '\0' ? dir.path() : dir / c.onDisk;
        EXPECT_EQ(files.resolve(c.relative), expected) << c.relative;
    }
}

TEST(LinuxFilesResolve, ExactSpellingWinsOverOtherMatches) {
    TempDirectory dir;
    dir.makeDirectory("data");
    dir.makeDirectory("DATA");
    dir.makeDirectory("Data");
    LinuxFiles files(dir.path());
    EXPECT_EQ(files.resolve("\\Data"), dir / "Data");
    EXPECT_EQ(files.resolve("\\data"), dir / "data");
    EXPECT_EQ(files.resolve("\\dAtA"), dir / "DATA");  // first in byte order
}

TEST(LinuxFilesResolve, NonAsciiBytesCompareExactly) {
    TempDirectory dir;
    dir.writeFile("\xC3\xA4.ini", "x");  // "ä" in UTF-8
    LinuxFiles files(dir.path());
    EXPECT_EQ(files.resolve("\\\xC3\x84.INI"), dir / "\xC3\x84.ini");  // "Ä" is another name
}

TEST(LinuxFilesResolve, AsGivenKeepsTheSpellingOfNewNames) {
    TempDirectory dir;
    dir.makeDirectory("Registry");
    LinuxFiles files(dir.path(), LinuxFiles::NewNames::AsGiven);
    EXPECT_EQ(files.resolve("\\registry\\HKEY_LOCAL_MACHINE.reg"),
              dir / "Registry/HKEY_LOCAL_MACHINE.reg");
}

TEST(LinuxFiles, WholeFileOperationsOnMixedCaseDirectories) {
    TempDirectory dir;
    dir.makeDirectory("Data");
    LinuxFiles files(dir.path());

    ASSERT_TRUE(files.writeAll("\\data\\Users.ini", "a\r\nb\r\n", true));
    EXPECT_TRUE(dir.exists("Data/users.ini"));
    EXPECT_TRUE(files.exists("\\DATA\\USERS.INI"));
    ASSERT_TRUE(files.writeAll("\\DATA\\USERS.INI", "c\r\n", false));  // truncates
    ASSERT_TRUE(files.append("\\data\\users.ini", std::string("d\0e\r\n", 5)));
    auto content = files.readAll("\\data\\users.ini");
    ASSERT_TRUE(content);
    EXPECT_EQ(*content, std::string("c\r\nd\0e\r\n", 8));

    ASSERT_TRUE(files.append("\\data\\new.txt", "line\r\n"));  // append creates
    EXPECT_EQ(dir.readFile("Data/new.txt"), "line\r\n");

    ASSERT_TRUE(files.rename("\\data\\USERS.ini", "\\data\\users.OLD"));
    EXPECT_FALSE(dir.exists("Data/users.ini"));
    EXPECT_EQ(dir.readFile("Data/users.old"), std::string("c\r\nd\0e\r\n", 8));
    ASSERT_TRUE(files.link("\\data\\users.old", "\\DATA\\Users.Bak"));
    EXPECT_EQ(dir.readFile("Data/users.bak"), std::string("c\r\nd\0e\r\n", 8));
    const Status linkedAgain = files.link("\\data\\users.old", "\\data\\users.bak");
    ASSERT_FALSE(linkedAgain);  // the new name exists
    EXPECT_EQ(linkedAgain.error().message, "link " + (dir / "Data/users.old") + " to " +
                                               (dir / "Data/users.bak") + ": File exists");
    ASSERT_TRUE(files.remove("\\Data\\Users.Old"));
    EXPECT_FALSE(dir.exists("Data/users.old"));
    EXPECT_TRUE(files.syncDirectory("\\DATA"));

    ASSERT_TRUE(files.writeAll("\\data\\empty.ini", "", true));
    content = files.readAll("\\data\\empty.ini");
    ASSERT_TRUE(content);
    EXPECT_EQ(*content, "");
}

TEST(LinuxFiles, MissingFilesAndDirectoriesGiveClearErrorsAndCreateNothing) {
    TempDirectory dir;
    dir.makeDirectory("data");
    LinuxFiles files(dir.path());
    const std::string missingDir = dir / "nodir/x.ini";

    const Status write = files.writeAll("\\NoDir\\X.INI", "data", true);
    ASSERT_FALSE(write);
    EXPECT_EQ(write.error().kind, IoError::Kind::NotFound);
    EXPECT_EQ(write.error().message, "open " + missingDir + ": No such file or directory");
    EXPECT_FALSE(dir.exists("nodir"));
    EXPECT_FALSE(dir.exists("NoDir"));

    const Status appended = files.append("\\nodir\\x.ini", "data");
    ASSERT_FALSE(appended);
    EXPECT_EQ(appended.error().kind, IoError::Kind::NotFound);
    EXPECT_FALSE(dir.exists("nodir"));

    const auto read = files.readAll("\\data\\pfile.ini");
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().kind, IoError::Kind::NotFound);
    EXPECT_EQ(read.error().message,
              "open " + (dir / "data/pfile.ini") + ": No such file or directory");

    const Status removed = files.remove("\\data\\pfile.ini");
    ASSERT_FALSE(removed);
    EXPECT_EQ(removed.error().kind, IoError::Kind::NotFound);
    EXPECT_EQ(removed.error().message,
              "unlink " + (dir / "data/pfile.ini") + ": No such file or directory");

    const Status renamed = files.rename("\\data\\a.ini", "\\data\\b.ini");
    ASSERT_FALSE(renamed);
    EXPECT_EQ(renamed.error().message, "rename " + (dir / "data/a.ini") + " to " +
                                           (dir / "data/b.ini") + ": No such file or directory");

    EXPECT_FALSE(files.syncDirectory("\\nodir"));
    EXPECT_FALSE(files.exists("\\data\\pfile.ini"));
}

TEST(LinuxFiles, OtherFailuresAreFailedNotNotFound) {
    TempDirectory dir;
    dir.makeDirectory("data");
    dir.writeFile("plain", "x");
    LinuxFiles files(dir.path());

    const auto readDirectory = files.readAll("\\data");
    ASSERT_FALSE(readDirectory);
    EXPECT_EQ(readDirectory.error().kind, IoError::Kind::Failed);
    EXPECT_EQ(readDirectory.error().message, "read " + (dir / "data") + ": Is a directory");

    const Status underFile = files.writeAll("\\plain\\x.ini", "x", false);
    ASSERT_FALSE(underFile);
    EXPECT_EQ(underFile.error().kind, IoError::Kind::Failed);
    EXPECT_EQ(underFile.error().message, "open " + (dir / "plain/x.ini") + ": Not a directory");
}

}  // namespace
}  // namespace hg
