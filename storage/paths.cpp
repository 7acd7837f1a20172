#include "storage/paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "storage/files.h"

namespace storage {

namespace {

std::string g_settingsPath;
std::string g_dataPath;

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string HomeDirectory()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return {};
}

// $XDG_DATA_HOME when it is set to an absolute path, else ~/.local/share.
std::string UserDataHome()
{
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/')
        return xdg;
    const std::string home = HomeDirectory();
    return home.empty() ? std::string() : home + "/.local/share";
}

// Creates path and the folders above it that are missing, each with mode
// 0700. Gives the error of the step that failed, or 0.
int MakeDirectories(const std::string& path)
{
    if (IsDirectory(path))
        return 0;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        const std::string part = path.substr(0, pos);
        if (part.empty() || IsDirectory(part))
            continue;
        if (::mkdir(part.c_str(), 0700) != 0 && !(errno == EEXIST && IsDirectory(part)))
            return errno == EEXIST ? ENOTDIR : errno;
    }
    return 0;
}

}  // namespace

std::string CutAtLastBackslash(std::string_view path)
{
    // Step one code-page-936 character at a time: a byte with bit 7 set
    // leads a two-byte character whose second byte may well be 0x5C.
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size();) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (byte & 0x80) {
            i += 2;
        } else {
            if (byte == '\\')
                last = i;
            i += 1;
        }
    }
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last));
}

std::string ProgramDirectory()
{
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            LogFailure("cannot find the program in", "/proc/self/exe", errno);
            return {};
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            const std::string exe(buffer.data(), static_cast<std::size_t>(n));
            const auto slash = exe.rfind('/');
            return slash == std::string::npos ? std::string() : exe.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string DataDirectoryFor(const std::string& programDirectory)
{
    const std::string portable = programDirectory + "/DATA";
    if (IsDirectory(portable))
        return portable + "/";
    const std::string base = UserDataHome();
    return (base.empty() ? portable : base + "/tovrimo/DATA") + "/";
}

std::string ChooseDataDirectory(const std::string& programDirectory)
{
    const std::string directory = DataDirectoryFor(programDirectory);
    const std::string portable = programDirectory + "/DATA/";
    if (directory == portable) {
        if (!IsDirectory(portable))
            LogFailure("cannot find a home for the data directory", "$HOME", ENOENT);
        return directory;
    }
    if (const int error = MakeDataDirectory(directory); error != 0)
        LogFailure("cannot create the data directory", directory.substr(0, directory.size() - 1), error);
    return directory;
}

int MakeDataDirectory(const std::string& dataDirectory)
{
    std::string path = dataDirectory;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return MakeDirectories(path);
}

void InitPaths()
{
    g_dataPath = ChooseDataDirectory(ProgramDirectory());
    g_settingsPath = g_dataPath + "peizhi.ini";
}

void ReleasePaths()
{
    g_settingsPath.clear();
    g_settingsPath.shrink_to_fit();
    g_dataPath.clear();
    g_dataPath.shrink_to_fit();
}

const std::string& SettingsPath()
{
    return g_settingsPath;
}

const std::string& DataPath()
{
    return g_dataPath;
}

}  // namespace storage
