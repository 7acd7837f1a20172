#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace storage {

// Reads a decimal number the way every settings value is read: full-width
// forms folded to ASCII, leading blanks skipped, one optional sign, then the
// digits, in 32-bit arithmetic that wraps silently. Never fails: no digits
// give 0.
std::int32_t TextToInteger(std::string_view text);

// Signed decimal without leading zeros, grouping or plus sign.
std::string IntegerToText(std::int32_t n);

}  // namespace storage
