// hgreg run as a program on an application directory: output text, exit codes and the hive it
// leaves.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/fake/core/RunProgram.h"
#include "platform/fake/core/TempDirectory.h"

namespace {

using hg::fake::TempDirectory;

constexpr const char* kUsage =
    "usage: hgreg [--appdir DIR] query|add|delete KEY [/v NAME | /ve] [/t REG_SZ|REG_DWORD] "
    "[/d DATA] [/f]\n";
constexpr const char* kMissing =
    "ERROR: The system was unable to find the specified registry key or value.\n";
constexpr const char* kDone = "The operation completed successfully.\n";

using Outcome = hg::fake::ProgramOutcome;

// An application directory as `cmake --install` lays it out, with hgreg copied to its top.
struct App {
    TempDirectory dir;
    TempDirectory scratch;
    std::string hgreg = dir / "hgreg";

    App() {
        dir.makeDirectory("registry");
        std::filesystem::copy_file(HGREG_PATH, hgreg);
    }
    // hgreg of this directory, finding its store beside itself.
    Outcome operator()(std::vector<std::string> args) const {
        return hg::fake::runProgram(scratch, hgreg, args);
    }
    std::string hklm() const { return dir.readFile("registry/HKEY_LOCAL_MACHINE.reg"); }
};

TEST(Hgreg, AddQueryDeleteOnTheStoreBesideIt) {
    App app;
    const std::string key = "HKLM\\Software\\Hallgard Pro";

    EXPECT_EQ(app({"add", key}).out, kDone);
    Outcome r = app({"add", key, "/v", "useServer", "/t", "REG_SZ", "/d", "1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kDone);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(app({"add", "hkey_local_machine\\software\\hallgard pro\\", "/v", "NoDrives", "/t",
                   "REG_DWORD", "/d", "67108863"})
                  .status,
              0);
    EXPECT_EQ(app({"add", key, "/ve", "/d", "Caf\xC3\xA9 \xE2\x82\xAC"}).status, 0);  // "Café €"
    EXPECT_EQ(
        app({"add", key + "\\Platform\\Programs", "/v", "Explorer.exe", "/d", "xmessage \"hi\""})
            .status,
        0);  // the key is created on the way
    EXPECT_EQ(app({"add", key, "/v", "Mask", "/t", "reg_dword", "/d", "0xFF", "/f"}).status, 0);

    EXPECT_EQ(app.hklm(),
              "REGEDIT4\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\Software]\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Hallgard Pro]\r\n"
              "\"useServer\"=\"1\"\r\n"
              "\"NoDrives\"=dword:03ffffff\r\n"
              "@=\"Caf\xE9 \x80\"\r\n"
              "\"Mask\"=dword:000000ff\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Hallgard Pro\\Platform]\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Hallgard Pro\\Platform\\Programs]\r\n"
              "\"Explorer.exe\"=\"xmessage \\\"hi\\\"\"\r\n"
              "\r\n");

