#include "accountstore/SafeRewrite.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

#include "platform/fake/core/FailingFiles.h"
#include "tests/accountstore/StoreFixture.h"

namespace hg {
namespace {

using fake::FailingFiles;
using testing::StoreTest;
using Op = FailingFiles::Operation;

class RewriteTest : public StoreTest {
protected:
    // Fresh files (a hard link left by the step before must not carry writes across).
    void startFrom(const std::string& ini, const std::string& old) {
        for (const char* name : {"pfile.ini", "pfile.old", "pfile.tmp"}) {
            std::remove((dir / "data/" + std::string(name)).c_str());
        }
        put("pfile.ini", ini);
        put("pfile.old", old);
    }
};

constexpr std::string_view kIni = "\\data\\pfile.ini";
const std::string kOld = "ann\r\nbob\r\n";
const std::string kNew = "ann\r\nbob\r\ncarl\r\n";

RewriteReport appendCarl(Files& files) {
    return rewriteEachLine(files, kIni, [](std::string_view line, NewCopy& out) { out.line(line); },
                           {"carl"});
}

std::vector<RewriteStep> stepsOf(const RewriteReport& r) {
    std::vector<RewriteStep> steps;
    for (const auto& s : r.steps) steps.push_back(s.step);
    return steps;
}

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_ino;
}

TEST(RewritePaths, TmpAndOldBesideTheFile) {
    EXPECT_EQ(temporaryPathOf("\\data\\pfile.ini"), "\\data\\pfile.tmp");
    EXPECT_EQ(previousPathOf("\\DATA\\USERNAMS.INI"), "\\DATA\\USERNAMS.old");
    EXPECT_EQ(previousPathOf("\\data.d\\noext"), "\\data.d\\noext.old");
    EXPECT_EQ(directoryOf("\\data\\pfile.ini"), "\\data");
}

TEST_F(StoreTest, FirstRewriteCreatesTheOldCopy) {
    put("pfile.ini", kOld);
    const RewriteReport r = appendCarl(files);
    ASSERT_TRUE(r.status().ok()) << r.status().error().message;
    EXPECT_TRUE(r.replaced);
    EXPECT_EQ(stepsOf(r),
              (std::vector{RewriteStep::ReadOld, RewriteStep::WriteTemp, RewriteStep::RemoveOld,
                           RewriteStep::KeepOld, RewriteStep::Swap, RewriteStep::SyncDirectory}));
    for (const auto& s : r.steps) EXPECT_TRUE(s.status.ok());
    EXPECT_EQ(get("pfile.ini"), kNew);
    EXPECT_EQ(get("pfile.old"), kOld);
    EXPECT_FALSE(has("pfile.tmp"));
    EXPECT_NE(inodeOf(dir / "data/pfile.ini"), inodeOf(dir / "data/pfile.old"));

    // The next rewrite keeps exactly one previous version.
    ASSERT_TRUE(appendCarl(files).status().ok());
    EXPECT_EQ(get("pfile.ini"), kNew + "carl\r\n");
    EXPECT_EQ(get("pfile.old"), kNew);
}

TEST_F(StoreTest, AMissingFileIsNotSwapped) {
    const RewriteReport r = appendCarl(files);
    ASSERT_FALSE(r.status().ok());
    EXPECT_EQ(r.status().error().kind, IoError::Kind::NotFound);
    EXPECT_FALSE(r.replaced);
    EXPECT_EQ(stepsOf(r), (std::vector{RewriteStep::ReadOld}));
    EXPECT_FALSE(has("pfile.ini"));
    EXPECT_FALSE(has("pfile.tmp"));
    EXPECT_FALSE(has("pfile.old"));
}

TEST_F(StoreTest, ADecliningTransformWritesNothing) {
    put("pfile.ini", kOld);
    const RewriteReport r = safeRewrite(
        files, kIni, [](const std::vector<std::string_view>&, NewCopy&) { return false; });
    EXPECT_TRUE(r.status().ok());
    EXPECT_TRUE(r.declined);
    EXPECT_FALSE(r.replaced);
    EXPECT_FALSE(has("pfile.old"));
    EXPECT_FALSE(has("pfile.tmp"));
}

TEST_F(StoreTest, AddedLinesHoldingALineBreakAreRefusedBeforeAnyRead) {
    put("pfile.ini", kOld);
    FailingFiles watched(files);
    const RewriteReport r =
        rewriteEachLine(watched, kIni, [](std::string_view line, NewCopy& out) { out.line(line); },
                        {"ok",
                         "EVE\xB5"
                         "0\r\nMALLORY\xB5"
                         "0"});
    ASSERT_FALSE(r.status().ok());
    EXPECT_EQ(stepsOf(r), (std::vector{RewriteStep::CheckInput}));
    EXPECT_EQ(watched.calls(Op::ReadAll), 0);
    EXPECT_EQ(get("pfile.ini"), kOld);
}

TEST_F(StoreTest, LineEndsAreWrittenAsCrLf) {
    // CR alone and a missing last end become CR LF; LF alone stays data inside its line.
    put("pfile.ini", std::string("a\rb\r\nc\nd\r\0\r\ne", 13));
    ASSERT_TRUE(
        rewriteEachLine(files, kIni, [](std::string_view line, NewCopy& out) { out.line(line); })
            .status()
            .ok());
    EXPECT_EQ(get("pfile.ini"), std::string("a\r\nb\r\nc\nd\r\n\0\r\ne\r\n", 17));
}

TEST_F(RewriteTest, AFailedStepIsReportedAndLeavesTheFileWhole) {
    struct Case {
        const char* what;
        std::vector<FailingFiles::Failure> failures;
        RewriteStep failedStep;
        bool replaced;
        std::string oldAfter;  // "" when there is no pfile.old afterwards
    };
    const std::string previous = "previous\r\n";
    const Case cases[] = {
        {"disk full while writing the copy",
         {{Op::WriteAll, "\\data\\pfile.tmp", 0, ENOSPC, 5}},
         RewriteStep::WriteTemp,
         false,
         previous},
        {"the previous copy cannot be removed",
         {{Op::Remove, "\\data\\pfile.old", 0, EACCES, {}}},
         RewriteStep::RemoveOld,
         false,
         previous},
        {"no hard links: the old copy is written instead",
         {{Op::Link, "\\data\\pfile.old", 0, EPERM, {}}},
         RewriteStep::SyncDirectory,
         true,
         kOld},
        {"neither link nor copy",
         {{Op::Link, "\\data\\pfile.old", 0, EPERM, {}},
          {Op::WriteAll, "\\data\\pfile.old", 0, ENOSPC, 2}},
         RewriteStep::CopyOld,
         false,
         ""},
        {"the swap fails: X.old does not stay a second name of X.ini",
         {{Op::Rename, "\\data\\pfile.tmp", 0, EIO, {}}},
         RewriteStep::Swap,
         false,
         ""},
        {"the directory cannot be synced",
         {{Op::SyncDirectory, "\\data", 0, EIO, {}}},
         RewriteStep::SyncDirectory,
         true,
         kOld},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startFrom(kOld, previous);
        FailingFiles failing(files);
        for (const auto& f : c.failures) failing.fail(f);
        const RewriteReport r = appendCarl(failing);

        EXPECT_EQ(r.replaced, c.replaced);
        EXPECT_EQ(get("pfile.ini"), c.replaced ? kNew : kOld);
        EXPECT_FALSE(has("pfile.tmp"));
        EXPECT_EQ(has("pfile.old") ? get("pfile.old") : "", c.oldAfter);

        const bool fullSuccess = c.failedStep == RewriteStep::SyncDirectory &&
                                 c.failures.front().operation != Op::SyncDirectory;
        if (fullSuccess) {
            EXPECT_TRUE(r.status().ok());
            EXPECT_EQ(r.steps[3].step, RewriteStep::KeepOld);
            EXPECT_FALSE(r.steps[3].status.ok());
            EXPECT_EQ(r.steps[4].step, RewriteStep::CopyOld);
        } else {
            ASSERT_FALSE(r.status().ok());
            bool reported = false;
            for (const auto& s : r.steps) {
                if (s.step == c.failedStep && !s.status.ok())
                    reported = true;
            }
            EXPECT_TRUE(reported);
            if (!c.replaced) {
                EXPECT_EQ(r.steps.back().step, RewriteStep::RemoveTemp);
            }
        }
    }
}

// Files that kill the process at the n-th changing call, before it runs; when asked, a write of the
// new copy first puts half its bytes on disk.
class KillingFiles : public Files {
public:
    KillingFiles(Files& real, int killAt, bool halfWrite)
        : real_(real), killAt_(killAt), halfWrite_(halfWrite) {}

