#include "accountstore/RestrictionOptions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace hg {
namespace {

TEST(RestrictionOptions, TheTableHoldsEachOptionOnceInEditorOrder) {
    const auto all = restrictionOptions();
    ASSERT_EQ(all.size(), 30u);
    EXPECT_EQ(optionsOf(OptionFamily::ControlPanel).size(), 19u);
    EXPECT_EQ(optionsOf(OptionFamily::StartMenu).size(), 5u);
    EXPECT_EQ(optionsOf(OptionFamily::Other).size(), 6u);

    std::set<std::string_view> keywords, boxes, values;
    for (const auto& o : all) {
        keywords.insert(o.keywordLine);
        boxes.insert(o.checkBox);
        values.insert(o.valueName);
        EXPECT_EQ(o.keywordLine.substr(0, 7), familyPrefix(o.family)) << o.keywordLine;
        EXPECT_EQ(o.dataWhenOn, o.valueName == "NoDrives" ? "67108863" : "1") << o.valueName;
    }
    EXPECT_EQ(keywords.size(), 30u);
    EXPECT_EQ(boxes.size(), 30u);
    EXPECT_EQ(values.size(), 30u);

    // Spot checks of each family's first and last row, and of the three keys.
    const auto cp = optionsOf(OptionFamily::ControlPanel);
    EXPECT_EQ(cp.front().keywordLine,
              "OPTION\xC6"
              "DISPLAYDISABLE");
    EXPECT_EQ(cp.front().checkBox, "displayDisable");
    EXPECT_EQ(cp.back().keywordLine, "OPTION\xC6SYSTEMHIDEVM");
    EXPECT_EQ(cp.back().valueName, "NoVirtMemPage");
    EXPECT_EQ(optionsOf(OptionFamily::StartMenu).back().keywordLine,
              "OPTION2\xC6STARTDISABLESHUTDOWN");
    EXPECT_EQ(optionsOf(OptionFamily::Other).front().valueName, "NoDrives");
    EXPECT_EQ(optionsOf(OptionFamily::Other).back().checkBox, "dontSaveSettings");

    EXPECT_EQ(policyKeyPath(PolicyKey::Explorer),
              "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer");
    EXPECT_EQ(policyKeyPath(PolicyKey::Network),
              "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network");
    EXPECT_EQ(policyKeyPath(PolicyKey::System),
              "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System");
}

TEST(RestrictionOptions, KeyOfEachValue) {
    struct Case {
        const char* value;
        PolicyKey key;
    };
    const Case cases[] = {
        {"NoDrives", PolicyKey::Explorer},       {"NoNetHood", PolicyKey::Explorer},
        {"NoEntireNetwork", PolicyKey::Network}, {"NoWorkgroupContents", PolicyKey::Network},
        {"NoNetSetup", PolicyKey::Network},      {"NoNetSetupSecurityPage", PolicyKey::Network},
        {"NoPrinterTabs", PolicyKey::Explorer},  {"NoDeletePrinter", PolicyKey::Explorer},
        {"NoClose", PolicyKey::Explorer},        {"NoDispCPL", PolicyKey::System},
        {"NoDevMgrPage", PolicyKey::System},     {"NoConfigPage", PolicyKey::System},
    };
    for (const auto& c : cases) {
        bool found = false;
        for (const auto& o : restrictionOptions()) {
            if (o.valueName == c.value) {
                found = true;
                EXPECT_EQ(o.key, c.key) << c.value;
            }
        }
        EXPECT_TRUE(found) << c.value;
    }
}

TEST(RestrictionOptions, ResetOrderNamesEveryRowOnce) {
    const char* expected[] = {
        "NoDrives",
        "NoNetHood",
        "NoEntireNetwork",
        "NoNetSetup",
        "NoNetSetupIDPage",
        "NoNetSetupSecurityPage",
        "NoWorkgroupContents",
        "NoDesktop",
        "NoSaveSettings",
        "NoSetFolders",
        "NoSetTaskbar",
        "NoRun",
        "NoFind",
        "NoClose",
        "NoDispCPL",
        "NoDispBackgroundPage",
        "NoDispScrSavPage",
        "NoDispAppearancePage",
        "NoDispSettingsPage",
        "NoSecCPL",
        "NoPwdPage",
        "NoAdminPage",
        "NoProfilePage",
        "NoAddPrinter",
        "NoDeletePrinter",
        "NoPrinterTabs",
        "NoConfigPage",
        "NoDevMgrPage",
        "NoFileSysPage",
        "NoVirtMemPage",
    };
    const auto order = policyResetOrder();
    ASSERT_EQ(order.size(), std::size(expected));
    for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i]->valueName, expected[i]);
}

TEST(RestrictionOptions, FindOptionIgnoresCaseAndNothingElse) {
    const RestrictionOption* drives = findOption("option3\xE6hidealldrives");
    ASSERT_NE(drives, nullptr);
    EXPECT_EQ(drives->valueName, "NoDrives");
    EXPECT_EQ(findOption("OPTION3\xC6HIDEALLDRIVES "), nullptr);
    EXPECT_EQ(findOption("OPTION2\xC6HIDEALLDRIVES"), nullptr);
    EXPECT_EQ(findOption(""), nullptr);
}

}  // namespace
}  // namespace hg
