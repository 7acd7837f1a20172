#pragma once

#include <QTemporaryDir>

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testing_support {

// A data directory of its own: XDG_DATA_HOME points into a fresh temporary
// folder for as long as this lives, so the program finds its DATA there.
class DataDir
{
public:
    DataDir();
    ~DataDir();

    // The folder that XDG_DATA_HOME names.
    std::string Home() const;
    // DATA itself, with a trailing '/'.
    std::string Path() const;

    void Write(const std::string& name, std::string_view bytes) const;
    // Every file in DATA with its bytes.
    std::map<std::string, std::string> Files() const;

private:
    QTemporaryDir m_home;
    QByteArray m_savedHome;
    bool m_hadHome = false;
};

// A settings file with the section and these key lines, in code page 936.
std::string SettingsFile(const std::vector<std::pair<std::string, std::string>>& keys);

// An entry file: every entry followed by the separator.
std::string EntryFile(const std::vector<std::string>& entries);

}  // namespace testing_support
