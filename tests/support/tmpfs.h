#pragma once

// A small tmpfs of its own for a test, mounted when the test runs as root
// (as CI does) and unmounted afterwards. Elsewhere mounted() is false and the
// test either skips what needs it or works in a plain folder.

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "support/temp_dir.h"

namespace testing_support {

class Tmpfs
{
public:
    // size in bytes; readOnly mounts it so that nothing can be written.
    explicit Tmpfs(std::size_t size, bool readOnly = false)
    {
        if (::geteuid() != 0) {
            m_why = "not root, so no file system can be mounted";
            return;
        }
        const std::string options = "size=" + std::to_string(size) + ",mode=0755";
        if (::mount("tovrimo-test", m_dir.path().c_str(), "tmpfs", readOnly ? MS_RDONLY : 0, options.c_str()) != 0) {
            m_why = std::string("mounting a tmpfs failed: ") + std::strerror(errno);
            return;
        }
        m_mounted = true;
    }
    ~Tmpfs()
    {
        if (m_mounted)
            ::umount2(m_dir.path().c_str(), MNT_DETACH);
    }
    Tmpfs(const Tmpfs&) = delete;
    Tmpfs& operator=(const Tmpfs&) = delete;

    bool mounted() const { return m_mounted; }
    // Why it is not mounted.
    const std::string& why() const { return m_why; }
    // The mount point; a plain folder when nothing could be mounted.
    const std::string& path() const { return m_dir.path(); }
    std::string operator/(const std::string& name) const { return m_dir / name; }

    // Makes the mounted file system read-only, or writable again.
    bool setReadOnly(bool readOnly)
    {
        return m_mounted && ::mount(nullptr, m_dir.path().c_str(), nullptr,
                                    MS_REMOUNT | (readOnly ? MS_RDONLY : 0), nullptr) == 0;
    }

private:
    TempDir m_dir;
    bool m_mounted = false;
    std::string m_why;
};

}  // namespace testing_support
