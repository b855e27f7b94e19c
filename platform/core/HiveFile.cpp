#include "platform/core/HiveFile.h"

#include "platform/core/Ascii.h"

#include <cstdio>
#include <unordered_set>

namespace hg::hive {
namespace {

std::vector<std::string_view> splitHiveLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.push_back(bytes.substr(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    const char l = ascii::lower(c);
    if (l >= 'a' && l <= 'f')
        return l - 'a' + 10;
    return -1;
}

bool isPrefixOf(std::string_view ancestorFolded, std::string_view folded) {
    return ancestorFolded.empty() || (folded.size() > ancestorFolded.size() &&
                                      folded.substr(0, ancestorFolded.size()) == ancestorFolded &&
                                      folded[ancestorFolded.size()] == '\\');
}

struct Quoted {
    std::string text;
    std::size_t end = 0;  // index after the closing quote
};

// A quoted text starting at s[start] == '"', with \\ and \" escaped; no value when it is
// unterminated or uses another escape.
std::optional<Quoted> parseQuoted(std::string_view s, std::size_t start) {
    Quoted q;
    for (std::size_t i = start + 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            q.end = i + 1;
            return q;
        }
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"'))
                return std::nullopt;
            q.text += s[++i];
        } else {
            q.text += c;
        }
    }
    return std::nullopt;
}

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
}

// "hex:" or "hex(<hex digits>):"
bool isHexType(std::string_view data) {
    if (ascii::startsWithIgnoringCase(data, "hex:"))
        return true;
    if (!ascii::startsWithIgnoringCase(data, "hex("))
        return false;
    std::size_t i = 4;
    while (i < data.size() && hexDigit(data[i]) >= 0) ++i;
    return i > 4 && data.substr(i, 2) == "):";
}

struct ParsedValue {
    std::string name;
    RegistryValue value;
};

// The value on lines[i] (and its continuation lines, after which i points at the last one).
std::optional<ParsedValue> parseValue(const std::vector<std::string_view>& lines, std::size_t& i) {
    const std::string_view line = lines[i];
    ParsedValue parsed;
    std::size_t pos = 0;
    if (line.substr(0, 2) == "@=") {
        pos = 2;
    } else if (!line.empty() && line[0] == '"') {
        auto name = parseQuoted(line, 0);
        if (!name || name->end >= line.size() || line[name->end] != '=')
            return std::nullopt;
        parsed.name = std::move(name->text);
        pos = name->end + 1;
    } else {
        return std::nullopt;
    }

    const std::string_view data = line.substr(pos);
    if (!data.empty() && data[0] == '"') {
        auto text = parseQuoted(data, 0);
        if (!text || text->end != data.size())
            return std::nullopt;
        parsed.value = RegistryValue::string(std::move(text->text));
    } else if (ascii::startsWithIgnoringCase(data, "dword:")) {
        const std::string_view digits = data.substr(6);
        if (digits.empty() || digits.size() > 8)
            return std::nullopt;
        std::uint32_t number = 0;
        for (char c : digits) {
            const int d = hexDigit(c);
            if (d < 0)
                return std::nullopt;
            number = number * 16 + static_cast<std::uint32_t>(d);
        }
        parsed.value = RegistryValue::number(number);
    } else if (isHexType(data)) {
        std::string text(data);
        while (!text.empty() && text.back() == '\\' && i + 1 < lines.size() &&
               !isBlank(lines[i + 1]) && lines[i + 1][0] != '[') {
            text += "\r\n";
            text += lines[++i];
        }
        parsed.value = RegistryValue{RegistryValue::Type::Other, std::move(text), 0};
    } else {
        return std::nullopt;
    }
    return parsed;
}

// The key path a section header names in this hive, if it is one of its sections.
std::optional<std::string> parseHeader(std::string_view line, std::string_view rootName,
                                       Fold fold) {
    if (line.size() < 2 || line.back() != ']')
        return std::nullopt;
    const std::string_view inner = line.substr(1, line.size() - 2);
    const std::size_t slash = inner.find('\\');
    if (fold(inner.substr(0, slash)) != fold(rootName))
        return std::nullopt;
    if (slash == std::string_view::npos)
        return std::string();
    return normalizeKeyPath(inner.substr(slash + 1));
}

