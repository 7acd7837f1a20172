#pragma once

// Texts many tests share: the settings file's section and keys, and a few
// words in code page 936.

#include <string>

#include "storage/settings.h"

namespace testing_support::texts {

inline const std::string kSection(storage::kSettingsSection);
inline const std::string kCount(storage::kFolderCountKey);
inline const std::string kWidth(storage::kWindowWidthKey);
inline const std::string kHeight(storage::kWindowHeightKey);

// The name key of a folder.
inline std::string Name(int folder)
{
    return storage::FolderNameKey(folder);
}

inline const std::string kCommon = "\xB3\xA3\xD3\xC3";         // 常用
inline const std::string kAfterSale = "\xCA\xDB\xBA\xF3";      // 售后
inline const std::string kHello = "\xC4\xFA\xBA\xC3\xA3\xA1";  // 您好！

}  // namespace testing_support::texts
