#pragma once

#include <sys/resource.h>

#include <csignal>
#include <utility>

namespace brindle::test {

// For its lifetime no file of the process may grow beyond `bytes`, and a
// write past that fails with EFBIG instead of killing the process (as the
// program sets it up), the way a full disk makes a write fail part-way. Both
// are restored afterwards.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        m_signalSet = ::sigaction(SIGXFSZ, &ignore, &m_previousAction) == 0;
        if (::getrlimit(RLIMIT_FSIZE, &m_previous) != 0)
            return;
        rlimit limited = m_previous;
        limited.rlim_cur = bytes;
        m_limitSet = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() {
        Lift();
        if (m_signalSet)
            ::sigaction(SIGXFSZ, &m_previousAction, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const { return m_signalSet && m_limitSet; }
    // Files may grow again; SIGXFSZ stays ignored until the end.
    void Lift() {
        if (std::exchange(m_limitSet, false))
            ::setrlimit(RLIMIT_FSIZE, &m_previous);
    }

private:
    struct sigaction m_previousAction {};
    rlimit m_previous{};
    bool m_signalSet = false;
    bool m_limitSet = false;
};

} // namespace brindle::test
