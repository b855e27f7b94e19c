#include "accountstore/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace hg::text;

namespace {

// The rule written out independently of the table the library uses.
int expectedUpper(int b) {
    if (b >= 0x61 && b <= 0x7A)
        return b - 0x20;
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7)
        return b - 0x20;
    switch (b) {
        case 0x9A:
            return 0x8A;
        case 0x9C:
            return 0x8C;
        case 0x9E:
            return 0x8E;
        case 0xFF:
            return 0x9F;
        default:
            return b;
    }
}

}  // namespace

TEST(UpperCase, EveryByteFollowsTheRule) {
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(static_cast<unsigned char>(upperByte(static_cast<char>(b))), expectedUpper(b))
            << "byte " << b;
    }
}

TEST(UpperCase, StringsAndComparison) {
    EXPECT_EQ(upperCase("alice\xB5"
                        "5880"),
              "ALICE\xB5"
              "5880");
    EXPECT_EQ(upperCase("\xE6\xF7\xFF"), "\xC6\xF7\x9F");
    EXPECT_TRUE(equalIgnoringCase("Bob", "bOB"));
    EXPECT_FALSE(equalIgnoringCase("Bob", "Bob "));
    EXPECT_FALSE(equalIgnoringCase("Bob", "Bobby"));
    EXPECT_TRUE(equalIgnoringCase("\xE6GROUP\xE6lab", "\xC6GROUP\xC6LAB"));
    EXPECT_FALSE(equalIgnoringCase("", "x"));
    EXPECT_TRUE(
        startsWithIgnoringCase("user\xC6"
                               "ann",
                               "USER"));
    EXPECT_FALSE(startsWithIgnoringCase("use", "USER"));
}

TEST(Lines, ReaderCases) {
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\r\n", {"a\nb"}},
        {"\r\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\n", {"\n"}},
        {std::string("x\0y\r\n", 5), {std::string("x\0y", 3)}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> got;
        for (auto l : splitLines(c.bytes)) got.emplace_back(l);
        EXPECT_EQ(got, c.lines) << "input of " << c.bytes.size() << " bytes";
    }
}

TEST(Lines, WriterEndsEveryLineWithCrLf) {
    EXPECT_EQ(joinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(joinLines({}), "");
    EXPECT_TRUE(breaksLine("a\rb"));
    EXPECT_TRUE(breaksLine("a\nb"));
    EXPECT_FALSE(breaksLine("ab"));
}

TEST(CodePage, RoundTripsEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const auto back = utf8ToCp1252(cp1252ToUtf8(all));
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(*back, all);
}

TEST(CodePage, HighRangeAndRefusals) {
    EXPECT_EQ(cp1252ToUtf8("\x80\x9F\xB5"), "\u20AC\u0178\u00B5");
    const auto euro = utf8ToCp1252("\u20AC");
    ASSERT_TRUE(euro.ok());
    EXPECT_EQ(*euro, "\x80");

    const auto cyrillic = utf8ToCp1252("ab\u0416");
    ASSERT_FALSE(cyrillic.ok());
    EXPECT_EQ(cyrillic.error().offset, 2u);
    EXPECT_EQ(cyrillic.error().codePoint, U'\u0416');

    EXPECT_FALSE(utf8ToCp1252("\u0080").ok());    // 0x80 is the euro sign, not U+0080
    EXPECT_FALSE(utf8ToCp1252("\xC3").ok());      // truncated sequence
    EXPECT_FALSE(utf8ToCp1252("\xC0\xAF").ok());  // overlong
}
