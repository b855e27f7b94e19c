// RestrictionOptions: the 30 option keyword lines of groups.ini and the policy value each one sets.
//
// One table holds, per option, its family, its keyword line (code page 1252, "Æ" = 0xC6), the
// console check box that sets it, and the registry value the locker writes when it is on, so no
// second list can drift from it. Within a family the rows are in the order the family's editor
// writes its lines.
#pragma once

#include <span>
#include <string_view>

namespace hg {

enum class OptionFamily { ControlPanel, StartMenu, Other };

// The policy keys under HKEY_CURRENT_USER the options write to.
enum class PolicyKey { Explorer, Network, System };

struct RestrictionOption {
    OptionFamily family;
    std::string_view keywordLine;  // "OPTION\xC6" "DISPLAYDISABLE"
    std::string_view checkBox;     // "displayDisable"
    PolicyKey key;
    std::string_view valueName;   // "NoDispCPL"
    std::string_view dataWhenOn;  // REG_DWORD data in decimal: "67108863" for NoDrives, else "1"
};

// All 30 rows: ControlPanel, then StartMenu, then Other, each in its editor's order.
std::span<const RestrictionOption> restrictionOptions();
// The rows of one family, in its editor's order.
std::span<const RestrictionOption> optionsOf(OptionFamily family);
// The 30 rows in the order the locker resets their values to 0 before applying a group.
std::span<const RestrictionOption* const> policyResetOrder();

// The row whose keyword line equals the line ignoring case; nullptr when none does.
const RestrictionOption* findOption(std::string_view line);

// "OPTION\xC6", "OPTION2", "OPTION3": the first seven characters of a family's lines.
std::string_view familyPrefix(OptionFamily family);
// The key path, e.g. "Software\Microsoft\Windows\CurrentVersion\Policies\Explorer".
std::string_view policyKeyPath(PolicyKey key);

}  // namespace hg
