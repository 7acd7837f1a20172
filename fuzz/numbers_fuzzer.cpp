// TextToInteger against its rules applied one after the other, and
// IntegerToText against printf, on any bytes.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "check.h"
#include "storage/numbers.h"

namespace {

// First fold the whole text, then read the number from the folded bytes.
std::int32_t ReferenceTextToInteger(std::string_view text)
{
    std::string folded;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (!(lead & 0x80)) {
            folded += text[i];
            i += 1;
            continue;
        }
        if (i + 1 == text.size())
            break;  // a lead byte at the very end is dropped
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
            folded += static_cast<char>(trail - 0x80);
        else if (lead == 0xA1 && trail == 0xA1)
            folded += ' ';
        else if (lead == 0xA1 && trail == 0xAB)
            folded += '~';
        else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF))
            folded += '*';
        else
            folded.append(text.substr(i, 2));
        i += 2;
    }

    std::size_t i = 0;
    while (i < folded.size() && std::strchr(" \t\n\v\f\r", folded[i]) && folded[i] != '\0')
        ++i;
    bool negative = false;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-'))
        negative = folded[i++] == '-';
    std::uint32_t value = 0;
    while (i < folded.size() && folded[i] >= '0' && folded[i] <= '9')
        value = value * 10u + static_cast<std::uint32_t>(folded[i++] - '0');
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(storage::TextToInteger(text) == ReferenceTextToInteger(text));

    if (size >= 4) {
        std::int32_t n;
        std::memcpy(&n, data, sizeof n);
        char expected[16];
        std::snprintf(expected, sizeof expected, "%d", static_cast<int>(n));
        const std::string written = storage::IntegerToText(n);
        FUZZ_CHECK(written == expected);
        FUZZ_CHECK(storage::TextToInteger(written) == n);
    }
    return 0;
}
