#pragma once
#include <cstring>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace testsupport {

// While alive, this thread obeys file permissions even when run as root (as CI is): a file
// or folder made read-only with chmod is then read-only to the code under test, as it is
// for a teacher. Nothing changes for a user without those rights.
class FileRightsEnforced {
public:
    FileRightsEnforced() {
        if (syscall(SYS_capget, &m_header, m_saved) != 0) return;
        __user_cap_data_struct reduced[2];
        std::memcpy(reduced, m_saved, sizeof reduced);
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            reduced[CAP_TO_INDEX(cap)].effective &= ~CAP_TO_MASK(cap);
        m_active = syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~FileRightsEnforced() {
        if (m_active) syscall(SYS_capset, &m_header, m_saved);
    }
    FileRightsEnforced(const FileRightsEnforced&) = delete;
    FileRightsEnforced& operator=(const FileRightsEnforced&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_active = false;
};

}  // namespace testsupport
