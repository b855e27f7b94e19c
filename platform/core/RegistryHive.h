// RegistryHive: the two registry roots kept as hive files, keys and typed values.
//
// Key paths are relative to a root, compare without regard to case (by the fold function given to
// the store) and keep the spelling they were created with; a trailing backslash names the same key.
// Value data of type String are code page 1252 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Expected.h"

namespace hg {

enum class RegistryRoot { CurrentUser, LocalMachine };

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE": the name of the root in key names and hive files.
constexpr std::string_view rootName(RegistryRoot root) {
    return root == RegistryRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

struct RegistryValue {
    enum class Type { String, Dword, Other };
    Type type = Type::String;
    std::string text;  // String: the data; Other: the data as it stands in the hive file
    std::uint32_t dword = 0;

    static RegistryValue string(std::string s) { return {Type::String, std::move(s), 0}; }
    static RegistryValue number(std::uint32_t d) { return {Type::Dword, {}, d}; }
    bool operator==(const RegistryValue&) const = default;
};

struct NamedRegistryValue {
    std::string name;  // "" is the key's default value
    RegistryValue value;
};

class RegistryHive {
public:
    virtual ~RegistryHive() = default;

    // Creates the key and every missing key above it; an existing key is left as it is.
    virtual Status createKey(RegistryRoot root, std::string_view keyPath) = 0;
    // Writes one value into an existing key; a missing key is an error and nothing is created.
    virtual Status setValue(RegistryRoot root, std::string_view keyPath, std::string_view name,
                            const RegistryValue& value) = 0;
    // Deletes the key with its values and sub-keys; a missing key is no error.
    virtual Status deleteKey(RegistryRoot root, std::string_view keyPath) = 0;
    // Deletes one value; NotFound when the key or the value is missing.
    virtual Status deleteValue(RegistryRoot root, std::string_view keyPath,
                               std::string_view name) = 0;

    virtual bool keyExists(RegistryRoot root, std::string_view keyPath) const = 0;
    virtual std::optional<RegistryValue> value(RegistryRoot root, std::string_view keyPath,
                                               std::string_view name) const = 0;
    // The key's values in file order; no value when the key is missing.
    virtual std::optional<std::vector<NamedRegistryValue>> values(
        RegistryRoot root, std::string_view keyPath) const = 0;
};

}  // namespace hg
