#include "storage/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>

namespace storage {

namespace {

// Closes a descriptor when it goes out of scope.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    // Closes now and tells whether the close went well; a write can fail late.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, std::string_view content)
{
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Whether size bytes could be held in memory at all.
bool CouldHold(std::uint64_t size)
{
    struct sysinfo info {};
    if (::sysinfo(&info) != 0)
        return true;
    const std::uint64_t total = (std::uint64_t{info.totalram} + info.totalswap) * info.mem_unit;
    return size < total;
}

std::string RandomSuffix()
{
    static std::random_device device;
    static std::mt19937_64 generator{(std::uint64_t{device()} << 32) ^ device()};
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix(6, '0');
    for (char& c : suffix)
        c = kAlphabet[generator() % (sizeof kAlphabet - 1)];
    return suffix;
}

}  // namespace

void LogFailure(std::string_view what, std::string_view path, int error)
{
    std::fprintf(stderr, "tovrimo: %.*s %.*s: %s\n", static_cast<int>(what.size()), what.data(),
                 static_cast<int>(path.size()), path.data(), std::strerror(error));
}

bool ReadWholeFile(const std::string& path, std::unique_ptr<char[]>& buffer, std::size_t& size,
                   int& error)
{
    size = 0;
    error = 0;
    // Without O_NONBLOCK, opening a named pipe would wait for a writer that
    // may never come; only regular files are read.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        error = errno;
        return false;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        error = errno;
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }

    // A file larger than memory and swap together cannot be held whole:
    // asking for that much would only fail, or stop the program.
    const auto fileSize = static_cast<std::uint64_t>(st.st_size);
    if (!CouldHold(fileSize + 1)) {
        error = ENOMEM;
        return false;
    }
    try {
        // Read what the size promises, then go on until the end in case the
        // file grew meanwhile.
        std::size_t capacity = static_cast<std::size_t>(fileSize) + 1;
        buffer.reset(new char[capacity]);
        for (;;) {
            if (size == capacity) {
                std::unique_ptr<char[]> bigger(new char[capacity * 2]);
                std::memcpy(bigger.get(), buffer.get(), size);
                buffer = std::move(bigger);
                capacity *= 2;
            }
            const ssize_t n = ::read(fd.get(), buffer.get() + size, capacity - size);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                error = errno;
                size = 0;
                return false;
            }
            if (n == 0)
                return true;
            size += static_cast<std::size_t>(n);
        }
    } catch (const std::bad_alloc&) {
        buffer.reset();
        size = 0;
        error = ENOMEM;
        return false;
    }
}

std::optional<std::string> ReadWholeFile(const std::string& path, int& error)
{
    std::unique_ptr<char[]> buffer;
    std::size_t size = 0;
    if (!ReadWholeFile(path, buffer, size, error))
        return std::nullopt;
    try {
        return std::string(buffer.get(), size);
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
        return std::nullopt;
    }
}

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    int error = 0;
    std::optional<std::string> content = ReadWholeFile(path, error);
    if (!content && !IsMissing(error))
        LogFailure("cannot read", path, error);
    return content;
}

namespace {

std::string TemporaryFilePrefix(std::string_view fileName)
{
    std::string prefix = ".";
    prefix += fileName;
    prefix += kTemporaryMarker;
    return prefix;
}

}  // namespace

bool IsTemporaryFileName(std::string_view name)
{
    constexpr std::size_t kSuffix = 6;
    if (name.size() < 2 + kTemporaryMarker.size() + kSuffix || name.front() != '.')
        return false;
    const std::string_view suffix = name.substr(name.size() - kSuffix);
    for (char c : suffix) {
        const bool alnum = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!alnum)
            return false;
    }
    return name.substr(name.size() - kSuffix - kTemporaryMarker.size(), kTemporaryMarker.size()) ==
           kTemporaryMarker;
}

