// The core test doubles: FakeClock keeps date, time and timer consistent; FailingFiles fails
// exactly the calls it is told to and passes everything else to the real files.
#include <gtest/gtest.h>

#include "platform/core/LinuxFiles.h"
#include "platform/fake/core/FailingFiles.h"
#include "platform/fake/core/FakeClock.h"
#include "platform/fake/core/TempDirectory.h"

namespace hg::fake {
namespace {

TEST(FakeClock, SetAndAdvanceAcrossMidnightMonthAndYear) {
    FakeClock clock({2024, 2, 28}, {23, 59, 30});
    EXPECT_DOUBLE_EQ(clock.secondsSinceMidnight(), 86370.0);

    clock.advance(40.5);  // into the leap day
    EXPECT_EQ(clock.today().year, 2024);
    EXPECT_EQ(clock.today().month, 2);
    EXPECT_EQ(clock.today().day, 29);
    EXPECT_DOUBLE_EQ(clock.secondsSinceMidnight(), 10.5);
    EXPECT_EQ(clock.now().hour, 0);
    EXPECT_EQ(clock.now().second, 10);

    clock.set({1999, 12, 31}, {12, 0, 0});
    clock.advance(2 * 86400.0);
    EXPECT_EQ(clock.today().year, 2000);
    EXPECT_EQ(clock.today().month, 1);
    EXPECT_EQ(clock.today().day, 2);
    EXPECT_EQ(clock.now().hour, 12);

    clock.setSecondsSinceMidnight(3723.25);
    EXPECT_EQ(clock.now().hour, 1);
    EXPECT_EQ(clock.now().minute, 2);
    EXPECT_EQ(clock.now().second, 3);
}

TEST(FailingFiles, FailsTheChosenPathIgnoringCaseAndPassesTheRest) {
    TempDirectory dir;
    dir.makeDirectory("data");
    LinuxFiles real(dir.path());
    FailingFiles files(real);
    files.fail(FailingFiles::Operation::WriteAll, "\\DATA\\PFILE.TMP");

    const Status failed = files.writeAll("\\data\\pfile.tmp", "x", true);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().kind, IoError::Kind::Failed);
    EXPECT_EQ(failed.error().message,
              "write " + (dir / "data/pfile.tmp") + ": No space left on device");
    EXPECT_FALSE(dir.exists("data/pfile.tmp"));

    EXPECT_TRUE(files.writeAll("\\data\\other.ini", "y", true));
    EXPECT_EQ(dir.readFile("data/other.ini"), "y");
    EXPECT_EQ(files.calls(FailingFiles::Operation::WriteAll), 2);
}

TEST(FailingFiles, FailsOnlyTheNthCall) {
    TempDirectory dir;
    LinuxFiles real(dir.path());
    FailingFiles files(real);
    files.failNthCall(FailingFiles::Operation::Append, 2, EIO);

    EXPECT_TRUE(files.append("\\log.txt", "1"));
    const Status second = files.append("\\log.txt", "2");
    ASSERT_FALSE(second);
    EXPECT_EQ(second.error().message, "write " + (dir / "log.txt") + ": Input/output error");
    EXPECT_TRUE(files.append("\\log.txt", "3"));
    EXPECT_EQ(dir.readFile("log.txt"), "13");
}

TEST(FailingFiles, PartialWriteAndRenameByEitherName) {
    TempDirectory dir;
    dir.writeFile("a.ini", "old contents");
    LinuxFiles real(dir.path());
    FailingFiles files(real);
    files.fail({FailingFiles::Operation::WriteAll, "\\a.ini", 0, ENOSPC, 3});
    files.fail(FailingFiles::Operation::Rename, "\\b.ini", EIO);

    EXPECT_FALSE(files.writeAll("\\a.ini", "new contents", true));
    EXPECT_EQ(dir.readFile("a.ini"), "new");  // what a disk that fills up mid-write leaves

    EXPECT_FALSE(files.rename("\\a.ini", "\\B.INI"));
    EXPECT_FALSE(files.rename("\\b.ini", "\\a.ini"));
    EXPECT_TRUE(dir.exists("a.ini"));
    files.clear();
    EXPECT_TRUE(files.rename("\\a.ini", "\\b.ini"));
    EXPECT_TRUE(dir.exists("b.ini"));
}

}  // namespace
}  // namespace hg::fake
