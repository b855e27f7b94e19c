// LinuxProcesses: the command line in code page 1252, the single-copy lock, starting programs and
// logging off through the configured command.
#include "platform/qt/LinuxProcesses.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "platform/core/HiveStore.h"
#include "platform/core/LinuxFiles.h"
#include "platform/fake/core/TempDirectory.h"

namespace {

std::string asciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    return out;
}

struct Installation {
    hg::fake::TempDirectory temp;
    hg::LinuxFiles files{temp.path()};
    hg::HiveStore registry{temp.path(), asciiUpper};
    hg::LinuxProcesses processes{files, registry};

    Installation() {
        temp.makeDirectory("registry");
        // A program of the application directory: writes its arguments into the file named first.
        temp.writeFile(
            "Mark",
            "#!/bin/sh\nout=\"$1\"; shift; echo \"$*\" > \"$out.tmp\"; mv \"$out.tmp\" \"$out\"\n");
        EXPECT_EQ(::chmod((temp / "Mark").c_str(), 0755), 0);
    }
    bool waitFor(const std::string& name) {
        return QTest::qWaitFor([&] { return temp.exists(name); }, 5000);
    }
};

TEST(LinuxProcesses, CommandLineIsTheArgumentsJoinedInCodePage1252) {
    struct Case {
        QStringList arguments;
        std::string line;
    };
    const Case cases[] = {
        {{"hgsentry"}, ""},
        {{"hgsentry", "/Q2"}, "/Q2"},
        {{"hgsentry", "/q", "two words", ""}, "/q two words "},
        {{"hgsentry", QString::fromUtf8("caf\xC3\xA9\xE2\x82\xAC")}, "caf\xE9\x80"},
        {{"hgsentry", QString::fromUtf8("\xD0\x96")}, "\xD0\x96"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_EQ(hg::LinuxProcesses::joinArguments(c.arguments), c.line);
    }
    Installation app;
    EXPECT_EQ(app.processes.applicationDirectory(),
              QCoreApplication::applicationDirPath().toStdString());
    EXPECT_EQ(app.processes.commandLine(), "");
}

TEST(LinuxProcesses, OneCopyPerProgramUntilItEndsOrDies) {
    hg::fake::TempDirectory runtime;
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.path()));
    const QString lock = hg::LinuxProcesses::lockFilePath();
    EXPECT_TRUE(lock.startsWith(QString::fromStdString(runtime.path()) + "/test_linux_processes-"));
    {
        Installation first;
        Installation second;
        EXPECT_FALSE(first.processes.anotherCopyRunning());
        EXPECT_TRUE(second.processes.anotherCopyRunning());
        EXPECT_FALSE(first.processes.anotherCopyRunning()) << "the first answer stays";
    }
    // A copy that dies holding the lock leaves the file behind, and no stuck lock.
    Installation next;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        hg::LinuxProcesses crashing(next.files, next.registry);
        ::_exit(crashing.anotherCopyRunning() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFileInfo::exists(lock));
    EXPECT_FALSE(next.processes.anotherCopyRunning());
    qunsetenv("XDG_RUNTIME_DIR");
}

TEST(LinuxProcesses, StartsMappedCommandsAndReportsFailure) {
    Installation app;
    EXPECT_TRUE(app.processes.start("\\MARK.EXE " + (app.temp / "started") + " /Q2",
                                    hg::ShowState::Minimized));
    ASSERT_TRUE(app.waitFor("started"));
    EXPECT_EQ(app.temp.readFile("started"), "/Q2\n");

    EXPECT_FALSE(app.processes.start("", hg::ShowState::Normal));
    EXPECT_FALSE(app.processes.start("hg-no-such-program /x", hg::ShowState::Normal));
}

TEST(LinuxProcesses, LogOffRunsTheConfiguredCommand) {
    Installation app;
    const std::string key = "Software\\Hallgard Pro\\Platform";
    ASSERT_TRUE(app.registry.createKey(hg::RegistryRoot::LocalMachine, key).ok());
    ASSERT_TRUE(app.registry
                    .setValue(hg::RegistryRoot::LocalMachine, key, "LogOff",
                              hg::RegistryValue::string("\"" + (app.temp / "Mark") + "\" \"" +
                                                        (app.temp / "logged off") + "\" now"))
                    .ok());
    app.processes.logOff();
    ASSERT_TRUE(app.waitFor("logged off"));
    EXPECT_EQ(app.temp.readFile("logged off"), "now\n");
}

}  // namespace