void RemoveLeftoverTemporaryFiles(const std::string& directory)
{
    DIR* dir = ::opendir(directory.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!IsTemporaryFileName(name))
            continue;
        std::string path = directory;
        if (!path.empty() && path.back() != '/')
            path += '/';
        path += name;
        // A write in progress, of another running copy, holds a lock on its
        // temporary file; a crashed one holds none, the kernel dropped it.
        // A leftover has its target's mode, which may let us write but not
        // read it.
        const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
        int raw = ::open(path.c_str(), O_RDONLY | flags);
        if (raw < 0 && errno == EACCES)
            raw = ::open(path.c_str(), O_WRONLY | flags);
        FileDescriptor fd(raw);
        struct stat st {};
        if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        if (::unlink(path.c_str()) != 0)
            LogFailure("cannot remove", path, errno);
    }
    ::closedir(dir);
}

bool ReplaceFile(const std::string& path, std::string_view content)
{
    // Replace what a link points to, not the link.
    std::string target = path;
    struct stat st {};
    bool exists = ::lstat(path.c_str(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode)) {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (resolved) {
            target = resolved;
            std::free(resolved);
            exists = ::stat(target.c_str(), &st) == 0;
        } else {
            exists = false;  // a dangling link: the new file takes its place
        }
    }
    if (exists) {
        // Only a regular file is replaced: a directory, a pipe or a device in
        // its place stays what it is.
        if (!S_ISREG(st.st_mode)) {
            LogFailure("cannot write", path, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
            return false;
        }
        // A file that nobody may write is read-only for us as well, even when
        // we run as root, who would otherwise replace it.
        if ((st.st_mode & 0222) == 0) {
            LogFailure("cannot write", path, EACCES);
            return false;
        }
        if (::access(target.c_str(), W_OK) != 0) {
            LogFailure("cannot write", path, errno);
            return false;
        }
    }

    const auto slash = target.rfind('/');
    const std::string directory = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    const std::string_view name = slash == std::string::npos ? std::string_view(target)
                                                             : std::string_view(target).substr(slash + 1);
    const std::string prefix = (slash == std::string::npos ? std::string() : directory) + TemporaryFilePrefix(name);

    // The temporary file is locked until it has been renamed, so that the
    // clean-up at another copy's start leaves it alone. That clean-up may
    // still have caught it between its creation and the lock; then it is
    // gone from the folder, and another name is tried.
    std::string temporary;
    int rawFd = -1;
    for (int attempt = 0; attempt < 16 && rawFd < 0; ++attempt) {
        temporary = prefix + RandomSuffix();
        // The new file gets the old one's mode, or the usual mode under the
        // umask when it is new.
        rawFd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                       exists ? (st.st_mode & 07777) : 0666);
        if (rawFd < 0) {
            if (errno != EEXIST)
                break;
            continue;
        }
        struct stat opened {}, named {};
        if (::flock(rawFd, LOCK_EX) != 0 || ::fstat(rawFd, &opened) != 0 ||
            ::stat(temporary.c_str(), &named) != 0 || opened.st_ino != named.st_ino ||
            opened.st_dev != named.st_dev) {
            ::close(rawFd);
            rawFd = -1;
            errno = EAGAIN;
        }
    }
    if (rawFd < 0) {
        LogFailure("cannot write", path, errno);
        return false;
    }
    FileDescriptor fd(rawFd);
    // The lock lives on a second descriptor too, as closing the first one is
    // itself checked before the rename.
    FileDescriptor lock(::dup(fd.get()));

    auto fail = [&](int error) {
        if (fd.get() >= 0)
            fd.close();
        ::unlink(temporary.c_str());
        LogFailure("cannot write", path, error);
        return false;
    };

    if (exists) {
        // Keep the mode exactly (the umask may have narrowed it) and, when we
        // can, the owner.
        ::fchmod(fd.get(), st.st_mode & 07777);
        if (::geteuid() == 0 && (st.st_uid != 0 || st.st_gid != 0))
            (void)::fchown(fd.get(), st.st_uid, st.st_gid);
    }
    if (!WriteAll(fd.get(), content))
        return fail(errno);
    if (::fdatasync(fd.get()) != 0)
        return fail(errno);
    if (!fd.close())
        return fail(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return fail(errno);

    // Make the rename itself durable.
    FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    return true;
}

}  // namespace storage