    r = app({"query", key});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "\n"
              "HKEY_LOCAL_MACHINE\\Software\\Hallgard Pro\n"
              "    useServer    REG_SZ    1\n"
              "    NoDrives    REG_DWORD    0x3ffffff\n"
              "    (Default)    REG_SZ    Caf\xC3\xA9 \xE2\x82\xAC\n"
              "    Mask    REG_DWORD    0xff\n"
              "\n"
              "HKEY_LOCAL_MACHINE\\Software\\Hallgard Pro\\Platform\n");
    r = app({"query", "HKEY_LOCAL_MACHINE\\SOFTWARE\\HALLGARD PRO", "/V", "nodrives"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(
        r.out,
        "\nHKEY_LOCAL_MACHINE\\SOFTWARE\\HALLGARD PRO\n    NoDrives    REG_DWORD    0x3ffffff\n\n");

    EXPECT_EQ(app({"delete", key, "/v", "useServer"}).out, kDone);
    EXPECT_EQ(app({"query", key, "/v", "useServer"}).status, 1);
    EXPECT_EQ(app({"delete", key + "\\Platform", "/f"}).out, kDone);
    EXPECT_EQ(app({"query", key + "\\Platform\\Programs"}).status, 1);
    EXPECT_EQ(app({"query", key}).out,
              "\n"
              "HKEY_LOCAL_MACHINE\\Software\\Hallgard Pro\n"
              "    NoDrives    REG_DWORD    0x3ffffff\n"
              "    (Default)    REG_SZ    Caf\xC3\xA9 \xE2\x82\xAC\n"
              "    Mask    REG_DWORD    0xff\n"
              "\n");
}

TEST(Hgreg, AppdirNamesAnotherStoreAndHkcuIsItsOwnHive) {
    App app;
    TempDirectory other;
    Outcome r = app({"--appdir", other.path(), "add", "HKCU\\Software\\Policies", "/v", "NoRun",
                     "/t", "REG_DWORD", "/d", "1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(other.readFile("registry/HKEY_CURRENT_USER.reg"),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Policies]\r\n\"NoRun\"=dword:00000001\r\n\r\n");
    EXPECT_FALSE(app.dir.exists("registry/HKEY_CURRENT_USER.reg"));
    EXPECT_FALSE(other.exists("registry/HKEY_LOCAL_MACHINE.reg"));
    r = app({"query", "HKEY_CURRENT_USER\\Software", "--appdir=" + other.path()});
    EXPECT_EQ(r.out, "\nHKEY_CURRENT_USER\\Software\n\nHKEY_CURRENT_USER\\Software\\Policies\n");
}

TEST(Hgreg, MissingKeysAndValuesExitWithOne) {
    App app;
    ASSERT_EQ(app({"add", "HKLM\\Software", "/v", "v", "/d", "x"}).status, 0);
    const std::vector<std::vector<std::string>> cases = {
        {"query", "HKLM\\Software\\Nope"},
        {"query", "HKLM\\Software", "/v", "nope"},
        {"query", "HKLM\\Software", "/ve"},
        {"query", "HKCU\\Software"},
        {"delete", "HKLM\\Software\\Nope"},
        {"delete", "HKLM\\Software", "/v", "nope"},
        {"delete", "HKLM\\Software\\Nope", "/v", "v"},
    };
    const std::string before = app.hklm();
    for (const auto& args : cases) {
        const Outcome r = app(args);
        EXPECT_EQ(r.status, 1) << args[0] << " " << args[1];
        EXPECT_EQ(r.out, "") << args[0] << " " << args[1];
        EXPECT_EQ(r.err, kMissing) << args[0] << " " << args[1];
    }
    EXPECT_EQ(app.hklm(), before);
}

TEST(Hgreg, UsageErrorsExitWithTwoAndWriteNothing) {
    App app;
    struct Case {
        std::vector<std::string> args;
        std::string reason;
    } cases[] = {
        {{}, "no action given"},
        {{"list", "HKLM\\Software"}, "unknown action list"},
        {{"add"}, "no key given"},
        {{"add", "HKXX\\Software"}, "invalid key name HKXX\\Software"},
        {{"add", "Software"}, "invalid key name Software"},
        {{"add", "HKLM\\a\\\\b"}, "invalid key name HKLM\\a\\\\b"},
        {{"add", "HKLM\\a", "extra"}, "unexpected argument extra"},
        {{"add", "HKLM\\a", "/v"}, "/v needs a value name"},
        {{"add", "HKLM\\a", "/v", "x", "/ve"}, "only one of /v and /ve may be given, once"},
        {{"add", "HKLM\\a", "/v", "x", "/t", "REG_BINARY"},
         "the type REG_BINARY is not written; use REG_SZ or REG_DWORD"},
        {{"add", "HKLM\\a", "/d", "x"}, "/t and /d need /v or /ve"},
        {{"add", "HKLM\\a", "/v", "x", "/t", "REG_DWORD", "/d", "ten"},
         "REG_DWORD data must be a 32-bit number: \"ten\""},
        {{"add", "HKLM\\a", "/v", "x", "/t", "REG_DWORD", "/d", "4294967296"},
         "REG_DWORD data must be a 32-bit number: \"4294967296\""},
        {{"query", "HKLM\\a", "/d", "x"}, "/t and /d belong to add"},
        {{"delete", "HKLM\\a", "/x"}, "unknown option /x"},
        {{"add", "HKLM\\a", "/v", "\xCE\xA9"},  // "Ω"
         "the argument \"\xCE\xA9\" holds U+03A9, which code page 1252 cannot hold"},
        {{"add", "HKLM\\\xF0\x9F\x98\x80"},
         "the argument \"HKLM\\\xF0\x9F\x98\x80\" holds U+1F600, which code page 1252 cannot hold"},
        {{"add", "HKLM\\a", "/v", "x", "/d", "\xFF\xFE"}, "an argument is not valid UTF-8"},
        {{"add", "HKLM\\a", "/v", "x", "/d", "two\nlines"},
         "a value name or data cannot hold a line break"},
        {{"--appdir"}, "--appdir needs a directory"},
    };
    for (const Case& c : cases) {
        const Outcome r = app(c.args);
        EXPECT_EQ(r.status, 2) << c.reason;
        EXPECT_EQ(r.out, "") << c.reason;
        EXPECT_EQ(r.err, "hgreg: " + c.reason + "\n" + kUsage);
    }
    EXPECT_FALSE(app.dir.exists("registry/HKEY_LOCAL_MACHINE.reg"));
}

TEST(Hgreg, ShowsValuesOfOtherTypesAndReportsADamagedHive) {
    App app;
    app.dir.writeFile(
        "registry/HKEY_LOCAL_MACHINE.reg",
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n"
        "\"Bin\"=hex:01,ab,\\\r\n  ff\r\n\"Multi\"=hex(7):61,00\r\nnot a line\r\n\r\n");
    const Outcome r = app({"query", "HKLM\\Software"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "\nHKEY_LOCAL_MACHINE\\Software\n"
              "    Bin    REG_BINARY    01ABFF\n"
              "    Multi    hex(7)    6100\n\n");
    EXPECT_EQ(r.err,
              app.dir.path() +
                  "/registry/HKEY_LOCAL_MACHINE.reg: 1 line cannot be read and is kept as it "
                  "is (the first is line 7)\n");
}

}  // namespace