    std::string resolve(std::string_view p) const override { return real_.resolve(p); }
    bool exists(std::string_view p) const override { return real_.exists(p); }
    Expected<std::string> readAll(std::string_view p) const override { return real_.readAll(p); }
    Status writeAll(std::string_view p, std::string_view bytes, bool sync) override {
        if (due() && halfWrite_) {
            (void)real_.writeAll(p, bytes.substr(0, bytes.size() / 2), false);
        }
        stopIfDue();
        return real_.writeAll(p, bytes, sync);
    }
    Status append(std::string_view p, std::string_view bytes) override {
        stopIfDue();
        return real_.append(p, bytes);
    }
    Status remove(std::string_view p) override {
        stopIfDue();
        return real_.remove(p);
    }
    Status rename(std::string_view a, std::string_view b) override {
        stopIfDue();
        return real_.rename(a, b);
    }
    Status link(std::string_view a, std::string_view b) override {
        stopIfDue();
        return real_.link(a, b);
    }
    Status syncDirectory(std::string_view d) override {
        stopIfDue();
        return real_.syncDirectory(d);
    }

private:
    bool due() const { return calls_ == killAt_; }
    void stopIfDue() {
        if (calls_++ == killAt_)
            ::raise(SIGKILL);
    }
    Files& real_;
    int killAt_;
    bool halfWrite_;
    int calls_ = 0;
};

TEST_F(RewriteTest, KilledAtAnyStepTheFileHoldsAWholeVersion) {
    // The changing calls of one rewrite: write X.tmp, remove X.old, link X.old, rename, sync.
    constexpr int kCalls = 5;
    for (int killAt = 0; killAt <= kCalls; ++killAt) {
        for (bool halfWrite : {false, true}) {
            if (halfWrite && killAt != 0)
                continue;
            SCOPED_TRACE("killed before call " + std::to_string(killAt) +
                         (halfWrite ? " with half the copy written" : ""));
            startFrom(kOld, "previous\r\n");

            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                KillingFiles killing(files, killAt, halfWrite);
                const bool ok = appendCarl(killing).status().ok();
                ::_exit(ok ? 0 : 1);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            if (killAt < kCalls) {
                ASSERT_TRUE(WIFSIGNALED(status));
                EXPECT_EQ(WTERMSIG(status), SIGKILL);
            } else {
                ASSERT_TRUE(WIFEXITED(status));
                EXPECT_EQ(WEXITSTATUS(status), 0);
            }

            ASSERT_TRUE(has("pfile.ini"));
            const std::string now = get("pfile.ini");
            EXPECT_TRUE(now == kOld || now == kNew) << now;
            EXPECT_EQ(now == kNew, killAt >= 4);  // the rename is the fourth call
            if (has("pfile.old")) {
                const std::string old = get("pfile.old");
                EXPECT_TRUE(old == kOld || old == "previous\r\n") << old;
            }

            // The next rewrite goes through whatever the crash left behind (a stale X.tmp, X.old
            // linked to X.ini) and leaves no debris.
            ASSERT_TRUE(appendCarl(files).status().ok());
            EXPECT_EQ(get("pfile.ini"), now + "carl\r\n");
            EXPECT_EQ(get("pfile.old"), now);
            EXPECT_FALSE(has("pfile.tmp"));
        }
    }
}

}  // namespace
}  // namespace hg
