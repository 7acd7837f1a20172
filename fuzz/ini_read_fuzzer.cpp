// The settings reader on any bytes: a section name, a key and a file, each
// taken from the input.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "check.h"
#include "storage/ini.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view section = fuzz::TakeField(input);
    const std::string_view key = fuzz::TakeField(input);
    const std::string_view file = input;

    const std::optional<std::string> value = storage::IniGetValue(file, section, key);

    // The value is the one of the first key of that name in the section, as
    // a walk over the section's keys sees it.
    std::optional<std::string> first;
    storage::IniForEachKey(file, section, [&](std::string_view k, std::string_view v) {
        // A value never holds a line break or a zero byte.
        FUZZ_CHECK(v.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);
        // Names that compare equal fold to the same bytes, and only those:
        // the settings reader looks keys up by their folded form.
        const bool equal = storage::IniNamesEqual(k, key);
        FUZZ_CHECK(equal == storage::IniNamesEqual(key, k));
        FUZZ_CHECK(equal == (storage::IniFoldName(k) == storage::IniFoldName(key)));
        if (equal && !first)
            first.emplace(v);
        return true;
    });
    FUZZ_CHECK(value == first);
    return 0;
}
