// CommandLine: the suite's command lines mapped to Linux programs, the code page of their text, and
// starting programs detached.
#include "platform/core/CommandLine.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/core/HiveStore.h"
#include "platform/core/LinuxFiles.h"
#include "platform/fake/core/TempDirectory.h"

namespace {

using Words = std::vector<std::string>;

std::string asciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    return out;
}

// An application directory whose name holds a space, with a few programs and a log in it.
struct AppDirectory {
    hg::fake::TempDirectory temp;
    std::string dir = temp / "Hallgard Pro";
    hg::LinuxFiles files{dir};
    hg::HiveStore registry{dir, asciiUpper};

    AppDirectory() {
        temp.makeDirectory("Hallgard Pro/logs");
        temp.makeDirectory("Hallgard Pro/registry");
        temp.writeFile("Hallgard Pro/hgsentry", "#!/bin/sh\n");
        temp.writeFile("Hallgard Pro/HGRelink", "#!/bin/sh\n");
        temp.writeFile("Hallgard Pro/logs/locker.txt", "");
    }
    hg::CommandContext context() const { return {dir, files, registry}; }
    void setProgram(const std::string& name, const std::string& command) {
        ASSERT_TRUE(registry.createKey(hg::RegistryRoot::LocalMachine, hg::kProgramsKey).ok());
        ASSERT_TRUE(registry
                        .setValue(hg::RegistryRoot::LocalMachine, hg::kProgramsKey, name,
                                  hg::RegistryValue::string(command))
                        .ok());
    }
};

