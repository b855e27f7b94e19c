// The registry operations a group's record gives, and the registry they leave behind.
#include <gtest/gtest.h>

#include "accountstore/mdlRegistry.h"
#include "platform/fake/core/TempDirectory.h"
#include "sentry/RestrictionPlan.h"

namespace hg::sentry {
namespace {

using Kind = RegistryOperation::Kind;
constexpr RegistryRoot HKLM = RegistryRoot::LocalMachine;
constexpr RegistryRoot HKCU = RegistryRoot::CurrentUser;

const std::string kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\";
const std::string kExplorer = kPolicies + "Explorer";
const std::string kNetwork = kPolicies + "Network";
const std::string kSystem = kPolicies + "System";
const std::string kRunList = kPolicies + "Explorer\\RestrictRun";

RegistryOperation set(RegistryRoot root, const std::string& key, const std::string& name,
                      const std::string& data, int type = 4) {
    return {Kind::SetValue, root, key, name, data, type};
}

// The first 34 operations of every plan: the list keys, then the 30 values reset in their order.
std::vector<RegistryOperation> resetOperations() {
    std::vector<RegistryOperation> ops = {
        {Kind::DeleteKey, HKLM, kRunList, "", "", 0},
        {Kind::CreateKey, HKLM, kRunList, "", "", 0},
        {Kind::DeleteKey, HKCU, kRunList, "", "", 0},
        {Kind::CreateKey, HKCU, kRunList, "", "", 0},
    };
    const std::vector<std::pair<const std::string*, const char*>> order = {
        {&kExplorer, "NoDrives"},
        {&kExplorer, "NoNetHood"},
        {&kNetwork, "NoEntireNetwork"},
        {&kNetwork, "NoNetSetup"},
        {&kNetwork, "NoNetSetupIDPage"},
        {&kNetwork, "NoNetSetupSecurityPage"},
        {&kNetwork, "NoWorkgroupContents"},
        {&kExplorer, "NoDesktop"},
        {&kExplorer, "NoSaveSettings"},
        {&kExplorer, "NoSetFolders"},
        {&kExplorer, "NoSetTaskbar"},
        {&kExplorer, "NoRun"},
        {&kExplorer, "NoFind"},
        {&kExplorer, "NoClose"},
        {&kSystem, "NoDispCPL"},
        {&kSystem, "NoDispBackgroundPage"},
        {&kSystem, "NoDispScrSavPage"},
        {&kSystem, "NoDispAppearancePage"},
        {&kSystem, "NoDispSettingsPage"},
        {&kSystem, "NoSecCPL"},
        {&kSystem, "NoPwdPage"},
        {&kSystem, "NoAdminPage"},
        {&kSystem, "NoProfilePage"},
        {&kExplorer, "NoAddPrinter"},
        {&kExplorer, "NoDeletePrinter"},
        {&kExplorer, "NoPrinterTabs"},
        {&kSystem, "NoConfigPage"},
        {&kSystem, "NoDevMgrPage"},
        {&kSystem, "NoFileSysPage"},
        {&kSystem, "NoVirtMemPage"},
    };
    for (const auto& [key, name] : order) ops.push_back(set(HKCU, *key, name, "0"));
    return ops;
}

TEST(RestrictionPlanTest, ARecordGivesResetsThenItsLinesInFileOrderThenTheSuitePrograms) {
    const std::vector<std::string> record = {
        "OPTION3\xC6HIDEALLDRIVES",
        "USER\xC6"
        "ann",
        "PROGRAM\xC6NOTEPAD.EXE",
        "option\xE6systemhidevm",  // lower case, "\xE6" is the lower-case separator
        "PROGRAM\xC6"
        "calc.exe",
        "OPTION\xC6NOSUCHOPTION",
        "~END~",
    };
    const std::string explorerValues = kExplorer + "\\";
    const std::string listValues = kRunList + "\\";
    std::vector<RegistryOperation> expected = resetOperations();
    const std::vector<RegistryOperation> rest = {
        set(HKCU, kExplorer, "NoDrives", "67108863"),
        set(HKLM, explorerValues, "RestrictRun", "1"),
        set(HKLM, listValues, " 1", "NOTEPAD.EXE", 1),
        set(HKCU, explorerValues, "RestrictRun", "1"),
        set(HKCU, listValues, " 1", "NOTEPAD.EXE", 1),
        set(HKCU, kSystem, "NoVirtMemPage", "1"),
        set(HKLM, explorerValues, "RestrictRun", "1"),
        set(HKLM, listValues, " 2", "CALC.EXE", 1),
        set(HKCU, explorerValues, "RestrictRun", "1"),
        set(HKCU, listValues, " 2", "CALC.EXE", 1),
        set(HKLM, listValues, " 3", "HGSENTRY.EXE", 1),
        set(HKCU, listValues, " 3", "HGSENTRY.EXE", 1),
        set(HKLM, listValues, " 4", "HGCONSOLE.EXE", 1),
        set(HKCU, listValues, " 4", "HGCONSOLE.EXE", 1),
    };
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(restrictionPlan(record), expected);
}

TEST(RestrictionPlanTest, TheAllProgramsLineRemovesTheListWhereverItStands) {
    const std::string explorerValues = kExplorer + "\\";
    const std::vector<std::string> record = {"PROGRAM\xC6X.EXE",
                                             "program\xC6\xE6"
                                             "all"};
    std::vector<RegistryOperation> expected = resetOperations();
    const std::vector<RegistryOperation> rest = {
        set(HKLM, explorerValues, "RestrictRun", "1"),
        set(HKLM, kRunList + "\\", " 1", "X.EXE", 1),
        set(HKCU, explorerValues, "RestrictRun", "1"),
        set(HKCU, kRunList + "\\", " 1", "X.EXE", 1),
        set(HKLM, explorerValues, "RestrictRun", "0"),
        set(HKCU, explorerValues, "RestrictRun", "0"),
        set(HKLM, explorerValues, "RestrictRun", "0"),
        {Kind::DeleteKey, HKLM, kRunList, "", "", 0},
        set(HKCU, explorerValues, "RestrictRun", "0"),
        {Kind::DeleteKey, HKCU, kRunList, "", "", 0},
    };
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(restrictionPlan(record), expected);
}

// Runs plans on a real registry store laid out like an installation's.
class AppliedPlanTest : public ::testing::Test {
protected:
    AppliedPlanTest() {
        for (RegistryRoot root : {HKLM, HKCU}) mdlRegistry::createKey(store, root, kExplorer);
        mdlRegistry::createKey(store, HKCU, kNetwork);
        mdlRegistry::createKey(store, HKCU, kSystem);
    }

