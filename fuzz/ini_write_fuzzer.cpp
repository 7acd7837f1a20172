// The settings writer on any existing file: setting a key gives back the
// value written, leaves every other key's value as it was, changes bytes of
// one line only, and writing the same value again changes nothing.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "check.h"
#include "storage/ini.h"
#include "storage/settings.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool HasLineBreakOrZero(std::string_view s)
{
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A value the settings file can carry unchanged: one line, no blanks around
// it, not wrapped in a pair of quotes.
bool IsPlainValue(std::string_view v)
{
    if (HasLineBreakOrZero(v))
        return false;
    if (!v.empty() && (IsBlank(v.front()) || IsBlank(v.back())))
        return false;
    return !(v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front());
}

// A key that reads back as itself: one line, no '=', no blanks around it, and
// not taken for a section or a comment.
bool IsPlainKey(std::string_view k)
{
    if (k.empty() || HasLineBreakOrZero(k) || k.find('=') != std::string_view::npos)
        return false;
    return !IsBlank(k.front()) && !IsBlank(k.back()) && k.front() != '[' && k.front() != ';';
}

// Every name that may be a section of the file: for each line whose first
// non-blank byte is '[', the text after it up to ']' or the line's end,
// trimmed; more names do no harm.
std::set<std::string> SectionNames(std::string_view file, std::string_view wanted)
{
    std::set<std::string> names{std::string(wanted)};
    bool lineStart = true;
    for (std::size_t at = 0; at < file.size(); ++at) {
        const char c = file[at];
        if (c == '\r' || c == '\n') {
            lineStart = true;
            continue;
        }
        if (lineStart && IsBlank(c))
            continue;
        if (lineStart && c == '[') {
            const std::size_t end = file.find_first_of("]\r\n", at + 1);
            std::string_view name = file.substr(at + 1, end == std::string_view::npos ? std::string_view::npos : end - at - 1);
            while (!name.empty() && IsBlank(name.front()))
                name.remove_prefix(1);
            while (!name.empty() && IsBlank(name.back()))
                name.remove_suffix(1);
            names.emplace(name);
        }
        lineStart = false;
    }
    return names;
}

// The value each key of a section reads as, by its folded name (equal
// names fold alike; the reader's fuzz target holds that).
std::map<std::string, std::string> Values(std::string_view file, std::string_view section)
{
    std::map<std::string, std::string> values;
    storage::IniForEachKey(file, section, [&](std::string_view k, std::string_view v) {
        values.try_emplace(storage::IniFoldName(k), v);  // the first of equal keys wins
        return true;
    });
    return values;
}

// Every key's value in a section, other than the one written.
void CheckOtherKeysKept(std::string_view before, std::string_view after, std::string_view section,
                        std::string_view written, std::string_view key)
{
    std::map<std::string, std::string> old = Values(before, section);
    std::map<std::string, std::string> now = Values(after, section);
    if (storage::IniNamesEqual(section, written)) {
        old.erase(storage::IniFoldName(key));
        now.erase(storage::IniFoldName(key));
    }
    FUZZ_CHECK(old == now);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);

    // The keys the program writes, and any other key.
    std::string key;
    switch (fuzz::TakeByte(input) % 5) {
    case 0: key = storage::kFolderCountKey; break;
    case 1: key = storage::FolderNameKey(fuzz::TakeByte(input)); break;
    case 2: key = storage::kWindowWidthKey; break;
    case 3: key = storage::kWindowHeightKey; break;
    default: key = fuzz::TakeField(input); break;
    }
    const std::string_view value = fuzz::TakeField(input);
    const std::string_view section = storage::kSettingsSection;
    const std::string_view file = input;
    if (!IsPlainKey(key) || !IsPlainValue(value))
        return 0;

    const std::string after = storage::IniSetValue(file, section, key, value);
    FUZZ_CHECK(storage::IniGetValue(after, section, key) == std::string(value));
    FUZZ_CHECK(storage::IniSetValue(after, section, key, value) == after);

    for (const std::string& name : SectionNames(file, section))
        CheckOtherKeysKept(file, after, name, section, key);

    // Bytes change in one line at most: what the old file loses holds no
    // line break.
    std::size_t prefix = 0;
    while (prefix < file.size() && prefix < after.size() && file[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < file.size() - prefix && suffix < after.size() - prefix &&
           file[file.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const std::string_view lost = file.substr(prefix, file.size() - prefix - suffix);
    FUZZ_CHECK(lost.find_first_of("\r\n") == std::string_view::npos);
    return 0;
}
