// mdlRegistry: the four registry operations over a real hive store in a temporary directory.
#include "accountstore/mdlRegistry.h"

#include <gtest/gtest.h>

#include "accountstore/Text.h"
#include "platform/core/LinuxFiles.h"
#include "platform/fake/core/FailingFiles.h"
#include "platform/fake/core/TempDirectory.h"

namespace hg::mdlRegistry {
namespace {

using fake::TempDirectory;

constexpr const char* kPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

struct Registry {
    TempDirectory dir;
    HiveStore store = openStore(dir.path());
};

RegistryData sz(std::string text) {
    return {REG_SZ, std::move(text), 0};
}
RegistryData dword(std::uint32_t n) {
    return {REG_DWORD, {}, n};
}

TEST(MdlRegistry, SetKeyValueOnAMissingKeyWritesNothingAndCreatesNothing) {
    Registry r;
    setKeyValue(r.store, HKEY_CURRENT_USER, kPolicies, "NoDrives", "67108863", REG_DWORD);
    setKeyValue(r.store, HKEY_LOCAL_MACHINE, "Software\\Hallgard Pro\\", "useServer", "1", REG_SZ);
    EXPECT_FALSE(queryValue(r.store, HKEY_CURRENT_USER, kPolicies, "NoDrives"));
    EXPECT_FALSE(r.store.keyExists(HKEY_CURRENT_USER, kPolicies));
    EXPECT_FALSE(r.store.keyExists(HKEY_LOCAL_MACHINE, "Software"));
    EXPECT_FALSE(r.dir.exists("registry"));
}

TEST(MdlRegistry, WritesAndReadsBackEachType) {
    Registry r;
    createKey(r.store, HKEY_CURRENT_USER, kPolicies);
    createKey(r.store, HKEY_LOCAL_MACHINE, "Software\\Hallgard Pro\\");

    struct Case {
        RegistryRoot root;
        const char* key;
        const char* name;
        std::string data;
        int type;
        std::optional<RegistryData> readBack;
    } cases[] = {
        {HKEY_CURRENT_USER, kPolicies, "NoDrives", "67108863", REG_DWORD, dword(0x03FFFFFF)},
        {HKEY_CURRENT_USER, kPolicies, "NoRun", "0", REG_DWORD, dword(0)},
        {HKEY_CURRENT_USER, kPolicies, "Spaced", " 1 ", REG_DWORD, dword(1)},
        {HKEY_CURRENT_USER, kPolicies, "Minus", "-1", REG_DWORD, dword(0xFFFFFFFF)},
        {HKEY_LOCAL_MACHINE, "Software\\Hallgard Pro\\", "useServer", "1", REG_SZ, sz("1")},
        {HKEY_LOCAL_MACHINE, "Software\\Hallgard Pro", "serverIP", "192.0.2.10", REG_SZ,
         sz("192.0.2.10")},
        {HKEY_LOCAL_MACHINE, "Software\\Hallgard Pro", "empty", "", REG_SZ, sz("")},
        {HKEY_LOCAL_MACHINE, "Software\\Hallgard Pro", " 1", "C:\\APPS\\\"X\"\xC6\xB5", REG_SZ,
         sz("C:\\APPS\\\"X\"\xC6\xB5")},
        {HKEY_LOCAL_MACHINE, "Software\\Hallgard Pro", "text", "not a number", REG_DWORD,
         std::nullopt},
        {HKEY_LOCAL_MACHINE, "Software\\Hallgard Pro", "big", "4294967296", REG_DWORD,
         std::nullopt},
        {HKEY_LOCAL_MACHINE, "Software\\Hallgard Pro", "expand", "x", 2, std::nullopt},
        {HKEY_LOCAL_MACHINE, "Software\\Hallgard Pro", "binary", "x", 3, std::nullopt},
        {HKEY_LOCAL_MACHINE, "Software\\Hallgard Pro", "none", "x", 0, std::nullopt},
    };
    for (const Case& c : cases) {
        setKeyValue(r.store, c.root, c.key, c.name, c.data, c.type);
        EXPECT_EQ(queryValue(r.store, c.root, c.key, c.name), c.readBack) << c.name;
    }
    EXPECT_NE(
        r.dir.readFile("registry/HKEY_CURRENT_USER.reg").find("\"NoDrives\"=dword:03ffffff\r\n"),
        std::string::npos);

    // Data that is no number leaves the value that was there.
    setKeyValue(r.store, HKEY_CURRENT_USER, kPolicies, "NoDrives", "12abc", REG_DWORD);
    EXPECT_EQ(queryValue(r.store, HKEY_CURRENT_USER, kPolicies, "NoDrives"), dword(0x03FFFFFF));
}

TEST(MdlRegistry, KeysIgnoreCaseKeepTheFirstSpellingAndDeleteWithTheirSubKeys) {
    Registry r;
    createKey(r.store, HKEY_LOCAL_MACHINE,
              "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\RestrictRun");
    createKey(r.store, HKEY_LOCAL_MACHINE,
              "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\POLICIES\\EXPLORER\\RESTRICTRUN\\");
    setKeyValue(r.store, HKEY_LOCAL_MACHINE,
                "software\\microsoft\\windows\\currentversion\\policies\\explorer\\restrictrun",
                " 1", "NOTEPAD.EXE", REG_SZ);
    // Code-page-1252 letters fold too: \xE9 is the lower case of \xC9.
    createKey(r.store, HKEY_LOCAL_MACHINE, "Software\\Caf\xE9");
    setKeyValue(r.store, HKEY_LOCAL_MACHINE, "SOFTWARE\\CAF\xC9", "v", "1", REG_SZ);
    EXPECT_EQ(queryValue(r.store, HKEY_LOCAL_MACHINE, "software\\caf\xE9\\", "V"), sz("1"));

    const std::string hive = r.dir.readFile("registry/HKEY_LOCAL_MACHINE.reg");
    EXPECT_NE(
        hive.find("[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies"
                  "\\Explorer\\RestrictRun]\r\n\" 1\"=\"NOTEPAD.EXE\"\r\n"),
        std::string::npos);
    EXPECT_EQ(hive.find("SOFTWARE"), std::string::npos);

    deleteKey(r.store, HKEY_LOCAL_MACHINE,
              "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\");
    EXPECT_FALSE(queryValue(r.store, HKEY_LOCAL_MACHINE,
                            "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\"
                            "RestrictRun",
                            " 1"));
    EXPECT_FALSE(r.store.keyExists(
        HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer"));
    EXPECT_TRUE(
        r.store.keyExists(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion"));
    deleteKey(r.store, HKEY_LOCAL_MACHINE, "Software\\No Such Key");  // no error, nothing happens
    EXPECT_EQ(queryValue(r.store, HKEY_LOCAL_MACHINE, "Software\\Caf\xE9", "v"), sz("1"));
}

TEST(MdlRegistry, ValuesOfOtherTypesAndMissingKeysOrValuesReadAsNoValue) {
    Registry r;
    r.dir.makeDirectory("registry");
    r.dir.writeFile(
        "registry/HKEY_LOCAL_MACHINE.reg",
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n"
        "\"Binary\"=hex:01,00,00,00\r\n\"Expand\"=hex(2):31,00\r\n\"Sz\"=\"s\"\r\n\r\n");
    EXPECT_FALSE(queryValue(r.store, HKEY_LOCAL_MACHINE, "Software", "Binary"));
    EXPECT_FALSE(queryValue(r.store, HKEY_LOCAL_MACHINE, "Software", "Expand"));
    EXPECT_FALSE(queryValue(r.store, HKEY_LOCAL_MACHINE, "Software", "Missing"));
    EXPECT_FALSE(queryValue(r.store, HKEY_LOCAL_MACHINE, "Software\\Missing", "Sz"));
    EXPECT_FALSE(queryValue(r.store, HKEY_CURRENT_USER, "Software", "Sz"));
    EXPECT_EQ(queryValue(r.store, HKEY_LOCAL_MACHINE, "Software", "Sz"), sz("s"));
}

TEST(MdlRegistry, FailedWritesReachNoCaller) {
    TempDirectory dir;
    dir.makeDirectory("registry");
    LinuxFiles files(dir.path(), LinuxFiles::NewNames::AsGiven);
    fake::FailingFiles failing(files);
    failing.fail(fake::FailingFiles::Operation::WriteAll, "", ENOSPC);
    std::vector<std::string> reports;
    HiveStore store(failing, text::upperCase, [&](std::string_view m) { reports.emplace_back(m); });

    createKey(store, HKEY_LOCAL_MACHINE, "Software");
    setKeyValue(store, HKEY_LOCAL_MACHINE, "Software", "v", "1", REG_SZ);
    deleteKey(store, HKEY_LOCAL_MACHINE, "Software");
    EXPECT_FALSE(queryValue(store, HKEY_LOCAL_MACHINE, "Software", "v"));
    EXPECT_FALSE(dir.exists("registry/HKEY_LOCAL_MACHINE.reg"));
}

TEST(MdlRegistry, DwordFromText) {
    struct Case {
        const char* text;
        std::optional<std::uint32_t> number;
    } cases[] = {
        {"0", 0u},
        {"67108863", 0x03FFFFFFu},
        {" 1 ", 1u},
        {"+5", 5u},
        {"007", 7u},
        {"4294967295", 0xFFFFFFFFu},
        {"-2147483648", 0x80000000u},
        {"-0", 0u},
        {"4294967296", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"abc", std::nullopt},
        {"1x", std::nullopt},
        {"0x10", std::nullopt},
        {"1.5", std::nullopt},
        {"1 2", std::nullopt},
        {"--1", std::nullopt},
        {"-", std::nullopt},
        {"\t1", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(dwordFromText(c.text), c.number) << '"' << c.text << '"';
}

TEST(MdlRegistry, AsText) {
    EXPECT_EQ(asText(dword(67108863)), "67108863");
    EXPECT_EQ(asText(dword(0xFFFFFFFF)), "4294967295");
    EXPECT_EQ(asText(sz("192.0.2.10")), "192.0.2.10");
}

}  // namespace
}  // namespace hg::mdlRegistry
