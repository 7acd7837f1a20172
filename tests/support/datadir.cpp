#include "support/datadir.h"

#include <QDir>
#include <QFile>

#include <fstream>
#include <iterator>

#include "storage/entries.h"
#include "storage/settings.h"

namespace testing_support {

DataDir::DataDir()
    : m_savedHome(qgetenv("XDG_DATA_HOME"))
    , m_hadHome(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
{
    QDir().mkpath(QString::fromStdString(Path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path()));
}

DataDir::~DataDir()
{
    if (m_hadHome)
        qputenv("XDG_DATA_HOME", m_savedHome);
    else
        qunsetenv("XDG_DATA_HOME");
}

std::string DataDir::Home() const
{
    return QFile::encodeName(m_home.path()).toStdString();
}

std::string DataDir::Path() const
{
    return Home() + "/tovrimo/DATA/";
}

void DataDir::Write(const std::string& name, std::string_view bytes) const
{
    std::ofstream out(Path() + name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::map<std::string, std::string> DataDir::Files() const
{
    std::map<std::string, std::string> files;
    const QDir dir(QString::fromStdString(Path()));
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        std::ifstream in(Path() + QFile::encodeName(name).toStdString(), std::ios::binary);
        files[QFile::encodeName(name).toStdString()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

std::string SettingsFile(const std::vector<std::pair<std::string, std::string>>& keys)
{
    std::string file = "[" + std::string(storage::kSettingsSection) + "]\r\n";
    for (const auto& [key, value] : keys)
        file += key + "=" + value + "\r\n";
    return file;
}

std::string EntryFile(const std::vector<std::string>& entries)
{
    std::string file;
    for (const std::string& entry : entries)
        file += entry + std::string(storage::kEntrySeparator);
    return file;
}

}  // namespace testing_support
