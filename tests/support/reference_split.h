#pragma once

// The split of a folder file stated as plainly as possible: step through the
// text one code-page-936 character at a time from its start and compare with
// the separator at every step. The fast split must agree with it on every
// input.

#include <string>
#include <string_view>
#include <vector>

#include "storage/entries.h"

namespace testing_support {

inline std::vector<std::string> ReferenceSplit(std::string_view input)
{
    const std::string_view s = storage::kEntrySeparator;
    const std::string text(input.substr(0, input.find('\0')));
    std::vector<std::string> out;
    if (text.empty())
        return out;
    std::size_t p = 0, c = 0;
    while (text.size() - c >= s.size()) {
        if (text.compare(c, s.size(), s) == 0) {
            out.push_back(text.substr(p, c - p));
            c += s.size();
            p = c;
        } else if (static_cast<unsigned char>(text[c]) & 0x80) {
            if (c + 1 == text.size())
                break;
            c += 2;
        } else {
            c += 1;
        }
    }
    if (p < text.size())
        out.push_back(text.substr(p));
    return out;
}

}  // namespace testing_support
