// Code page 1252, the text of the suite's data, and UTF-8, the text of Linux and Qt.
//
// The five bytes without a character (0x81 0x8D 0x8F 0x90 0x9D) map to the control characters of
// the same number, so the conversion is lossless both ways.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/core/Expected.h"

namespace hg::codepage {

std::string cp1252ToUtf8(std::string_view cp1252);

struct Unrepresentable {
    std::size_t offset = 0;  // byte offset in the UTF-8 text
    char32_t codePoint = 0;  // 0xFFFFFFFF for a malformed UTF-8 sequence
};
// The first character code page 1252 cannot hold is reported, never replaced.
Expected<std::string, Unrepresentable> utf8ToCp1252(std::string_view utf8);

}  // namespace hg::codepage
