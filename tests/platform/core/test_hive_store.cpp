// HiveStore: the REGEDIT4 hive files byte for byte, damaged hives, failed writes and two writers at
// once.
#include "platform/core/HiveStore.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "accountstore/Text.h"
#include "platform/core/LinuxFiles.h"
#include "platform/fake/core/FailingFiles.h"
#include "platform/fake/core/TempDirectory.h"

namespace hg {
namespace {

using fake::FailingFiles;
using fake::TempDirectory;

constexpr auto HKLM = RegistryRoot::LocalMachine;
constexpr auto HKCU = RegistryRoot::CurrentUser;
constexpr const char* kHklmFile = "registry/HKEY_LOCAL_MACHINE.reg";

// An application directory with a registry directory, a store on it, and what the store reported.
struct App {
    TempDirectory dir;
    LinuxFiles files{dir.path(), LinuxFiles::NewNames::AsGiven};
    FailingFiles failing{files};
    std::vector<std::string> reports;
    HiveStore store{failing, text::upperCase,
                    [this](std::string_view message) { reports.emplace_back(message); }};

    App() { dir.makeDirectory("registry"); }
};

TEST(HiveStore, WritesTheRegedit4FormatByteForByte) {
    App app;
    ASSERT_TRUE(app.store.createKey(HKLM, "Software\\Hallgard Pro"));
    ASSERT_TRUE(app.store.setValue(HKLM, "Software\\Hallgard Pro", "useServer",
                                   RegistryValue::string("1")));
    ASSERT_TRUE(app.store.setValue(HKLM, "Software\\Hallgard Pro", "NoDrives",
                                   RegistryValue::number(0x03FFFFFF)));
    ASSERT_TRUE(app.store.setValue(HKLM, "Software\\Hallgard Pro", "", RegistryValue::string("d")));
    // Quotes, backslashes, "=", "]" and bytes 0x80-0xFF in key names, value names and data.
    const std::string key = "Software\\Odd \"Key\" = [x]\x80\xB5\xC6\xFF";
    const std::string name = "a\\b\"c=d\x9F\xE9";
    const std::string data = "C:\\Program Files\\\"q\"=\x81\x8D\xFF";
    ASSERT_TRUE(app.store.createKey(HKLM, key));
    ASSERT_TRUE(app.store.setValue(HKLM, key, name, RegistryValue::string(data)));
    ASSERT_TRUE(app.store.setValue(HKLM, key, "zero", RegistryValue::number(0)));
    ASSERT_TRUE(app.store.setValue(HKLM, key, "empty", RegistryValue::string("")));

    const std::string expected =
        "REGEDIT4\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\Software]\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Hallgard Pro]\r\n"
        "\"useServer\"=\"1\"\r\n"
        "\"NoDrives\"=dword:03ffffff\r\n"
        "@=\"d\"\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Odd \"Key\" = [x]\x80\xB5\xC6\xFF]\r\n"
        "\"a\\\\b\\\"c=d\x9F\xE9\"=\"C:\\\\Program Files\\\\\\\"q\\\"=\x81\x8D\xFF\"\r\n"
        "\"zero\"=dword:00000000\r\n"
        "\"empty\"=\"\"\r\n"
        "\r\n";
    EXPECT_EQ(app.dir.readFile(kHklmFile), expected);
    EXPECT_FALSE(app.dir.exists("registry/HKEY_CURRENT_USER.reg"));
    EXPECT_FALSE(app.dir.exists("registry/HKEY_LOCAL_MACHINE.reg.tmp"));

    EXPECT_EQ(app.store.value(HKLM, key, name), RegistryValue::string(data));
    EXPECT_EQ(app.store.value(HKLM, "software\\hallgard pro", "NODRIVES"),
              RegistryValue::number(0x03FFFFFF));
    EXPECT_EQ(app.store.value(HKLM, "Software\\Hallgard Pro", ""), RegistryValue::string("d"));
    EXPECT_TRUE(app.reports.empty());

    // The file read back and written again is the same file.
    const auto parsed = hive::parse(expected, "HKEY_LOCAL_MACHINE", text::upperCase);
    EXPECT_EQ(parsed.unreadableLines, 0u);
    EXPECT_EQ(hive::serialize(parsed, "HKEY_LOCAL_MACHINE"), expected);
}

TEST(HiveStore, KeepsValuesOfOtherTypesAndCommentsAsRead) {
    App app;
    const std::string hive =
        "REGEDIT4\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\Software]\r\n"
        "; written by hand\r\n"
        "\"Bin\"=hex:01,02,ff,\\\r\n"
        "  03,04\r\n"
        "\"Expand\"=hex(2):25,00\r\n"
        "\"Multi\"=hex(7):61,00,\\\r\n"
        "  00,00\r\n"
        "\r\n";
    app.dir.writeFile(kHklmFile, hive);

    EXPECT_EQ(app.store.value(HKLM, "Software", "Bin"),
              (RegistryValue{RegistryValue::Type::Other, "hex:01,02,ff,\\\r\n  03,04", 0}));
    EXPECT_EQ(app.store.value(HKLM, "Software", "Expand"),
              (RegistryValue{RegistryValue::Type::Other, "hex(2):25,00", 0}));
    ASSERT_TRUE(app.store.setValue(HKLM, "Software", "New", RegistryValue::string("n")));
    EXPECT_EQ(app.dir.readFile(kHklmFile),
              "REGEDIT4\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\Software]\r\n"
              "; written by hand\r\n"
              "\"Bin\"=hex:01,02,ff,\\\r\n"
              "  03,04\r\n"
              "\"Expand\"=hex(2):25,00\r\n"
              "\"Multi\"=hex(7):61,00,\\\r\n"
              "  00,00\r\n"
              "\"New\"=\"n\"\r\n"
              "\r\n");
    EXPECT_TRUE(app.reports.empty());

    // Only strings and DWORDs are written.
    EXPECT_FALSE(app.store.setValue(HKLM, "Software", "Bin",
                                    RegistryValue{RegistryValue::Type::Other, "hex:00", 0}));
}

TEST(HiveStore, KeyNamesIgnoreCaseKeepTheFirstSpellingAndTakeATrailingBackslash) {
    App app;
    ASSERT_TRUE(app.store.createKey(HKCU, "Software\\Microsoft\\Windows\\"));
    ASSERT_TRUE(
        app.store.createKey(HKCU, "SOFTWARE\\MICROSOFT\\windows\\CurrentVersion\\Policies"));
    ASSERT_TRUE(app.store.setValue(HKCU, "software\\microsoft\\WINDOWS\\currentversion\\policies\\",
                                   "NoRun", RegistryValue::number(1)));
    ASSERT_TRUE(app.store.setValue(HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies",
                                   "NORUN", RegistryValue::number(2)));
    // A key below the other branch sits with its siblings, not at the end.
    ASSERT_TRUE(app.store.createKey(HKCU, "Software\\Apps"));
    ASSERT_TRUE(app.store.createKey(HKCU, "software\\microsoft\\Office"));

    EXPECT_EQ(app.dir.readFile("registry/HKEY_CURRENT_USER.reg"),
              "REGEDIT4\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software]\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Microsoft]\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows]\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion]\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies]\r\n"
              "\"NoRun\"=dword:00000002\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Microsoft\\Office]\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Apps]\r\n"
              "\r\n");
    EXPECT_EQ(app.store.subKeys(HKCU, "SOFTWARE\\"),
              (std::vector<std::string>{"Microsoft", "Apps"}));
    EXPECT_EQ(app.store.subKeys(HKCU, ""), (std::vector<std::string>{"Software"}));
    EXPECT_FALSE(app.store.subKeys(HKCU, "Software\\Missing"));
    EXPECT_TRUE(app.store.keyExists(HKCU, "software\\MICROSOFT\\"));
    EXPECT_FALSE(app.store.keyExists(HKLM, "Software"));  // the other hive
}

TEST(HiveStore, DeleteKeyTakesSubKeysButNotKeysThatOnlyShareAPrefix) {
    App app;
    for (const char* key : {"A\\Key\\Sub\\Deeper", "A\\Key2", "A\\KeyX\\Sub", "A\\Other"}) {
        ASSERT_TRUE(app.store.createKey(HKLM, key));
    }
    ASSERT_TRUE(app.store.setValue(HKLM, "A\\Key\\Sub", "v", RegistryValue::string("x")));
    ASSERT_TRUE(app.store.deleteKey(HKLM, "a\\key\\"));
    EXPECT_FALSE(app.store.keyExists(HKLM, "A\\Key"));
    EXPECT_FALSE(app.store.keyExists(HKLM, "A\\Key\\Sub\\Deeper"));
    EXPECT_FALSE(app.store.value(HKLM, "A\\Key\\Sub", "v"));
    EXPECT_EQ(app.store.subKeys(HKLM, "A"), (std::vector<std::string>{"Key2", "KeyX", "Other"}));

    const std::string before = app.dir.readFile(kHklmFile);
    EXPECT_TRUE(app.store.deleteKey(HKLM, "A\\Key"));  // missing: no error, nothing written
    EXPECT_EQ(app.dir.readFile(kHklmFile), before);
    EXPECT_FALSE(app.store.deleteKey(HKLM, ""));  // a root stays
}

TEST(HiveStore, ValueAndKeyErrors) {
    App app;
    const Status missing = app.store.setValue(HKLM, "Nowhere", "v", RegistryValue::string("x"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().kind, IoError::Kind::NotFound);
    EXPECT_EQ(missing.error().message, "open key HKEY_LOCAL_MACHINE\\Nowhere: no such key");
    EXPECT_FALSE(app.dir.exists(kHklmFile));  // nothing created

    ASSERT_TRUE(app.store.createKey(HKLM, "K"));
    struct Case {
        const char* what;
        Status status;
    } cases[] = {
        {"line break in data", app.store.setValue(HKLM, "K", "v", RegistryValue::string("a\r\nb"))},
        {"line break in name", app.store.setValue(HKLM, "K", "v\n", RegistryValue::string("a"))},
        {"empty component", app.store.createKey(HKLM, "K\\\\L")},
        {"leading backslash", app.store.createKey(HKLM, "\\K")},
        {"two trailing backslashes",
         app.store.setValue(HKLM, "K\\\\", "v", RegistryValue::number(1))},
        {"missing value", app.store.deleteValue(HKLM, "K", "v")},
        {"value of a missing key", app.store.deleteValue(HKLM, "L", "v")},
    };
    for (const Case& c : cases) EXPECT_FALSE(c.status) << c.what;
    EXPECT_EQ(app.dir.readFile(kHklmFile), "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\r\n");

    ASSERT_TRUE(app.store.setValue(HKLM, "K", "v", RegistryValue::string("x")));
    ASSERT_TRUE(app.store.deleteValue(HKLM, "k\\", "V"));
    EXPECT_FALSE(app.store.value(HKLM, "K", "v"));
    EXPECT_EQ(app.store.values(HKLM, "K")->size(), 0u);
    EXPECT_FALSE(app.store.values(HKLM, "L"));
}

TEST(HiveStore, TheRootKeyHoldsValuesWithoutASectionUntilItHasOne) {
    App app;
    EXPECT_TRUE(app.store.keyExists(HKLM, ""));
    EXPECT_TRUE(app.store.createKey(HKLM, ""));
    EXPECT_FALSE(app.dir.exists(kHklmFile));
    ASSERT_TRUE(app.store.createKey(HKLM, "Software"));
    ASSERT_TRUE(app.store.setValue(HKLM, "\\", "top", RegistryValue::string("t")));
    EXPECT_EQ(app.dir.readFile(kHklmFile),
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE]\r\n\"top\"=\"t\"\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software]\r\n\r\n");
    EXPECT_EQ(app.store.value(HKLM, "", "top"), RegistryValue::string("t"));
}

TEST(HiveStore, MissingHiveIsEmptyAndAMissingRegistryDirectoryIsCreatedByTheFirstWrite) {
    TempDirectory dir;
    HiveStore store(dir.path(), text::upperCase);
    EXPECT_FALSE(store.keyExists(HKLM, "Software"));
    EXPECT_FALSE(store.value(HKLM, "Software", "v"));
    EXPECT_FALSE(dir.exists("registry"));  // reading creates nothing

    ASSERT_TRUE(store.createKey(HKCU, "Software"));
    EXPECT_EQ(dir.readFile("registry/HKEY_CURRENT_USER.reg"),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n\r\n");

    TempDirectory gone;
    HiveStore nowhere(gone / "no/such/app", text::upperCase);
    EXPECT_FALSE(nowhere.createKey(HKLM, "Software"));
}

TEST(HiveStore, FindsAHiveSpelledInAnotherCaseAndReadsLineFeedOnlyFiles) {
    TempDirectory dir;
    dir.makeDirectory("Registry");
    dir.writeFile(
        "Registry/hkey_local_machine.REG",
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n\"a\"=\"1\"\n\"b\"=dword:0000000A\n");
    HiveStore store(dir.path(), text::upperCase);
    EXPECT_EQ(store.value(HKLM, "Software", "a"), RegistryValue::string("1"));
    EXPECT_EQ(store.value(HKLM, "Software", "b"), RegistryValue::number(10));
    ASSERT_TRUE(store.setValue(HKLM, "Software", "a", RegistryValue::string("2")));
    EXPECT_EQ(dir.readFile("Registry/hkey_local_machine.REG"),
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n\"a\"=\"2\"\r\n"
              "\"b\"=dword:0000000a\r\n\r\n");
}

// Every kind of damage: the readable part still reads, a write keeps every damaged line where it
// stood.
TEST(HiveStore, DamagedHiveNeverCrashesAndKeepsWhatItCannotRead) {
    App app;
    // Built with explicit lengths because of the NUL bytes.
    const std::string hive = std::string(
                                 "REGEDIT4\r\n"
                                 "garbage before any section\r\n"
                                 "\"early\"=\"value outside a section\"\r\n"
                                 "\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Software]\r\n"
                                 "\"good\"=\"yes\"\r\n") +
                             std::string("\"nul\0inside\"=\"a\0b\"\r\n", 20) +
                             std::string("\0\1\2\xFF\r\n", 6) +
                             "\"open\"=\"unterminated\r\n"
                             "\"name only\r\n"
                             "\"badescape\"=\"C:\\temp\"\r\n"
                             "\"trailing\"=\"x\" junk\r\n"
                             "\"word\"=dword:123456789\r\n"
                             "\"hexword\"=dword:zz\r\n"
                             "\"deleted\"=-\r\n"
                             "=\"no name\"\r\n"
                             "\"num\"=dword:0000002a\r\n"
                             "\r\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\Truncated\r\n"
                             "\"lost\"=\"belongs to the truncated section\"\r\n"
                             "\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                             "\"other\"=\"root\"\r\n"
                             "\r\n"
                             "[HKEY_LOCAL_MACHINE\\Bad\\\\Path]\r\n"
                             "\r\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\Fine]\r\n"
                             "\"hex\"=hex:00,\\\r\n";  // the file ends inside a continuation
    app.dir.writeFile(kHklmFile, hive);

    EXPECT_EQ(app.store.value(HKLM, "Software", "good"), RegistryValue::string("yes"));
    EXPECT_EQ(app.store.value(HKLM, "Software", std::string("nul\0inside", 10)),
              RegistryValue::string(std::string("a\0b", 3)));
    EXPECT_EQ(app.store.value(HKLM, "Software", "num"), RegistryValue::number(42));
    EXPECT_EQ(app.store.value(HKLM, "Software\\Fine", "hex")->type, RegistryValue::Type::Other);
    for (const char* name :
         {"open", "badescape", "trailing", "word", "hexword", "deleted", "early"}) {
        EXPECT_FALSE(app.store.value(HKLM, "Software", name)) << name;
    }
    EXPECT_FALSE(app.store.keyExists(HKLM, "Software\\Truncated"));
    EXPECT_FALSE(app.store.value(HKLM, "Software\\Truncated", "lost"));
    EXPECT_FALSE(app.store.keyExists(HKLM, "Bad"));
    ASSERT_EQ(app.reports.size(), 14u);  // one per read
    EXPECT_EQ(app.reports[0],
              app.dir.path() +
                  "/registry/HKEY_LOCAL_MACHINE.reg: 14 lines cannot be read and are "
                  "kept as they are (the first is line 2)");

    ASSERT_TRUE(app.store.setValue(HKLM, "Software", "good", RegistryValue::string("still")));
    ASSERT_TRUE(app.store.createKey(HKLM, "Software\\Truncated"));  // now a real key of its own
    const std::string expected = std::string(
                                     "REGEDIT4\r\n"
                                     "garbage before any section\r\n"
                                     "\"early\"=\"value outside a section\"\r\n"
                                     "\r\n"
                                     "[HKEY_LOCAL_MACHINE\\Software]\r\n"
                                     "\"good\"=\"still\"\r\n") +
                                 std::string("\"nul\0inside\"=\"a\0b\"\r\n", 20) +
                                 std::string("\0\1\2\xFF\r\n", 6) +
                                 "\"open\"=\"unterminated\r\n"
                                 "\"name only\r\n"
                                 "\"badescape\"=\"C:\\temp\"\r\n"
                                 "\"trailing\"=\"x\" junk\r\n"
                                 "\"word\"=dword:123456789\r\n"
                                 "\"hexword\"=dword:zz\r\n"
                                 "\"deleted\"=-\r\n"
                                 "=\"no name\"\r\n"
                                 "\"num\"=dword:0000002a\r\n"
                                 "\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Software\\Truncated\r\n"
                                 "\"lost\"=\"belongs to the truncated section\"\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                                 "\"other\"=\"root\"\r\n"
                                 "\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Bad\\\\Path]\r\n"
                                 "\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Software\\Fine]\r\n"
                                 "\"hex\"=hex:00,\\\r\n"
                                 "\r\n"  // a blank line keeps the unfinished continuation ended
                                 "\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Software\\Truncated]\r\n"
                                 "\r\n";
    EXPECT_EQ(app.dir.readFile(kHklmFile), expected);
}

TEST(HiveStore, AFailedWriteLeavesTheOldHiveIntact) {
    const std::string old =
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n\"v\"=\"old\"\r\n\r\n";
    struct Case {
        const char* what;
        FailingFiles::Failure failure;
    } cases[] = {
        {"disk full while writing the temporary file",
         {FailingFiles::Operation::WriteAll, "\\registry\\HKEY_LOCAL_MACHINE.reg.tmp", 0, ENOSPC,
          20}},
        {"I/O error on the rename", {FailingFiles::Operation::Rename, "", 0, EIO, std::nullopt}},
        {"hive cannot be read", {FailingFiles::Operation::ReadAll, "", 0, EIO, std::nullopt}},
    };
    for (const Case& c : cases) {
        App app;
        app.dir.writeFile(kHklmFile, old);
        app.failing.fail(c.failure);
        EXPECT_FALSE(app.store.setValue(HKLM, "Software", "v", RegistryValue::string("new")))
            << c.what;
        EXPECT_FALSE(app.store.createKey(HKLM, "Software\\New")) << c.what;
        EXPECT_EQ(app.dir.readFile(kHklmFile), old) << c.what;
        EXPECT_FALSE(app.dir.exists("registry/HKEY_LOCAL_MACHINE.reg.tmp")) << c.what;
        app.failing.clear();
        EXPECT_EQ(app.store.value(HKLM, "Software", "v"), RegistryValue::string("old")) << c.what;
    }
}

TEST(HiveStore, AFailedDirectorySyncIsReportedAfterTheSwap) {
    App app;
    app.failing.fail(FailingFiles::Operation::SyncDirectory, "\\registry", EIO);
    const Status status = app.store.createKey(HKLM, "Software");
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().message, "fsync " + app.dir.path() + "/registry: Input/output error");
    EXPECT_TRUE(app.store.keyExists(HKLM, "Software"));  // in place, but not known to be durable
}

// Two processes writing at once, many times: the lock and the fresh read lose no write.
TEST(HiveStore, TwoProcessesWritingAtOnceLoseNothing) {
    TempDirectory dir;
    constexpr int kWrites = 40;
    {
        HiveStore store(dir.path(), text::upperCase);
        ASSERT_TRUE(store.createKey(HKLM, "Software\\Shared"));
    }
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            HiveStore store(dir.path(), text::upperCase);
            bool ok = true;
            for (int i = 0; i < kWrites; ++i) {
                const std::string name = "p" + std::to_string(c) + "_" + std::to_string(i);
                ok = store.setValue(HKLM, "Software\\Shared", name,
                                    RegistryValue::number(static_cast<std::uint32_t>(i))) &&
                     ok;
                ok = store.createKey(HKLM, "Software\\Own" + std::to_string(c) + "\\" + name) && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    HiveStore store(dir.path(), text::upperCase);
    const auto values = store.values(HKLM, "Software\\Shared");
    ASSERT_TRUE(values);
    EXPECT_EQ(values->size(), 2u * kWrites);
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < kWrites; ++i) {
            const std::string name = "p" + std::to_string(c) + "_" + std::to_string(i);
            EXPECT_EQ(store.value(HKLM, "Software\\Shared", name),
                      RegistryValue::number(static_cast<std::uint32_t>(i)));
        }
        EXPECT_EQ(store.subKeys(HKLM, "Software\\Own" + std::to_string(c))->size(),
                  static_cast<std::size_t>(kWrites));
    }
}

// Any bytes at all: parsing never fails, and a hive written once reads back to the same hive (what
// a rewrite keeps is stable, damaged lines included).
TEST(HiveFile, AnyInputParsesAndItsRewriteIsStable) {
    const std::vector<std::string> pieces = {
        "REGEDIT4",
        "",
        "   ",
        "; comment",
        "[HKEY_LOCAL_MACHINE\\Software]",
        "[hkey_local_machine\\SOFTWARE\\Sub\\]",
        "[HKEY_LOCAL_MACHINE\\A\\B\\C]",
        "[HKEY_LOCAL_MACHINE]",
        "[HKEY_CURRENT_USER\\X]",
        "[HKEY_LOCAL_MACHINE\\Trunc",
        "[HKEY_LOCAL_MACHINE\\\\]",
        "[]",
        "[",
        "\"v\"=\"x\"",
        "\"V\"=\"y\\\"z\"",
        "@=\"d\"",
        "\"n\"=dword:0000ffff",
        "\"n\"=dword:1",
        "\"h\"=hex:00,01,\\",
        "  02,03,\\",
        "  04",
        "\"e\"=hex(2):41,00",
        "\"bad\"=\"open",
        "\"q\"=x",
        "=\"\"",
        "\"\"=\"empty name\"",
        std::string("\"z\"=\"\0\"", 6),
        std::string("\0\xFF\x80", 3),
        "\xC6\xB5=\"\"",
        "\\",
    };
    const std::vector<std::string> ends = {"\r\n", "\n", "\r"};
    std::mt19937 random(20240601);
    for (int round = 0; round < 3000; ++round) {
        std::string input;
        const int lines = static_cast<int>(random() % 16);
        for (int i = 0; i < lines; ++i) {
            if (random() % 8 == 0) {
                for (int b = static_cast<int>(random() % 6); b > 0; --b) {
                    input += static_cast<char>(random() % 256);
                }
            } else {
                input += pieces[random() % pieces.size()];
            }
            input += ends[random() % ends.size()];
        }
        if (random() % 4 == 0 && !input.empty())
            input.resize(random() % input.size());

        const auto first = hive::parse(input, "HKEY_LOCAL_MACHINE", text::upperCase);
        const std::string written = hive::serialize(first, "HKEY_LOCAL_MACHINE");
        const auto second = hive::parse(written, "HKEY_LOCAL_MACHINE", text::upperCase);
        ASSERT_EQ(hive::serialize(second, "HKEY_LOCAL_MACHINE"), written) << "input: " << input;
        ASSERT_EQ(second.unreadableLines, first.unreadableLines) << "input: " << input;
    }
}

}  // namespace
}  // namespace hg
