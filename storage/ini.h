#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace storage {

// The INI layout of the settings file, on a file's bytes, read and written
// the way the Windows profile functions do it on code-page-936 text:
// - CR LF, LF and CR each end a line;
// - "[name]" opens a section (blanks inside the brackets trimmed, a missing
//   ']' ends the name at the line's end, text after ']' ignored);
// - "key=value" is a key line, both sides trimmed of spaces and tabs, later
//   '=' belonging to the value; a value in matching quotes loses them, and
//   ends at a zero byte;
// - a line starting with ';' is a comment;
// - names match case-insensitively in the ASCII letters only;
// - the first matching section, and in it the first matching key, win.

// Compares section or key names as the profile functions do.
bool IniNamesEqual(std::string_view a, std::string_view b);
// A name with its ASCII letters folded, so that names equal by
// IniNamesEqual fold to the same bytes.
std::string IniFoldName(std::string_view name);

// Calls visit for each key line of the first section named section, in file
// order, until visit gives false.
void IniForEachKey(std::string_view file, std::string_view section,
                   const std::function<bool(std::string_view key, std::string_view value)>& visit);

// The value of key in section, or nothing when the section or key is missing.
std::optional<std::string> IniGetValue(std::string_view file, std::string_view section,
                                       std::string_view key);

// The file's bytes with key in section set to value; every byte the change
// does not need stays as it was. An existing key's line is rewritten in
// place, a new key goes after its section's last non-blank line, a missing
// section is appended at the end. A value is cut at its first line break.
std::string IniSetValue(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace storage
