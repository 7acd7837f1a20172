#pragma once

// Folder data the size a heavy user reaches: entries of about 200 bytes of
// mixed ASCII and GBK text, made up at run time.

#include <random>
#include <string>
#include <vector>

namespace benchsupport {

inline std::vector<std::string> MakeEntries(std::size_t count, unsigned seed = 1)
{
    std::mt19937 random(seed);
    std::vector<std::string> entries;
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::string e;
        while (e.size() < 190 + random() % 20) {
            if (random() % 3 == 0) {
                e += static_cast<char>('a' + random() % 26);
                if (random() % 8 == 0)
                    e += ' ';
            } else {
                e += static_cast<char>(0xB0 + random() % 0x48);  // GB2312 hanzi rows
                e += static_cast<char>(0xA1 + random() % 0x5E);
            }
            if (random() % 40 == 0)
                e += "\r\n";
        }
        entries.push_back(std::move(e));
    }
    return entries;
}

}  // namespace benchsupport
