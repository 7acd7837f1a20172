#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

// Every entry in a folder file is followed by this separator, "=内容分割="
// in code page 936.
inline constexpr std::string_view kEntrySeparator{"=\xC4\xDA\xC8\xDD\xB7\xD6\xB8\xEE=", 10};

// A folder file as read: its bytes in one block, and every entry as a view
// into them. The views stay valid as long as someone holds the block.
struct FolderFile
{
    std::shared_ptr<const char[]> bytes;
    std::vector<std::string_view> entries;
    // The file is there but could not be read: it may hold entries that
    // are not among these.
    bool unreadable = false;
};

// Splits a folder file's text into its entries, as views into the text. The
// separator is found only at character boundaries, stepping through the
// text one code-page-936 character at a time from its start; a text that
// ends with the separator gives no empty entry after it. The text is cut at
// its first zero byte.
std::vector<std::string_view> SplitEntryViews(std::string_view text);
// The same, each entry copied.
std::vector<std::string> SplitEntries(std::string_view text);

// Every entry followed by the separator, in one piece.
std::string JoinEntries(std::span<const std::string_view> entries);
std::string JoinEntries(std::span<const std::string> entries);

// The entry file of a folder: data path + number + ".txt".
std::string EntryFilePath(std::int32_t folderIndex);

// The highest folder index that has an entry file, or -1 when none has.
std::int32_t HighestFolderWithEntryFile();

// The folder's entries; none when the file is missing, unreadable or empty.
FolderFile ReadEntryFile(std::int32_t folderIndex);

// Replaces the folder's file atomically with the entries. False, with one
// line on standard error, when the file could not be replaced; the old file
// is then whole.
bool WriteEntryFile(std::int32_t folderIndex, std::span<const std::string_view> entries);
bool WriteEntryFile(std::int32_t folderIndex, std::span<const std::string> entries);

}  // namespace storage
