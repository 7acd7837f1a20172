#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

// The one section of the settings file, "启动窗口".
inline constexpr std::string_view kSettingsSection{"\xC6\xF4\xB6\xAF\xB4\xB0\xBF\xDA", 8};

// Keys of the settings file.
inline constexpr std::string_view kFolderCountKey{"\xD7\xD3\xBC\xD0\xCA\xFD", 6};      // 子夹数
inline constexpr std::string_view kFolderNameKeyPrefix{"\xD7\xD3\xBC\xD0\xC3\xFB", 6};  // 子夹名
inline constexpr std::string_view kWindowWidthKey{"\xB4\xB0\xBF\xDA\xBF\xED\xB6\xC8", 8};   // 窗口宽度
inline constexpr std::string_view kWindowHeightKey{"\xB4\xB0\xBF\xDA\xB8\xDF\xB6\xC8", 8};  // 窗口高度

// A folder's name key: "子夹名" followed by its index.
std::string FolderNameKey(std::int32_t folderIndex);

// Longest value a read gives back; longer values are cut to this length.
inline constexpr std::size_t kMaxSettingLength = 10239;

// The key's value in the settings file as it is now; empty when the file,
// the section or the key is missing.
std::string ReadSetting(std::string_view key);

// Sets the key in place, creating the file or the key as needed; every other
// byte of the file stays. False, with one line on standard error, when the
// file could not be replaced.
bool WriteSetting(std::string_view key, std::string_view value);

// The values of several keys from one reading of the file, in the order of
// the keys; what ReadSetting gives for each, without reading the file again
// for every key.
std::vector<std::string> ReadSettings(std::span<const std::string> keys);

// The highest folder index that has a name key, or -1 when none has.
std::int32_t HighestNamedFolder();

std::int32_t ReadSettingNumber(std::string_view key);
bool WriteSettingNumber(std::string_view key, std::int32_t value);

}  // namespace storage
