#pragma once

#include <cerrno>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace storage {

// The whole file, or nothing when it is missing or cannot be read (one line
// on standard error unless it is simply missing). Only regular files are
// read: a directory, a pipe or a device gives nothing, at once, and so does
// a file larger than memory can hold.
std::optional<std::string> ReadWholeFile(const std::string& path);
// The same without a word on standard error: error tells why nothing came
// (ENOENT for a missing file).
std::optional<std::string> ReadWholeFile(const std::string& path, int& error);
// The same into a plain buffer, for files too large to copy twice.
bool ReadWholeFile(const std::string& path, std::unique_ptr<char[]>& buffer, std::size_t& size,
                   int& error);

// Writes the content to a temporary file beside path, flushes it to disk and
// renames it over path, keeping the old file's mode. A file nobody may write
// is refused, and so is anything in path's place that is not a regular file
// (a directory, a pipe, a device). On failure the old file stays whole, the
// temporary file is removed, one line goes to standard error, and the result
// is false.
bool ReplaceFile(const std::string& path, std::string_view content);

// A temporary file is named "." + the target's name + kTemporaryMarker + six
// letters or digits, so that leftovers of a crash can be told from anything
// else in the folder.
inline constexpr std::string_view kTemporaryMarker = ".tovrimo-";
bool IsTemporaryFileName(std::string_view name);

// Removes the temporary files that an interrupted write left in directory,
// and nothing else: not the one a write of another running copy is still
// working on.
void RemoveLeftoverTemporaryFiles(const std::string& directory);

// Whether a read failed only because the file is not there (nor the folder
// it would be in): nothing to report.
inline bool IsMissing(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

// One line on standard error: "tovrimo: <what> <path>: <reason>".
void LogFailure(std::string_view what, std::string_view path, int error);

}  // namespace storage
