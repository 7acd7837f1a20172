#include "storage/ini.h"

#include <cstring>

namespace storage {

namespace {

unsigned char FoldAsciiCase(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// One line of the file. CR LF, LF and CR each end a line.
struct Line
{
    std::size_t begin = 0;    // first byte of the line
    std::size_t end = 0;      // one past its last byte, before the line end
    std::size_t next = 0;     // first byte of the following line
    std::string_view text;    // [begin, end)
};

class LineReader
{
public:
    explicit LineReader(std::string_view file) : m_file(file) {}

    bool next(Line& line)
    {
        if (m_pos >= m_file.size())
            return false;
        line.begin = m_pos;
        std::size_t i = m_pos;
        while (i < m_file.size() && m_file[i] != '\r' && m_file[i] != '\n')
            ++i;
        line.end = i;
        if (i < m_file.size()) {
            if (m_file[i] == '\r' && i + 1 < m_file.size() && m_file[i + 1] == '\n')
                ++i;
            ++i;
        }
        line.next = i;
        line.text = m_file.substr(line.begin, line.end - line.begin);
        m_pos = i;
        return true;
    }

private:
    std::string_view m_file;
    std::size_t m_pos = 0;
};

enum class LineKind { Blank, Section, Key, Other };

struct ParsedLine
{
    LineKind kind = LineKind::Other;
    std::string_view name;   // section name or key, trimmed
    std::string_view value;  // key lines: the value, trimmed and unquoted
};

ParsedLine Parse(std::string_view text)
{
    ParsedLine parsed;
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty()) {
        parsed.kind = LineKind::Blank;
        return parsed;
    }
    if (trimmed.front() == '[') {
        std::string_view name = trimmed.substr(1);
        if (const auto close = name.find(']'); close != std::string_view::npos)
            name = name.substr(0, close);
        parsed.kind = LineKind::Section;
        parsed.name = Trim(name);
        return parsed;
    }
    if (trimmed.front() == ';')
        return parsed;  // a comment
    const auto equals = text.find('=');
    if (equals == std::string_view::npos)
        return parsed;
    parsed.kind = LineKind::Key;
    parsed.name = Trim(text.substr(0, equals));
    std::string_view value = text.substr(equals + 1);
    if (const auto zero = value.find('\0'); zero != std::string_view::npos)
        value = value.substr(0, zero);
    value = Trim(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    parsed.value = value;
    return parsed;
}

}  // namespace

bool IniNamesEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x & 0x80) {
            // A double-byte character matches only itself; its second byte
            // may look like a letter but is never folded.
            if (x != y || (i + 1 < a.size() && a[i + 1] != b[i + 1]))
                return false;
            ++i;
            continue;
        }
        if (x != y && FoldAsciiCase(x) != FoldAsciiCase(y))
            return false;
    }
    return true;
}

std::string IniFoldName(std::string_view name)
{
    std::string folded(name);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto c = static_cast<unsigned char>(folded[i]);
        if (c & 0x80)
            ++i;  // skip the second byte of a double-byte character
        else
            folded[i] = static_cast<char>(FoldAsciiCase(c));
    }
    return folded;
}

void IniForEachKey(std::string_view file, std::string_view section,
                   const std::function<bool(std::string_view key, std::string_view value)>& visit)
{
    LineReader reader(file);
    Line line;
    bool inSection = false;
    while (reader.next(line)) {
        const ParsedLine parsed = Parse(line.text);
        if (parsed.kind == LineKind::Section) {
            if (inSection)
                return;  // only the first section of that name counts
            inSection = IniNamesEqual(parsed.name, section);
        } else if (inSection && parsed.kind == LineKind::Key) {
            if (!visit(parsed.name, parsed.value))
                return;
        }
    }
}

std::optional<std::string> IniGetValue(std::string_view file, std::string_view section,
                                       std::string_view key)
{
    std::optional<std::string> result;
    IniForEachKey(file, section, [&](std::string_view name, std::string_view value) {
        if (!IniNamesEqual(name, key))
            return true;
        result.emplace(value);
        return false;
    });
    return result;
}

std::string IniSetValue(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view value)
{
    // A value is one line: whatever follows a line break could only be read
    // back as lines of its own, keys or sections included.
    if (const auto cut = value.find_first_of(std::string_view("\r\n\0", 3)); cut != std::string_view::npos)
        value = value.substr(0, cut);

    std::string keyLine(key);
    keyLine += '=';
    keyLine += value;
    keyLine += "\r\n";

    LineReader reader(file);
    Line line;
    bool inSection = false;
    bool sectionFound = false;
    Line lastNonBlank;  // in the section, its header included
    while (reader.next(line)) {
        const ParsedLine parsed = Parse(line.text);
        if (parsed.kind == LineKind::Section) {
            if (inSection)
                break;
            inSection = IniNamesEqual(parsed.name, section);
            if (inSection) {
                sectionFound = true;
                lastNonBlank = line;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (parsed.kind == LineKind::Key && IniNamesEqual(parsed.name, key)) {
            // Overwrite: the key as spelled in the file, '=', the new value,
            // and the line's own line end.
            std::string result;
            result.reserve(file.size() + value.size() + parsed.name.size() + 1);
            result.append(file.substr(0, line.begin));
            result.append(parsed.name);
            result += '=';
            result.append(value);
            result.append(file.substr(line.end));
            return result;
        }
        if (parsed.kind != LineKind::Blank)
            lastNonBlank = line;
    }

    std::string result;
    result.reserve(file.size() + keyLine.size() + section.size() + 6);
    if (sectionFound) {
        // The new key goes right after the section's last non-blank line.
        result.append(file.substr(0, lastNonBlank.next));
        if (lastNonBlank.next == lastNonBlank.end)
            result += "\r\n";  // that line ended the file without a line end
        result.append(keyLine);
        result.append(file.substr(lastNonBlank.next));
        return result;
    }

    result.append(file);
    if (!file.empty() && file.back() != '\n' && file.back() != '\r')
        result += "\r\n";
    result += '[';
    result.append(section);
    result += "]\r\n";
    result.append(keyLine);
    return result;
}

}  // namespace storage
