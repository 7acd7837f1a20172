#include "storage/settings.h"

#include <cerrno>
#include <unordered_map>
#include <utility>
#include <vector>

#include "storage/files.h"
#include "storage/ini.h"
#include "storage/numbers.h"
#include "storage/paths.h"

namespace storage {

namespace {

// Start-up reads one key after another from the same file. Every read looks
// at the file as it is at that moment, but parsing it again is needed only
// when its bytes differ from the last ones parsed.
class SettingsIndex
{
public:
    const std::string* find(const std::string& file, std::string_view key)
    {
        if (!m_valid || file != m_file) {
            m_file = file;
            m_values.clear();
            IniForEachKey(m_file, kSettingsSection, [this](std::string_view k, std::string_view v) {
                m_values.try_emplace(IniFoldName(k), v);  // the first of equal keys wins
                return true;
            });
            m_valid = true;
        }
        const auto it = m_values.find(IniFoldName(key));
        return it == m_values.end() ? nullptr : &it->second;
    }

private:
    bool m_valid = false;
    std::string m_file;
    std::unordered_map<std::string, std::string> m_values;
};

SettingsIndex& Index()
{
    static SettingsIndex index;
    return index;
}

// A window drag writes the same two keys many times a second, and every
// write finds that the file would stay as it is. With one name key per
// folder the file can grow to megabytes, and finding that out anew is the
// whole cost of each write. This remembers the bytes of the file the last
// such write saw, and the values that are known to leave exactly those
// bytes as they are; any other byte in the file makes it start afresh.
class UnchangedWrites
{
public:
    bool Known(const std::string& file, std::string_view key, std::string_view value) const
    {
        if (file != m_file)
            return false;
        for (const auto& [k, v] : m_values)
            if (k == key)
                return v == value;
        return false;
    }

    void Remember(const std::string& file, std::string_view key, std::string_view value)
    {
        if (file != m_file) {
            m_file = file;
            m_values.clear();
        }
        for (auto& [k, v] : m_values) {
            if (k == key) {
                v = value;
                return;
            }
        }
        m_values.emplace_back(key, value);
    }

private:
    std::string m_file;
    std::vector<std::pair<std::string, std::string>> m_values;
};

UnchangedWrites& Unchanged()
{
    static UnchangedWrites unchanged;
    return unchanged;
}

}  // namespace

std::string FolderNameKey(std::int32_t folderIndex)
{
    std::string key(kFolderNameKeyPrefix);
    key += IntegerToText(folderIndex);
    return key;
}

std::string ReadSetting(std::string_view key)
{
    const std::string& path = SettingsPath();
    if (path.empty())
        return {};
    const std::optional<std::string> file = ReadWholeFile(path);
    if (!file)
        return {};
    const std::string* value = Index().find(*file, key);
    if (!value)
        return {};
    return value->substr(0, kMaxSettingLength);
}

bool WriteSetting(std::string_view key, std::string_view value)
{
    const std::string& path = SettingsPath();
    if (path.empty())
        return false;
    int error = 0;
    const std::optional<std::string> file = ReadWholeFile(path, error);
    if (!file && error != ENOENT) {
        // Starting afresh would throw away whatever the file holds.
        LogFailure("cannot write", path, error);
        return false;
    }
    if (file && Unchanged().Known(*file, key, value))
        return true;
    std::string updated = IniSetValue(file.value_or(std::string()), kSettingsSection, key, value);
    // A write that changes no byte need not touch the disk: a window drag
    // rewrites the same size many times a second.
    if (file && updated == *file) {
        Unchanged().Remember(*file, key, value);
        return true;
    }
    return ReplaceFile(path, updated);
}

std::vector<std::string> ReadSettings(std::span<const std::string> keys)
{
    std::vector<std::string> values(keys.size());
    const std::string& path = SettingsPath();
    if (path.empty())
        return values;
    const std::optional<std::string> file = ReadWholeFile(path);
    if (!file)
        return values;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (const std::string* value = Index().find(*file, keys[i]))
            values[i] = value->substr(0, kMaxSettingLength);
    }
    return values;
}

std::int32_t HighestNamedFolder()
{
    const std::string& path = SettingsPath();
    if (path.empty())
        return -1;
    const std::optional<std::string> file = ReadWholeFile(path);
    if (!file)
        return -1;
    std::int32_t highest = -1;
    IniForEachKey(*file, kSettingsSection, [&](std::string_view key, std::string_view) {
        // A name key is the prefix and a folder index as IntegerToText
        // writes it; anything else only looks like one.
        const std::string_view prefix = key.substr(0, kFolderNameKeyPrefix.size());
        if (key.size() <= prefix.size() || !IniNamesEqual(prefix, kFolderNameKeyPrefix))
            return true;
        const std::string_view number = key.substr(kFolderNameKeyPrefix.size());
        const std::int32_t index = TextToInteger(number);
        if (index > highest && IntegerToText(index) == number)
            highest = index;
        return true;
    });
    return highest;
}

std::int32_t ReadSettingNumber(std::string_view key)
{
    return TextToInteger(ReadSetting(key));
}

bool WriteSettingNumber(std::string_view key, std::int32_t value)
{
    return WriteSetting(key, IntegerToText(value));
}

}  // namespace storage
