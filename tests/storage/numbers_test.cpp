#include "storage/numbers.h"

#include <climits>

#include <gtest/gtest.h>

namespace {

struct IntegerCase
{
    const char* name;
    std::string text;
    std::int32_t expected;
};

TEST(TextToInteger, ReadsSettingsValues)
{
    const IntegerCase cases[] = {
        {"empty", "", 0},
        {"plain", "1043", 1043},
        {"blanks sign and trailing letters", " \t\r\n\v\f-37abc", -37},
        {"plus sign", "+12", 12},
        {"blank after the sign ends it", "- 5", 0},
        {"two signs", "--5", 0},
        {"letters first", "abc12", 0},
        {"hexadecimal is not read", "0x1F", 0},
        {"no decimal point", "12.9", 12},
        {"leading zeros", "007", 7},
        {"full-width digits", "\xA3\xB1\xA3\xB2\xA3\xB3", 123},
        {"full-width minus and digits", "\xA3\xAD\xA3\xB4\xA3\xB2", -42},
        {"full-width plus", "\xA3\xAB" "9", 9},
        {"ideographic space is a blank", "\xA1\xA1\xA1\xA1" "8", 8},
        {"mixed widths", "1\xA3\xB0" "0", 100},
        {"a Chinese character ends the number", "12\xD7\xD3" "3", 12},
        {"a lone lead byte at the end is dropped", "77\xA3", 77},
        {"largest", "2147483647", INT_MAX},
        {"smallest", "-2147483648", INT_MIN},
        {"wraps past the top", "2147483648", INT_MIN},
        {"wraps modulo 2^32", "4294967297", 1},
        {"wraps many times", "99999999999", 1215752191},
        {"negated after wrapping", "-4294967295", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(storage::TextToInteger(c.text), c.expected) << c.name;
}

TEST(IntegerToText, SignedDecimalWithoutDecoration)
{
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0"}, {5, "5"}, {-5, "-5"}, {1043, "1043"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"},
    };
    for (const auto& [n, text] : cases) {
        EXPECT_EQ(storage::IntegerToText(n), text);
        EXPECT_EQ(storage::TextToInteger(storage::IntegerToText(n)), n);
    }
}

}  // namespace
