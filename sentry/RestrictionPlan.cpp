#include "sentry/RestrictionPlan.h"

#include "accountstore/GroupsFile.h"
#include "accountstore/RestrictionOptions.h"
#include "accountstore/Text.h"

namespace hg::sentry {
namespace {

constexpr RegistryRoot HKLM = RegistryRoot::LocalMachine;
constexpr RegistryRoot HKCU = RegistryRoot::CurrentUser;

RegistryOperation createKey(RegistryRoot root, std::string_view key) {
    return {RegistryOperation::Kind::CreateKey, root, std::string(key), {}, {}, 0};
}

RegistryOperation deleteKey(RegistryRoot root, std::string_view key) {
    return {RegistryOperation::Kind::DeleteKey, root, std::string(key), {}, {}, 0};
}

RegistryOperation setValue(RegistryRoot root, std::string_view key, std::string_view name,
                           std::string_view data, int type) {
    return {RegistryOperation::Kind::SetValue,
            root,
            std::string(key),
            std::string(name),
            std::string(data),
            type};
}

RegistryOperation restrictRun(RegistryRoot root, std::string_view data) {
    return setValue(root, kExplorerValuesKey, "RestrictRun", data, mdlRegistry::REG_DWORD);
}

// " 1", " 2", ...: the list's value names carry a leading space.
std::string listValueName(int number) {
    return " " + std::to_string(number);
}

}  // namespace

std::vector<RegistryOperation> restrictionPlan(const std::vector<std::string>& recordLines) {
    std::vector<RegistryOperation> plan;
    plan.push_back(deleteKey(HKLM, kRunListKey));
    plan.push_back(createKey(HKLM, kRunListKey));
    plan.push_back(deleteKey(HKCU, kRunListKey));
    plan.push_back(createKey(HKCU, kRunListKey));

    for (const RestrictionOption* option : policyResetOrder()) {
        plan.push_back(setValue(HKCU, policyKeyPath(option->key), option->valueName, "0",
                                mdlRegistry::REG_DWORD));
    }

    int runCount = 0;
    bool allowAll = false;
    for (const std::string& line : recordLines) {
        if (const RestrictionOption* option = findOption(line)) {
            plan.push_back(setValue(HKCU, policyKeyPath(option->key), option->valueName,
                                    option->dataWhenOn, mdlRegistry::REG_DWORD));
        } else if (text::startsWithIgnoringCase(line, kProgramPrefix)) {
            if (text::equalIgnoringCase(line, kAllProgramsLine)) {
                allowAll = true;
                plan.push_back(restrictRun(HKLM, "0"));
                plan.push_back(restrictRun(HKCU, "0"));
            } else {
                const std::string name = listValueName(++runCount);
                const std::string entry = text::upperCase(std::string_view(line).substr(8));
                plan.push_back(restrictRun(HKLM, "1"));
                plan.push_back(setValue(HKLM, kRunListValuesKey, name, entry, mdlRegistry::REG_SZ));
                plan.push_back(restrictRun(HKCU, "1"));
                plan.push_back(setValue(HKCU, kRunListValuesKey, name, entry, mdlRegistry::REG_SZ));
            }
        }
    }

    if (allowAll) {
        plan.push_back(restrictRun(HKLM, "0"));
        plan.push_back(deleteKey(HKLM, kRunListKey));
        plan.push_back(restrictRun(HKCU, "0"));
        plan.push_back(deleteKey(HKCU, kRunListKey));
    } else {
        for (std::string_view program : {"HGSENTRY.EXE", "HGCONSOLE.EXE"}) {
            const std::string name = listValueName(++runCount);
            plan.push_back(setValue(HKLM, kRunListValuesKey, name, program, mdlRegistry::REG_SZ));
            plan.push_back(setValue(HKCU, kRunListValuesKey, name, program, mdlRegistry::REG_SZ));
        }
    }
    return plan;
}

void executePlan(RegistryHive& registry, const std::vector<RegistryOperation>& plan) {
    for (const RegistryOperation& op : plan) {
        switch (op.kind) {
            case RegistryOperation::Kind::CreateKey:
                mdlRegistry::createKey(registry, op.root, op.key);
                break;
            case RegistryOperation::Kind::DeleteKey:
                mdlRegistry::deleteKey(registry, op.root, op.key);
                break;
            case RegistryOperation::Kind::SetValue:
                mdlRegistry::setKeyValue(registry, op.root, op.key, op.name, op.data, op.type);
                break;
        }
    }
}

}  // namespace hg::sentry
