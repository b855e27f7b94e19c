#include "accountstore/Text.h"

#include <array>
#include <cstring>

namespace hg::text {
namespace {

constexpr std::array<char, 256> makeUpperTable() {
    std::array<char, 256> table{};
    for (int b = 0; b < 256; ++b) {
        int u = b;
        if (b >= 'a' && b <= 'z')
            u = b - 0x20;
        else if (b >= 0xE0 && b <= 0xFE && b != 0xF7)
            u = b - 0x20;
        else if (b == 0x9A)
            u = 0x8A;
        else if (b == 0x9C)
            u = 0x8C;
        else if (b == 0x9E)
            u = 0x8E;
        else if (b == 0xFF)
            u = 0x9F;
        table[b] = static_cast<char>(u);
    }
    return table;
}
constexpr std::array<char, 256> kUpper = makeUpperTable();

}  // namespace

char upperByte(char c) {
    return kUpper[static_cast<unsigned char>(c)];
}

std::string upperCase(std::string_view s) {
    std::string out(s.size(), '\0');
    for (std::size_t i = 0; i < s.size(); ++i) out[i] = upperByte(s[i]);
    return out;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperByte(a[i]) != upperByte(b[i]))
            return false;
    }
    return true;
}

bool startsWithIgnoringCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && equalIgnoringCase(s.substr(0, prefix.size()), prefix);
}

std::vector<std::string_view> splitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    forEachLine(bytes, [&](std::string_view line) {
        lines.push_back(line);
        return true;
    });
    return lines;
}

void appendLine(std::string& out, std::string_view line) {
    out.append(line);
    out.append("\r\n");
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& l : lines) size += l.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& l : lines) appendLine(out, l);
    return out;
}

bool breaksLine(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace hg::text
