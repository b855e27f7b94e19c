// HiveFile: one REGEDIT4 hive file as bytes <-> keys and values, and the edits the store makes on
// it.
//
// Plain functions over bytes, no I/O. Lines end at CR LF, CR or LF (an administrator may edit the
// file with any editor); they are written with CR LF. Blank lines are layout and are not kept. A
// line that cannot be read, and a section whose header names another root or a malformed path
// together with every line under it, are kept in place as read and ignored. Comment lines (";") are
// kept without complaint.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/RegistryHive.h"

namespace hg::hive {

using Fold = std::string (*)(std::string_view);

struct Entry {
    enum class Kind { Value, Kept };
    Kind kind = Kind::Value;
    std::string name;     // Value: "" is the default value
    RegistryValue value;  // Value
    std::string kept;     // Kept: the line as read
};

struct Key {
    std::string path;      // relative to the root, no trailing backslash; "" is the root itself
    std::string folded;    // fold(path)
    bool ignored = false;  // a section that cannot be read: `header` and `entries` are kept as read
    std::string header;
    std::vector<Entry> entries;
};

struct HiveFile {
    std::vector<std::string> preamble;    // lines before the first section, other than "REGEDIT4"
    std::vector<Key> keys;                // in file order; ancestors before their descendants
    std::size_t unreadableLines = 0;      // lines that could not be read (comments not counted)
    std::size_t firstUnreadableLine = 0;  // 1-based line number, 0 when none
};

HiveFile parse(std::string_view bytes, std::string_view rootName, Fold fold);
std::string serialize(const HiveFile& hive, std::string_view rootName);

// A key path with one trailing backslash removed; no value when a component is empty or the path
// holds a CR or LF.
std::optional<std::string> normalizeKeyPath(std::string_view keyPath);

// The key (not an ignored section) whose folded path is `folded`.
Key* findKey(HiveFile& hive, std::string_view folded);
const Key* findKey(const HiveFile& hive, std::string_view folded);
// The value entry named `name` (folded comparison) in the key.
Entry* findValue(Key& key, std::string_view name, Fold fold);
const Entry* findValue(const Key& key, std::string_view name, Fold fold);

// Edits on a normalized path; each returns whether the hive changed.
bool createKey(HiveFile& hive, std::string_view path, Fold fold);
bool deleteKey(HiveFile& hive, std::string_view path, Fold fold);
// Sets a value in an existing key (the caller checked it exists).
void setValue(Key& key, std::string_view name, const RegistryValue& value, Fold fold);
bool deleteValue(Key& key, std::string_view name, Fold fold);

// The names of the direct sub-keys of the key with folded path `folded`.
std::vector<std::string> subKeyNames(const HiveFile& hive, std::string_view folded);

}  // namespace hg::hive
