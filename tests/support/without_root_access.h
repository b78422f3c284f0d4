#pragma once

#include <sys/fsuid.h>
#include <unistd.h>

namespace brindle::test {

// For its lifetime the calling thread meets file permissions as an ordinary
// user would, also when the tests run as root (CI does): a root process
// switches its file-system user to "nobody", which drops its power to read
// and write files whatever their mode. Everything else stays root.
class WithoutRootAccess {
public:
    WithoutRootAccess() : m_switched(::geteuid() == 0) {
        if (m_switched)
            ::setfsuid(kNobody);
    }
    ~WithoutRootAccess() {
        if (m_switched)
            ::setfsuid(0);
    }
    WithoutRootAccess(const WithoutRootAccess&) = delete;
    WithoutRootAccess& operator=(const WithoutRootAccess&) = delete;

    // False when the switch did not take (the file-system user is not nobody).
    bool active() const {
        if (!m_switched)
            return true;
        return static_cast<uid_t>(::setfsuid(static_cast<uid_t>(-1))) == kNobody;
    }

private:
    static constexpr uid_t kNobody = 65534;
    bool m_switched;
};

} // namespace brindle::test
