#include "storage/numbers.h"

#include <charconv>

namespace storage {

namespace {

// Full-width forms fold to the ASCII characters they stand for: the GBK row
// 0xA3 holds full-width printable ASCII, and a few signs live in row 0xA1.
// Returns 0 for a character that does not fold.
char FoldFullWidth(unsigned char lead, unsigned char trail)
{
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
        return static_cast<char>(trail - 0x80);
    if (lead == 0xA1) {
        switch (trail) {
        case 0xA1: return ' ';   // ideographic space
        case 0xAB: return '~';
        case 0xEE:
        case 0xEF: return '*';
        default: break;
        }
    }
    return 0;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::int32_t TextToInteger(std::string_view text)
{
    // Only a leading number matters, so fold character by character and stop
    // at the first character that cannot belong to it.
    bool inNumber = false;  // past the blanks: a sign or a digit was seen
    bool negative = false;
    std::uint32_t value = 0;

    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        char c;
        if (byte & 0x80) {
            if (i + 1 == text.size())
                break;  // a lead byte without its trail ends the text
            c = FoldFullWidth(byte, static_cast<unsigned char>(text[i + 1]));
            i += 2;
            if (c == 0)
                break;  // any other double-byte character ends the number
        } else {
            c = static_cast<char>(byte);
            i += 1;
        }

        if (!inNumber && IsBlank(c))
            continue;
        if (!inNumber && (c == '+' || c == '-')) {
            negative = (c == '-');
            inNumber = true;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        inNumber = true;
        value = value * 10u + static_cast<std::uint32_t>(c - '0');  // wraps modulo 2^32
    }

    if (negative)
        value = 0u - value;
    return static_cast<std::int32_t>(value);
}

std::string IntegerToText(std::int32_t n)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
    return std::string(buffer, result.ptr);
}

}  // namespace storage