// Adds an empty section for every ancestor that has none, just before its first descendant.
void addMissingAncestors(HiveFile& hive, Fold fold) {
    std::unordered_set<std::string> present;
    for (const Key& key : hive.keys) {
        if (!key.ignored)
            present.insert(key.folded);
    }
    std::vector<Key> keys;
    keys.reserve(hive.keys.size());
    for (Key& key : hive.keys) {
        if (!key.ignored) {
            for (std::size_t slash = key.path.find('\\'); slash != std::string::npos;
                 slash = key.path.find('\\', slash + 1)) {
                std::string ancestor = key.path.substr(0, slash);
                std::string folded = fold(ancestor);
                if (present.insert(folded).second) {
                    keys.push_back(Key{std::move(ancestor), std::move(folded), false, {}, {}});
                }
            }
        }
        keys.push_back(std::move(key));
    }
    hive.keys = std::move(keys);
}

}  // namespace

std::optional<std::string> normalizeKeyPath(std::string_view keyPath) {
    if (!keyPath.empty() && keyPath.back() == '\\')
        keyPath.remove_suffix(1);
    if (keyPath.find_first_of("\r\n") != std::string_view::npos)
        return std::nullopt;
    if (keyPath.empty())
        return std::string();
    std::size_t start = 0;
    for (std::size_t i = 0; i <= keyPath.size(); ++i) {
        if (i == keyPath.size() || keyPath[i] == '\\') {
            if (i == start)
                return std::nullopt;
            start = i + 1;
        }
    }
    return std::string(keyPath);
}

HiveFile parse(std::string_view bytes, std::string_view rootName, Fold fold) {
    HiveFile hive;
    const std::vector<std::string_view> lines = splitHiveLines(bytes);
    std::optional<std::size_t> current;  // index into hive.keys; none before the first section
    const auto keep = [&](std::string_view line) {
        if (current) {
            hive.keys[*current].entries.push_back({Entry::Kind::Kept, {}, {}, std::string(line)});
        } else {
            hive.preamble.emplace_back(line);
        }
    };
    const auto unreadable = [&](std::size_t index) {
        if (hive.unreadableLines++ == 0)
            hive.firstUnreadableLine = index + 1;
    };

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if ((i == 0 && line == "REGEDIT4") || isBlank(line))
            continue;
        if (line[0] == '[') {
            if (auto path = parseHeader(line, rootName, fold)) {
                std::string folded = fold(*path);
                if (const Key* existing = findKey(hive, folded)) {
                    current = static_cast<std::size_t>(existing - hive.keys.data());
                } else {
                    hive.keys.push_back(Key{std::move(*path), std::move(folded), false, {}, {}});
                    current = hive.keys.size() - 1;
                }
            } else {
                unreadable(i);
                hive.keys.push_back(Key{{}, {}, true, std::string(line), {}});
                current = hive.keys.size() - 1;
            }
            continue;
        }
        if (line[0] == ';' || (current && hive.keys[*current].ignored)) {
            keep(line);
            continue;
        }
        const std::size_t first = i;
        auto parsed = current ? parseValue(lines, i) : std::nullopt;
        if (!parsed) {
            unreadable(first);
            keep(line);
            continue;
        }
        Key& key = hive.keys[*current];
        if (Entry* existing = findValue(key, parsed->name, fold)) {
            existing->value = std::move(parsed->value);  // a later line for the same name wins
        } else {
            key.entries.push_back(
                {Entry::Kind::Value, std::move(parsed->name), std::move(parsed->value), {}});
        }
    }
    addMissingAncestors(hive, fold);
    return hive;
}

std::string serialize(const HiveFile& hive, std::string_view rootName) {
    std::string out = "REGEDIT4\r\n";
    for (const std::string& line : hive.preamble) {
        out += line;
        out += "\r\n";
    }
    out += "\r\n";
    for (const Key& key : hive.keys) {
        if (key.ignored) {
            out += key.header;
        } else {
            out += '[';
            out += rootName;
            if (!key.path.empty()) {
                out += '\\';
                out += key.path;
            }
            out += ']';
        }
        out += "\r\n";
        for (const Entry& entry : key.entries) {
            if (entry.kind == Entry::Kind::Kept) {
                out += entry.kept;
            } else {
                if (entry.name.empty()) {
                    out += '@';
                } else {
                    appendQuoted(out, entry.name);
                }
                out += '=';
                switch (entry.value.type) {
                    case RegistryValue::Type::String:
                        appendQuoted(out, entry.value.text);
                        break;
                    case RegistryValue::Type::Dword: {
                        char digits[16];
                        std::snprintf(digits, sizeof digits, "dword:%08x", entry.value.dword);
                        out += digits;
                        break;
                    }
                    case RegistryValue::Type::Other:
                        out += entry.value.text;
                        // A continuation that ended at a blank line keeps that line, so what
                        // follows is not read as part of it.
                        if (entry.value.text.back() == '\\')
                            out += "\r\n";
                        break;
                }
            }
            out += "\r\n";
        }
        out += "\r\n";
    }
    return out;
}

