#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/entries.h"

namespace testing_support {

// Rows of the entry list as strings, to compare with expected texts.
inline std::vector<std::string> Strings(const std::vector<std::string_view>& rows)
{
    return std::vector<std::string>(rows.begin(), rows.end());
}

// A folder's entries as read, copied out of the file's block.
inline std::vector<std::string> ReadEntries(std::int32_t folder)
{
    return Strings(storage::ReadEntryFile(folder).entries);
}

}  // namespace testing_support
