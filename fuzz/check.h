#pragma once

// What the fuzz targets share: a check that stops the run with the failed
// condition, and taking an input apart into fields.

#include <cstdio>
#include <cstdlib>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                    \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                        \
        }                                                                                        \
    } while (0)

namespace fuzz {

// Takes a field from the front of data: one byte gives its length, the bytes
// after it are the field (fewer when data runs out).
inline std::string_view TakeField(std::string_view& data)
{
    if (data.empty())
        return {};
    const std::size_t length = static_cast<unsigned char>(data.front());
    data.remove_prefix(1);
    const std::string_view field = data.substr(0, length);
    data.remove_prefix(field.size());
    return field;
}

inline unsigned char TakeByte(std::string_view& data)
{
    if (data.empty())
        return 0;
    const auto byte = static_cast<unsigned char>(data.front());
    data.remove_prefix(1);
    return byte;
}

}  // namespace fuzz
