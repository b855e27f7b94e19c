#include "accountstore/mdlRegistry.h"

#include <charconv>

#include "accountstore/Text.h"

namespace hg::mdlRegistry {

HiveStore openStore(const std::string& applicationDirectory) {
    return HiveStore(applicationDirectory, text::upperCase);
}

void createKey(RegistryHive& hive, RegistryRoot root, std::string_view keyPath) {
    (void)hive.createKey(root, keyPath);  // registry writes never report failure
}

void setKeyValue(RegistryHive& hive, RegistryRoot root, std::string_view keyPath,
                 std::string_view valueName, std::string_view dataText, int typeCode) {
    RegistryValue value;
    if (typeCode == REG_SZ) {
        value = RegistryValue::string(std::string(dataText));
    } else if (typeCode == REG_DWORD) {
        const auto number = dwordFromText(dataText);
        if (!number)
            return;
        value = RegistryValue::number(*number);
    } else {
        return;
    }
    (void)hive.setValue(root, keyPath, valueName, value);
}

void deleteKey(RegistryHive& hive, RegistryRoot root, std::string_view keyPath) {
    (void)hive.deleteKey(root, keyPath);
}

std::optional<RegistryData> queryValue(const RegistryHive& hive, RegistryRoot root,
                                       std::string_view keyPath, std::string_view valueName) {
    const auto value = hive.value(root, keyPath, valueName);
    if (!value)
        return std::nullopt;
    switch (value->type) {
        case RegistryValue::Type::String:
            return RegistryData{REG_SZ, value->text, 0};
        case RegistryValue::Type::Dword:
            return RegistryData{REG_DWORD, {}, value->dword};
        case RegistryValue::Type::Other:
            break;
    }
    return std::nullopt;
}

std::string asText(const RegistryData& data) {
    return data.type == REG_DWORD ? std::to_string(data.number) : data.text;
}

std::optional<std::uint32_t> dwordFromText(std::string_view dataText) {
    const auto notSpace = dataText.find_first_not_of(' ');
    if (notSpace == std::string_view::npos)
        return std::nullopt;
    dataText.remove_prefix(notSpace);
    dataText.remove_suffix(dataText.size() - (dataText.find_last_not_of(' ') + 1));
    bool negative = false;
    if (dataText.front() == '+' || dataText.front() == '-') {
        negative = dataText.front() == '-';
        dataText.remove_prefix(1);
    }
    if (dataText.empty() || dataText.front() < '0' || dataText.front() > '9')
        return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(dataText.data(), dataText.data() + dataText.size(), magnitude);
    if (error != std::errc() || end != dataText.data() + dataText.size())
        return std::nullopt;
    if (negative) {
        if (magnitude > 0x80000000ULL)
            return std::nullopt;
        return static_cast<std::uint32_t>(0x100000000ULL - magnitude);
    }
    if (magnitude > 0xFFFFFFFFULL)
        return std::nullopt;
    return static_cast<std::uint32_t>(magnitude);
}

}  // namespace hg::mdlRegistry
