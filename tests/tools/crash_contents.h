#pragma once

// The two versions of a folder and of a setting that the crash writer
// saves in turn. Their sizes differ, so that a torn write shows.

#include <string>
#include <vector>

#include "storage/settings.h"

namespace crashtest {

inline std::vector<std::string> Entries(bool second)
{
    std::vector<std::string> entries;
    const int count = second ? 1500 : 2000;
    for (int i = 0; i < count; ++i) {
        std::string entry = (second ? "second \xB0\xE6\xB1\xBE " : "first \xB0\xE6\xB1\xBE ") + std::to_string(i);
        entry.append(static_cast<std::size_t>(40 + i % 90), second ? 'b' : 'a');
        entry += "\r\n";
        entries.push_back(std::move(entry));
    }
    return entries;
}

// Written to the name key of folder 0.
inline const std::string& SettingKey()
{
    static const std::string key = storage::FolderNameKey(0);
    return key;
}

inline std::string SettingValue(bool second)
{
    return second ? std::string(3000, 'N') : std::string("\xC4\xDA\xC8\xDD");
}

}  // namespace crashtest