    std::optional<std::uint32_t> dword(RegistryRoot root, const std::string& key,
                                       const std::string& name) {
        const auto data = mdlRegistry::queryValue(store, root, key, name);
        if (!data || data->type != mdlRegistry::REG_DWORD)
            return std::nullopt;
        return data->number;
    }
    // The list key's values as name=data, in order; "missing" when the key is gone.
    std::string list(RegistryRoot root) {
        const auto values = store.values(root, kRunList);
        if (!values)
            return "missing";
        std::string out;
        for (const NamedRegistryValue& v : *values) out += "[" + v.name + "]=" + v.value.text + ";";
        return out;
    }

    fake::TempDirectory dir;
    HiveStore store = mdlRegistry::openStore(dir.path());
};

struct AppliedCase {
    const char* what;
    std::vector<std::string> record;
    std::optional<std::uint32_t> restrictRun;  // in both roots afterwards
    std::string list;                          // in both roots afterwards
};

TEST_F(AppliedPlanTest, ProgramLinesDecideTheFlagAndTheListInBothRoots) {
    const std::string suite = "[ 1]=HGSENTRY.EXE;[ 2]=HGCONSOLE.EXE;";
    const std::vector<AppliedCase> cases = {
        {"all programs after program lines",
         {"PROGRAM\xC6NOTEPAD.EXE",
          "PROGRAM\xC6\xC6"
          "ALL",
          "PROGRAM\xC6"
          "calc.exe"},
         0u,
         "missing"},
        {"all programs first",
         {"PROGRAM\xC6\xC6"
          "ALL",
          "PROGRAM\xC6NOTEPAD.EXE"},
         0u,
         "missing"},
        {"NOTEPAD.EXE and calc.exe",
         {"PROGRAM\xC6NOTEPAD.EXE",
          "PROGRAM\xC6"
          "calc.exe"},
         1u,
         "[ 1]=NOTEPAD.EXE;[ 2]=CALC.EXE;[ 3]=HGSENTRY.EXE;[ 4]=HGCONSOLE.EXE;"},
        // The flag keeps whatever it was before: 7, set below.
        {"neither",
         {"USER\xC6"
          "ann",
          "OPTION3\xC6HIDEALLICONS"},
         7u,
         suite},
        {"no record", {}, 7u, suite},
    };
    for (const AppliedCase& c : cases) {
        SCOPED_TRACE(c.what);
        for (RegistryRoot root : {HKLM, HKCU}) {
            mdlRegistry::setKeyValue(store, root, kExplorer, "RestrictRun", "7", 4);
            // A list left from an earlier login never survives.
            mdlRegistry::createKey(store, root, kRunList);
            mdlRegistry::setKeyValue(store, root, kRunList, " 9", "OLD.EXE", 1);
        }
        executePlan(store, restrictionPlan(c.record));
        for (RegistryRoot root : {HKLM, HKCU}) {
            EXPECT_EQ(dword(root, kExplorer, "RestrictRun"), c.restrictRun);
            EXPECT_EQ(list(root), c.list);
        }
    }
}

TEST_F(AppliedPlanTest, OnlyTheRecordsOptionsAreOnAfterwards) {
    for (const char* name : {"NoDrives", "NoDesktop", "NoRun"}) {
        mdlRegistry::setKeyValue(store, HKCU, kExplorer, name, "1", 4);
    }
    executePlan(store, restrictionPlan({"option3\xE6hidealldrives", "OPTION2\xC6STARTREMOVERUN",
                                        "OPTION\xC6NETWORKDISABLE"}));
    EXPECT_EQ(dword(HKCU, kExplorer, "NoDrives"), 0x03FFFFFFu);
    EXPECT_EQ(dword(HKCU, kExplorer, "NoRun"), 1u);
    EXPECT_EQ(dword(HKCU, kNetwork, "NoNetSetup"), 1u);
    EXPECT_EQ(dword(HKCU, kExplorer, "NoDesktop"), 0u);
    EXPECT_EQ(dword(HKCU, kSystem, "NoVirtMemPage"), 0u);
}

TEST_F(AppliedPlanTest, MissingPolicyKeysGetNothingAndAreNotCreated) {
    // HKLM has no Network or System key, and the options only ever write to HKCU.
    executePlan(store, restrictionPlan({"OPTION\xC6"
                                        "DISPLAYDISABLE"}));
    EXPECT_FALSE(store.keyExists(HKLM, kSystem));
    EXPECT_FALSE(store.keyExists(HKLM, kNetwork));
    mdlRegistry::deleteKey(store, HKCU, kSystem);
    executePlan(store, restrictionPlan({"OPTION\xC6"
                                        "DISPLAYDISABLE"}));
    EXPECT_FALSE(store.keyExists(HKCU, kSystem));
    EXPECT_EQ(dword(HKCU, kExplorer, "NoDrives"), 0u);
}

}  // namespace
}  // namespace hg::sentry
