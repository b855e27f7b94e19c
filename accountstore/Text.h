// Text rules of the account data: code page 1252 bytes, upper-casing, lines ended by CR or CR LF.
//
// Account data are std::string holding code page 1252. These are the one implementation of each
// rule; everything that reads, writes, compares or shows account text goes through them.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/CodePage1252.h"

namespace hg::text {

// a-z -> A-Z; 0xE0-0xFE except 0xF7 lose 0x20; 0x9A->0x8A, 0x9C->0x8C, 0x9E->0x8E, 0xFF->0x9F.
char upperByte(char c);
std::string upperCase(std::string_view s);
// Both sides upper-cased and compared whole.
bool equalIgnoringCase(std::string_view a, std::string_view b);
// The first prefix.size() bytes of s equal prefix ignoring case (false when s is shorter).
bool startsWithIgnoringCase(std::string_view s, std::string_view prefix);

// A line ends at CR or CR LF; LF alone is data; a last line without an end still counts; an empty
// text has no lines. The views point into `bytes`.
std::vector<std::string_view> splitLines(std::string_view bytes);
// The same rule, one line at a time without building the list: visit(line) returns false to stop.
template <class Visit>
void forEachLine(std::string_view bytes, Visit&& visit) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        const void* cr = std::memchr(bytes.data() + start, '\r', bytes.size() - start);
        if (cr == nullptr) {
            visit(bytes.substr(start));
            return;
        }
        const auto end = static_cast<std::size_t>(static_cast<const char*>(cr) - bytes.data());
        if (!visit(bytes.substr(start, end - start)))
            return;
        start = end + 1;
        if (start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
}
// Appends the line and CR LF.
void appendLine(std::string& out, std::string_view line);
// Every line followed by CR LF.
std::string joinLines(const std::vector<std::string>& lines);
// True when the text holds a CR or LF, so it cannot be stored as one line.
bool breaksLine(std::string_view s);

// The conversion at the edge of the user interface.
using codepage::cp1252ToUtf8;
using codepage::Unrepresentable;
using codepage::utf8ToCp1252;

}  // namespace hg::text
