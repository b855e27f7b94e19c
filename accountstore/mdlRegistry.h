// mdlRegistry: the four registry operations the programs use, over a RegistryHive.
//
// Callers see a root, a key path, a value name and a text. No failure reaches them: a write that
// cannot be made is not made, a read that cannot be made yields no value. Only REG_SZ (type code 1,
// the text stored unchanged) and REG_DWORD (type code 4, decimal text converted to 32 bits) are
// written; every other type code writes nothing, and a stored value of another type reads as no
// value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/core/HiveStore.h"
#include "platform/core/RegistryHive.h"

namespace hg::mdlRegistry {

inline constexpr RegistryRoot HKEY_CURRENT_USER = RegistryRoot::CurrentUser;
inline constexpr RegistryRoot HKEY_LOCAL_MACHINE = RegistryRoot::LocalMachine;

inline constexpr int REG_SZ = 1;
inline constexpr int REG_DWORD = 4;

// A value read back: REG_SZ with its text, or REG_DWORD with its number.
struct RegistryData {
    int type = REG_SZ;
    std::string text;          // REG_SZ: the bytes as written
    std::uint32_t number = 0;  // REG_DWORD

    bool operator==(const RegistryData&) const = default;
};

// The registry store of an application directory, key paths and value names compared by the
// code-page-1252 upper-case rule.
HiveStore openStore(const std::string& applicationDirectory);

// Creates the key and any missing keys above it; an existing key is left as it is.
void createKey(RegistryHive& hive, RegistryRoot root, std::string_view keyPath);
// Writes one value into an existing key; never creates a key. Type 4 data: optional spaces, an
// optional sign and decimal digits, from -2147483648 (stored as its 32-bit two's complement) to
// 4294967295; other data writes nothing.
void setKeyValue(RegistryHive& hive, RegistryRoot root, std::string_view keyPath,
                 std::string_view valueName, std::string_view dataText, int typeCode);
// Deletes the key with its values and sub-keys; a missing key is no error.
void deleteKey(RegistryHive& hive, RegistryRoot root, std::string_view keyPath);
// The value, or no value for a missing key or value or a value of another type.
std::optional<RegistryData> queryValue(const RegistryHive& hive, RegistryRoot root,
                                       std::string_view keyPath, std::string_view valueName);

// REG_SZ: the text; REG_DWORD: the number in decimal.
std::string asText(const RegistryData& data);
// The 32-bit number a type-4 data text stands for, as setKeyValue converts it.
std::optional<std::uint32_t> dwordFromText(std::string_view dataText);

}  // namespace hg::mdlRegistry
