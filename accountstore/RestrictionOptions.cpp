#include "accountstore/RestrictionOptions.h"

#include <array>
#include <cstddef>

#include "accountstore/Text.h"

namespace hg {
namespace {

using F = OptionFamily;
using K = PolicyKey;

// Rows 0-18 ControlPanel, 19-23 StartMenu, 24-29 Other.
// clang-format off
constexpr std::array<RestrictionOption, 30> kOptions = {{
    {F::ControlPanel, "OPTION\xC6" "DISPLAYDISABLE", "displayDisable", K::System, "NoDispCPL", "1"},
    {F::ControlPanel, "OPTION\xC6" "DISPLAYHIDEBG", "displayHideBG", K::System, "NoDispBackgroundPage", "1"},
    {F::ControlPanel, "OPTION\xC6" "DISPLAYHIDESCREEN", "displayHideScreen", K::System, "NoDispScrSavPage", "1"},
    {F::ControlPanel, "OPTION\xC6" "DISPLAYHIDEAPPEARANCE", "displayHideAppearance", K::System, "NoDispAppearancePage", "1"},
    {F::ControlPanel, "OPTION\xC6" "DISPLAYHIDESETTINGS", "displayHideSettings", K::System, "NoDispSettingsPage", "1"},
    {F::ControlPanel, "OPTION\xC6" "PASSWORDSDISABLE", "passwordsDisable", K::System, "NoSecCPL", "1"},
    {F::ControlPanel, "OPTION\xC6" "PASSWORDSHIDECHANGE", "passwordsHideChange", K::System, "NoPwdPage", "1"},
    {F::ControlPanel, "OPTION\xC6" "PASSWORDSHIDEREMOTE", "passwordsHideRemote", K::System, "NoAdminPage", "1"},
    {F::ControlPanel, "OPTION\xC6" "PASSWORDSHIDEPROFILES", "passwordsHideProfiles", K::System, "NoProfilePage", "1"},
    {F::ControlPanel, "OPTION\xC6" "NETWORKDISABLE", "networkDisable", K::Network, "NoNetSetup", "1"},
    {F::ControlPanel, "OPTION\xC6" "NETWORKHIDEIDENT", "networkHideIdent", K::Network, "NoNetSetupIDPage", "1"},
    {F::ControlPanel, "OPTION\xC6" "NETWORKHIDEACCESSCONTROL", "networkHideAccessControl", K::Network, "NoNetSetupSecurityPage", "1"},
    {F::ControlPanel, "OPTION\xC6" "PRINTERSHIDEGENERAL", "printersHideGeneral", K::Explorer, "NoPrinterTabs", "1"},
    {F::ControlPanel, "OPTION\xC6" "PRINTERSDISABLEADD", "printersDisableAdd", K::Explorer, "NoAddPrinter", "1"},
    {F::ControlPanel, "OPTION\xC6" "PRINTERSDISABLEDEL", "printersDisableDel", K::Explorer, "NoDeletePrinter", "1"},
    {F::ControlPanel, "OPTION\xC6" "SYSTEMHIDEDEVICE", "systemHideDevice", K::System, "NoDevMgrPage", "1"},
    {F::ControlPanel, "OPTION\xC6" "SYSTEMHIDEHARDWARE", "systemHideHardware", K::System, "NoConfigPage", "1"},
    {F::ControlPanel, "OPTION\xC6" "SYSTEMHIDEFILESYSTEM", "systemHideFileSystem", K::System, "NoFileSysPage", "1"},
    {F::ControlPanel, "OPTION\xC6" "SYSTEMHIDEVM", "systemHideVM", K::System, "NoVirtMemPage", "1"},
    {F::StartMenu, "OPTION2\xC6" "STARTREMOVESETTINGS", "removeSettings", K::Explorer, "NoSetFolders", "1"},
    {F::StartMenu, "OPTION2\xC6" "STARTREMOVETASK", "removeTask", K::Explorer, "NoSetTaskbar", "1"},
    {F::StartMenu, "OPTION2\xC6" "STARTREMOVERUN", "removeRun", K::Explorer, "NoRun", "1"},
    {F::StartMenu, "OPTION2\xC6" "STARTREMOVEFIND", "removeFind", K::Explorer, "NoFind", "1"},
    {F::StartMenu, "OPTION2\xC6" "STARTDISABLESHUTDOWN", "disableShutdown", K::Explorer, "NoClose", "1"},
    {F::Other, "OPTION3\xC6" "HIDEALLDRIVES", "hideAllDrives", K::Explorer, "NoDrives", "67108863"},
    {F::Other, "OPTION3\xC6" "HIDENETWORK", "hideNetwork", K::Explorer, "NoNetHood", "1"},
    {F::Other, "OPTION3\xC6" "DONTSHOWENTIRENET", "dontShowEntireNet", K::Network, "NoEntireNetwork", "1"},
    {F::Other, "OPTION3\xC6" "NOWGCONTENTS", "noWGContents", K::Network, "NoWorkgroupContents", "1"},
    {F::Other, "OPTION3\xC6" "HIDEALLICONS", "hideAllIcons", K::Explorer, "NoDesktop", "1"},
    {F::Other, "OPTION3\xC6" "DONTSAVESETTINGS", "dontSaveSettings", K::Explorer, "NoSaveSettings", "1"},
}};
// clang-format on

constexpr const RestrictionOption* row(std::size_t i) {
    return &kOptions[i];
}

// NoDrives, NoNetHood, NoEntireNetwork, NoNetSetup, NoNetSetupIDPage, NoNetSetupSecurityPage,
// NoWorkgroupContents, NoDesktop, NoSaveSettings, NoSetFolders, NoSetTaskbar, NoRun, NoFind,
// NoClose, NoDispCPL .. NoDispSettingsPage, NoSecCPL, NoPwdPage, NoAdminPage, NoProfilePage,
// NoAddPrinter, NoDeletePrinter, NoPrinterTabs, NoConfigPage, NoDevMgrPage, NoFileSysPage,
// NoVirtMemPage.
constexpr std::array<const RestrictionOption*, 30> kResetOrder = {
    row(24), row(25), row(26), row(9),  row(10), row(11), row(27), row(28), row(29), row(19),
    row(20), row(21), row(22), row(23), row(0),  row(1),  row(2),  row(3),  row(4),  row(5),
    row(6),  row(7),  row(8),  row(13), row(14), row(12), row(16), row(15), row(17), row(18),
};

}  // namespace

std::span<const RestrictionOption> restrictionOptions() {
    return kOptions;
}

std::span<const RestrictionOption> optionsOf(OptionFamily family) {
    switch (family) {
        case OptionFamily::ControlPanel:
            return std::span(kOptions).subspan(0, 19);
        case OptionFamily::StartMenu:
            return std::span(kOptions).subspan(19, 5);
        case OptionFamily::Other:
            return std::span(kOptions).subspan(24, 6);
    }
    return {};
}

std::span<const RestrictionOption* const> policyResetOrder() {
    return kResetOrder;
}

const RestrictionOption* findOption(std::string_view line) {
    for (const auto& option : kOptions) {
        if (text::equalIgnoringCase(line, option.keywordLine))
            return &option;
    }
    return nullptr;
}

std::string_view familyPrefix(OptionFamily family) {
    switch (family) {
        case OptionFamily::ControlPanel:
            return "OPTION\xC6";
        case OptionFamily::StartMenu:
            return "OPTION2";
        case OptionFamily::Other:
            return "OPTION3";
    }
    return {};
}

std::string_view policyKeyPath(PolicyKey key) {
    switch (key) {
        case PolicyKey::Explorer:
            return "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
        case PolicyKey::Network:
            return "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network";
        case PolicyKey::System:
            return "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    }
    return {};
}

}  // namespace hg
