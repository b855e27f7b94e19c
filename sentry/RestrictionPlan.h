// RestrictionPlan: the registry writes that apply a group's record, as data.
//
// The plan resets the allowed-program list keys, resets the 30 policy values to 0, then writes what
// the record's option and program lines switch on, and ends the list with the suite's two programs
// (or removes the list when the record allows every program). Keeping it as a list of operations
// lets the order be checked before anything touches the registry store.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "accountstore/mdlRegistry.h"
#include "platform/core/RegistryHive.h"

namespace hg::sentry {

struct RegistryOperation {
    enum class Kind { CreateKey, SetValue, DeleteKey };
    Kind kind = Kind::SetValue;
    RegistryRoot root = RegistryRoot::CurrentUser;
    std::string key;
    std::string name;  // SetValue only
    std::string data;  // SetValue only: the text, decimal for type 4
    int type = 0;      // SetValue only: mdlRegistry::REG_SZ or REG_DWORD

    bool operator==(const RegistryOperation&) const = default;
};

// "...\Policies\Explorer\RestrictRun", the allowed-program list.
inline constexpr std::string_view kRunListKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\RestrictRun";
// The same keys written with a final backslash, as the value writes name them.
inline constexpr std::string_view kRunListValuesKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\RestrictRun\\";
inline constexpr std::string_view kExplorerValuesKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";

// The operations for a group whose record holds `recordLines` (the lines between its header and its
// end marker; empty for a group without a record).
std::vector<RegistryOperation> restrictionPlan(const std::vector<std::string>& recordLines);

// Runs the operations in order through the registry module; like every registry write of the suite,
// a failure is not reported.
void executePlan(RegistryHive& registry, const std::vector<RegistryOperation>& plan);

}  // namespace hg::sentry
