#include "storage/entries.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "storage/files.h"
#include "storage/numbers.h"
#include "storage/paths.h"

namespace storage {

namespace {

// Whether pos is a character boundary for a scan that stepped through the
// text from the boundary start: one byte for a byte below 0x80, two bytes
// for a byte with bit 7 set.
//
// The byte after any byte below 0x80 always starts a character: the byte is
// either a character of its own or the second byte of a pair. So only the
// run of bytes with bit 7 set right before pos matters; inside it every
// byte leads a pair, and pos is a boundary when the run's length is even.
bool IsCharacterBoundary(const char* text, std::size_t start, std::size_t pos)
{
    std::size_t runStart = pos;
    while (runStart > start && (static_cast<unsigned char>(text[runStart - 1]) & 0x80))
        --runStart;
    return (pos - runStart) % 2 == 0;
}

// Calls found(at) for every separator that stepping through the text one
// character at a time meets, in order, at offset at.
template <typename Found>
void ForEachSeparator(std::string_view text, Found&& found)
{
    const char* t = text.data();
    const std::size_t n = text.size();
    const std::size_t s = kEntrySeparator.size();
    std::size_t piece = 0;  // start of the current entry, always a character boundary
    std::size_t from = 0;   // where to look for the next separator

    // The separator begins with '=', which no second byte of a valid GBK pair
    // can be; look for it and check the rest and the alignment where found.
    while (n - from >= s) {
        const void* hit = std::memchr(t + from, kEntrySeparator.front(), n - from - s + 1);
        if (!hit)
            break;
        const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - t);
        if (std::memcmp(t + at, kEntrySeparator.data(), s) != 0 || !IsCharacterBoundary(t, piece, at)) {
            from = at + 1;
            continue;
        }
        found(at);
        piece = at + s;
        from = piece;
    }
}

// Folders with more entries than this are counted before the vector grows
// further.
constexpr std::size_t kCountRestAbove = std::size_t{1} << 20;

}  // namespace

std::vector<std::string_view> SplitEntryViews(std::string_view text)
{
    if (const void* zero = std::memchr(text.data(), '\0', text.size()))
        text = text.substr(0, static_cast<const char*>(zero) - text.data());

    std::vector<std::string_view> entries;
    std::size_t piece = 0;
    ForEachSeparator(text, [&](std::size_t at) {
        // A file of nothing but separators has 100,000 entries per MB, and
        // growing the vector step by step holds up to half as much again
        // while it moves them. Past a million entries, count the rest once
        // and grow one last time. Smaller folders need no second pass.
        if (entries.size() == entries.capacity() && entries.size() >= kCountRestAbove) {
            std::size_t rest = 0;
            ForEachSeparator(text.substr(at + kEntrySeparator.size()), [&](std::size_t) { ++rest; });
            entries.reserve(entries.size() + 1 + rest + 1);
        }
        entries.push_back(text.substr(piece, at - piece));
        piece = at + kEntrySeparator.size();
    });
    if (piece < text.size())
        entries.push_back(text.substr(piece));
    return entries;
}

std::vector<std::string> SplitEntries(std::string_view text)
{
    const std::vector<std::string_view> views = SplitEntryViews(text);
    return std::vector<std::string>(views.begin(), views.end());
}

namespace {

template <typename Text>
std::string Join(std::span<const Text> entries)
{
    std::size_t total = 0;
    for (const Text& entry : entries)
        total += entry.size() + kEntrySeparator.size();
    std::string content;
    content.reserve(total);
    for (const Text& entry : entries) {
        content.append(entry);
        content.append(kEntrySeparator);
    }
    return content;
}

}  // namespace

std::string JoinEntries(std::span<const std::string_view> entries)
{
    return Join(entries);
}

std::string JoinEntries(std::span<const std::string> entries)
{
    return Join(entries);
}

std::string EntryFilePath(std::int32_t folderIndex)
{
    return DataPath() + IntegerToText(folderIndex) + ".txt";
}

std::int32_t HighestFolderWithEntryFile()
{
    std::int32_t highest = -1;
    if (DataPath().empty())
        return highest;
    DIR* dir = ::opendir(DataPath().c_str());
    if (!dir)
        return highest;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name.size() <= 4 || name.substr(name.size() - 4) != ".txt")
            continue;
        name.remove_suffix(4);
        // Only names that EntryFilePath gives: the index as IntegerToText
        // writes it.
        const std::int32_t index = TextToInteger(name);
        if (index > highest && IntegerToText(index) == name)
            highest = index;
    }
    ::closedir(dir);
    return highest;
}

FolderFile ReadEntryFile(std::int32_t folderIndex)
{
    if (DataPath().empty())
        return {};
    const std::string path = EntryFilePath(folderIndex);
    std::unique_ptr<char[]> buffer;
    std::size_t size = 0;
    int error = 0;
    FolderFile file;
    if (!ReadWholeFile(path, buffer, size, error)) {
        if (IsMissing(error))
            return file;
        LogFailure("cannot read", path, error);
        file.unreadable = true;
        return file;
    }
    try {
        file.entries = SplitEntryViews(std::string_view(buffer.get(), size));
    } catch (const std::bad_alloc&) {
        LogFailure("cannot read", path, ENOMEM);
        file.unreadable = true;
        return file;
    }
    file.bytes = std::move(buffer);
    return file;
}

namespace {

template <typename Text>
bool WriteEntries(std::int32_t folderIndex, std::span<const Text> entries)
{
    if (DataPath().empty())
        return false;
    const std::string path = EntryFilePath(folderIndex);
    // A folder whose file could not be read was shown empty; writing over
    // that file would throw away everything it holds.
    if (const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); fd >= 0) {
        ::close(fd);
    } else if (!IsMissing(errno)) {
        LogFailure("will not write over the unreadable", path, errno);
        return false;
    }
    std::string content;
    try {
        content = JoinEntries(entries);
    } catch (const std::bad_alloc&) {
        LogFailure("cannot write", path, ENOMEM);
        return false;
    }
    return ReplaceFile(path, content);
}

}  // namespace

bool WriteEntryFile(std::int32_t folderIndex, std::span<const std::string_view> entries)
{
    return WriteEntries(folderIndex, entries);
}

bool WriteEntryFile(std::int32_t folderIndex, std::span<const std::string> entries)
{
    return WriteEntries(folderIndex, entries);
}

}  // namespace storage
