// ASCII-only case rules for the system's own names (file names on disk, program names, hive
// syntax), which are not account text and so do not follow the code page 1252 rule.
#pragma once

#include <cstddef>
#include <string_view>

namespace hg::ascii {

constexpr char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c;
}

constexpr bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

constexpr bool startsWithIgnoringCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && equalIgnoringCase(s.substr(0, prefix.size()), prefix);
}

constexpr bool endsWithIgnoringCase(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() &&
           equalIgnoringCase(s.substr(s.size() - suffix.size()), suffix);
}

}  // namespace hg::ascii
