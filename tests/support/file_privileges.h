#pragma once

// Root reads and writes files whatever their mode says. While an object of
// this class lives, the process loses that privilege (the capabilities
// CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH leave its effective set), so that
// a file of mode 0000 cannot be read, as for any user. Nothing happens for
// other users, who have no such privilege.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

namespace testing_support {

class WithoutFilePrivileges
{
public:
    WithoutFilePrivileges()
    {
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct lowered[2];
        std::memcpy(lowered, m_saved, sizeof lowered);
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_lowered = ::syscall(SYS_capset, &m_header, lowered) == 0;
    }
    ~WithoutFilePrivileges()
    {
        if (m_lowered)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    WithoutFilePrivileges(const WithoutFilePrivileges&) = delete;
    WithoutFilePrivileges& operator=(const WithoutFilePrivileges&) = delete;

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_lowered = false;
};

}  // namespace testing_support
