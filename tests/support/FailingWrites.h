#pragma once

#include <sys/resource.h>

#include <csignal>

// While alive, no file of this process may grow past `bytes`: writes beyond fail
// with EFBIG as on a disk that fills, without special rights (the tests run as
// root, so read-only folders would not refuse anything). SIGXFSZ is ignored so
// that the write fails instead of ending the program. Pipes and terminals are
// not limited. The old limit and signal handling come back at destruction.
class FailingWrites
{
public:
    explicit FailingWrites(rlim_t bytes = 8)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FailingWrites()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FailingWrites(const FailingWrites &) = delete;
    FailingWrites &operator=(const FailingWrites &) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};