Key* findKey(HiveFile& hive, std::string_view folded) {
    for (Key& key : hive.keys) {
        if (!key.ignored && key.folded == folded)
            return &key;
    }
    return nullptr;
}

const Key* findKey(const HiveFile& hive, std::string_view folded) {
    return findKey(const_cast<HiveFile&>(hive), folded);
}

Entry* findValue(Key& key, std::string_view name, Fold fold) {
    const std::string folded = fold(name);
    for (Entry& entry : key.entries) {
        if (entry.kind == Entry::Kind::Value && fold(entry.name) == folded)
            return &entry;
    }
    return nullptr;
}

const Entry* findValue(const Key& key, std::string_view name, Fold fold) {
    return findValue(const_cast<Key&>(key), name, fold);
}

bool createKey(HiveFile& hive, std::string_view path, Fold fold) {
    bool changed = false;
    std::string parentPath;    // as spelled in the hive
    std::string parentFolded;  // "" is the root
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        std::string folded = fold(path.substr(0, end));
        if (const Key* existing = findKey(hive, folded)) {
            parentPath = existing->path;
        } else {
            // Placed after the parent's last descendant, so a key's sub-keys stay together.
            std::size_t insertAt = hive.keys.size();
            if (!parentFolded.empty()) {
                for (std::size_t k = 0; k < hive.keys.size(); ++k) {
                    const Key& key = hive.keys[k];
                    if (!key.ignored &&
                        (key.folded == parentFolded || isPrefixOf(parentFolded, key.folded))) {
                        insertAt = k + 1;
                    }
                }
            }
            std::string spelled = parentPath.empty() ? std::string() : parentPath + "\\";
            spelled += path.substr(start, end - start);
            hive.keys.insert(hive.keys.begin() + static_cast<std::ptrdiff_t>(insertAt),
                             Key{spelled, folded, false, {}, {}});
            parentPath = std::move(spelled);
            changed = true;
        }
        parentFolded = std::move(folded);
        start = end + 1;
    }
    return changed;
}

bool deleteKey(HiveFile& hive, std::string_view path, Fold fold) {
    if (path.empty())
        return false;
    const std::string folded = fold(path);
    const std::size_t before = hive.keys.size();
    std::erase_if(hive.keys, [&](const Key& key) {
        return !key.ignored && (key.folded == folded || isPrefixOf(folded, key.folded));
    });
    return hive.keys.size() != before;
}

void setValue(Key& key, std::string_view name, const RegistryValue& value, Fold fold) {
    if (Entry* existing = findValue(key, name, fold)) {
        existing->value = value;
    } else {
        key.entries.push_back({Entry::Kind::Value, std::string(name), value, {}});
    }
}

bool deleteValue(Key& key, std::string_view name, Fold fold) {
    Entry* existing = findValue(key, name, fold);
    if (existing == nullptr)
        return false;
    key.entries.erase(key.entries.begin() + (existing - key.entries.data()));
    return true;
}

std::vector<std::string> subKeyNames(const HiveFile& hive, std::string_view folded) {
    std::vector<std::string> names;
    const std::size_t childStart = folded.empty() ? 0 : folded.size() + 1;
    for (const Key& key : hive.keys) {
        if (key.ignored || key.path.empty() || !isPrefixOf(folded, key.folded))
            continue;
        if (key.folded.find('\\', childStart) != std::string::npos)
            continue;  // deeper down
        const std::size_t lastSlash = key.path.rfind('\\');
        names.push_back(lastSlash == std::string::npos ? key.path : key.path.substr(lastSlash + 1));
    }
    return names;
}

}  // namespace hg::hive
