#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// Rows of the entry list as strings, to compare with expected texts.
inline std::vector<std::string> Strings(const std::vector<std::string_view>& rows)
{
    return std::vector<std::string>(rows.begin(), rows.end());
}

}  // namespace testing_support
