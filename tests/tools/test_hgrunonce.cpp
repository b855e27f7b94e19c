// hgrunonce run as a program on an application directory: which commands run, what is left in the
// registry, what it says and its exit status.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "accountstore/mdlRegistry.h"
#include "platform/core/HiveStore.h"
#include "platform/fake/core/RunProgram.h"
#include "platform/fake/core/TempDirectory.h"

namespace {

using hg::RegistryRoot;
using hg::RegistryValue;

constexpr const char* kRunOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

using Outcome = hg::fake::ProgramOutcome;

// An application directory whose path holds a space; "Touchit" writes its arguments after the
// first into the file named first, "hgsentry" marks that it came back.
struct App {
    hg::fake::TempDirectory temp;
    std::string dir = temp / "Hallgard Pro";
    hg::HiveStore store = hg::mdlRegistry::openStore(dir);

    App() {
        temp.makeDirectory("Hallgard Pro/registry");
        script(
            "Touchit",
            "#!/bin/sh\nout=\"$1\"; shift; echo \"$*\" > \"$out.tmp\"; mv \"$out.tmp\" \"$out\"\n");
        script("hgsentry", "#!/bin/sh\ntouch \"$(dirname \"$0\")/came back\"\n");
        EXPECT_TRUE(store.createKey(RegistryRoot::LocalMachine, kRunOnce).ok());
    }
    void script(const std::string& name, const std::string& text) {
        temp.writeFile("Hallgard Pro/" + name, text);
        EXPECT_EQ(::chmod((dir + "/" + name).c_str(), 0755), 0);
    }
    void put(const std::string& name, const RegistryValue& value) {
        EXPECT_TRUE(store.setValue(RegistryRoot::LocalMachine, kRunOnce, name, value).ok());
    }
    bool waitFor(const std::string& name) const {
        for (int i = 0; i < 500; ++i) {
            if (temp.exists("Hallgard Pro/" + name))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    std::string read(const std::string& name) const {
        return temp.readFile("Hallgard Pro/" + name);
    }

    Outcome run(const std::string& program, const std::vector<std::string>& args) const {
        return hg::fake::runProgram(temp, program, args);
    }
};

TEST(hgrunonce, RunsEachValueOnceDeletingItAndReportsWhatFailed) {
    App app;
    const std::string d = app.dir;
    app.put("Hallgard Pro",
            RegistryValue::string("\"" + d + "\\touchit.exe\" \"" + d + "/first\" /Q2"));
    app.put("Second", RegistryValue::string(d + "\\TOUCHIT.EXE \"" + d + "/second\" a  b"));
    app.put("Broken", RegistryValue::string("hg-no-such-program --flag"));
    app.put("Number", RegistryValue::number(1));
    app.put("Quoted", RegistryValue::string("true \"; touch " + d + "/shell ran\""));

    const Outcome first = app.run(HGRUNONCE_PATH, {"--appdir", d});
    EXPECT_EQ(first.status, 1);
    EXPECT_NE(first.err.find("value \"Broken\": cannot start hg-no-such-program: not found"),
              std::string::npos)
        << first.err;
    EXPECT_NE(first.err.find("value \"Number\" holds no command line"), std::string::npos)
        << first.err;
    ASSERT_TRUE(app.waitFor("first"));
    ASSERT_TRUE(app.waitFor("second"));
    EXPECT_EQ(app.read("first"), "/Q2\n");
    EXPECT_EQ(app.read("second"), "a b\n");
    EXPECT_FALSE(app.temp.exists("Hallgard Pro/shell ran")) << "no shell reads the commands";
    const auto left = app.store.values(RegistryRoot::LocalMachine, kRunOnce);
    ASSERT_TRUE(left.has_value());
    EXPECT_TRUE(left->empty());

    std::filesystem::remove(d + "/first");
    const Outcome again = app.run(HGRUNONCE_PATH, {"--appdir", d + "/."});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.err, "");
}

TEST(hgrunonce, WithoutAppdirUsesItsOwnDirectoryAndBringsTheLockerBack) {
    App app;
    std::filesystem::copy_file(HGRUNONCE_PATH, app.dir + "/hgrunonce");
    // The start-up entry exactly as the locker writes it.
    app.put("Hallgard Pro", RegistryValue::string("\"" + app.dir + "\\hgsentry.exe\""));
    const Outcome outcome = app.run(app.dir + "/hgrunonce", {});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_TRUE(app.waitFor("came back"));
    EXPECT_EQ(app.store.value(RegistryRoot::LocalMachine, kRunOnce, "Hallgard Pro"), std::nullopt);
}

TEST(hgrunonce, NothingToRunUsageErrorsAndAMissingDirectory) {
    App app;
    ASSERT_TRUE(app.store.deleteKey(RegistryRoot::LocalMachine, kRunOnce).ok());
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {{"--appdir", app.dir}, 0, ""},
        {{"--appdir=" + app.dir}, 0, ""},
        {{"--bogus"}, 2, "usage: hgrunonce [--appdir DIR]"},
        {{"--appdir"}, 2, "usage: hgrunonce [--appdir DIR]"},
        {{"--appdir", app.dir, "--appdir", app.dir}, 2, "usage:"},
        {{"--appdir", app.dir + "/missing"}, 1, "no such directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        const Outcome outcome = app.run(HGRUNONCE_PATH, c.args);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
        if (c.status == 0) {
            EXPECT_EQ(outcome.err, "");
        }
    }
}

}  // namespace