TEST(CommandLine, MapsTheSuitesProgramNames) {
    AppDirectory app;
    const std::string d = app.dir;
    struct Case {
        std::string line;
        Words argv;
    };
    const Case cases[] = {
        {"\"" + d + "\\hgsentry.exe\"", {d + "/hgsentry"}},
        {d + "\\hgsentry.exe /Q2", {d + "/hgsentry", "/Q2"}},
        {"\"" + d + "\\HGSENTRY.EXE\"   /Q2", {d + "/hgsentry", "/Q2"}},
        {d + "\\hgrelink.exe", {d + "/HGRelink"}},
        {"\\hgsentry.exe /L", {d + "/hgsentry", "/L"}},
        {d + "\\hgwarden.exe /S", {d + "/hgwarden", "/S"}},
        {"Explorer.exe", {"x-session-manager"}},
        {"  explorer.EXE --x \"a b\"", {"x-session-manager", "--x", "a b"}},
        {"notepad " + d + "\\logs\\locker.txt", {"xdg-open", d + "/logs/locker.txt"}},
        {"NOTEPAD.EXE " + d + "\\LOGS\\Locker.TXT", {"xdg-open", d + "/logs/locker.txt"}},
        {"notepad \"" + d + "\\logs\\locker.txt\"", {"xdg-open", d + "/logs/locker.txt"}},
        {"notepad /tmp/some file.txt ", {"xdg-open", "/tmp/some file.txt"}},
        {"notepad", {"xdg-open"}},
        {"touch \"/tmp/a b\" c", {"touch", "/tmp/a b", "c"}},
        {"echo ; rm -rf / $(reboot) `x` > out",
         {"echo", ";", "rm", "-rf", "/", "$(reboot)", "`x`", ">", "out"}},
        {"touch /tmp/caf\xE9\x80", {"touch", "/tmp/caf\xC3\xA9\xE2\x82\xAC"}},
        {"/Hallgard Pro\\hgsentry.exe", {"/Hallgard", "Pro\\hgsentry.exe"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::optional<Words> argv = hg::programForCommand(c.line, app.context());
        ASSERT_TRUE(argv.has_value());
        EXPECT_EQ(*argv, c.argv);
    }
    for (const char* empty : {"", "   ", "\t", "\"\""}) {
        SCOPED_TRACE(empty);
        EXPECT_FALSE(hg::programForCommand(empty, app.context()).has_value());
    }
}

TEST(CommandLine, ConfiguredProgramsAreSplitIntoWordsAndGetTheRestAppended) {
    AppDirectory app;
    app.setProgram("Explorer.exe", "\"/usr/bin/my shell\" --session $HOME");
    app.setProgram("notepad", "mousepad --new-window");
    EXPECT_EQ(*hg::programForCommand("Explorer.exe a", app.context()),
              (Words{"/usr/bin/my shell", "--session", "$HOME", "a"}));
    EXPECT_EQ(*hg::programForCommand("notepad " + app.dir + "\\logs\\locker.txt", app.context()),
              (Words{"mousepad", "--new-window", app.dir + "/logs/locker.txt"}));

    app.setProgram("Explorer.exe", "   ");
    EXPECT_EQ(*hg::programForCommand("Explorer.exe", app.context()), (Words{"x-session-manager"}));
}

TEST(CommandLine, SplitsWordsWithDoubleQuotesGrouping) {
    struct Case {
        const char* command;
        Words words;
    };
    const Case cases[] = {
        {"a  b\tc", {"a", "b", "c"}},
        {"\"a b\"", {"a b"}},
        {"x \"\" y", {"x", "", "y"}},
        {"a\"b c\"d e", {"ab cd", "e"}},
        {"\"open to the end", {"open to the end"}},
        {"back\\slash \\\"", {"back\\slash", "\\"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(hg::splitCommandWords(c.command), c.words);
    }
}

// Polls for a file the started program writes; the program runs on its own, so this waits.
bool waitForFile(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        if (::access(path.c_str(), F_OK) == 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(SpawnDetached, RunsTheProgramInItsOwnSessionWithNothingInheritedAndNoZombie) {
    hg::fake::TempDirectory temp;
    const std::string script = temp / "report";
    // Writes its session, whether descriptor 50 reached it, and its blocked signals, then marks
    // done.
    temp.writeFile(
        "report",
        "#!/bin/sh\n"
        "{ ps -o sid= -p $$ | tr -d ' '; [ -e /proc/$$/fd/50 ] && echo fd50 || echo none;"
        " grep SigBlk /proc/$$/status; } > \"$1.tmp\"\n"
        "mv \"$1.tmp\" \"$1\"\n");
    ASSERT_EQ(::chmod(script.c_str(), 0755), 0);

    const int inherited = ::open("/dev/null", O_RDONLY);  // no O_CLOEXEC on purpose
    ASSERT_GE(inherited, 0);
    ASSERT_EQ(::dup2(inherited, 50), 50);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGHUP);
    sigset_t previous;
    ASSERT_EQ(::sigprocmask(SIG_BLOCK, &blocked, &previous), 0);

    const hg::Status started = hg::spawnDetached({script, temp / "out"});

    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    ::close(50);
    ::close(inherited);
    ASSERT_TRUE(started.ok()) << started.error().message;
    ASSERT_TRUE(waitForFile(temp / "out"));
    const std::string report = temp.readFile("out");
    EXPECT_NE(report.find("none\n"), std::string::npos) << report;
    EXPECT_NE(report.find("SigBlk:\t0000000000000000"), std::string::npos) << report;
    EXPECT_NE(report.substr(0, report.find('\n')), std::to_string(::getsid(0))) << report;

    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "a child was left to reap";
    EXPECT_EQ(errno, ECHILD);
}

TEST(SpawnDetached, FindsProgramsInPathAndReportsWhatCannotStart) {
    hg::fake::TempDirectory temp;
    temp.writeFile("plain", "not a program");
    ASSERT_TRUE(hg::spawnDetached({"true"}).ok());

    struct Case {
        Words argv;
        hg::IoError::Kind kind;
        const char* says;
    };
    const Case cases[] = {
        {{}, hg::IoError::Kind::Failed, "no program"},
        {{"hg-no-such-program"}, hg::IoError::Kind::NotFound, "hg-no-such-program: not found"},
        {{temp / "plain"}, hg::IoError::Kind::Failed, "Permission denied"},
        {{temp / "missing"}, hg::IoError::Kind::NotFound, "No such file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        const hg::Status status = hg::spawnDetached(c.argv);
        ASSERT_FALSE(status.ok());
        EXPECT_EQ(status.error().kind, c.kind);
        EXPECT_NE(status.error().message.find(c.says), std::string::npos) << status.error().message;
    }
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
}

}  // namespace
