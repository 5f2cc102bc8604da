#pragma once

// Files may not grow past a given size while a FileSizeLimit lives, which is how a full disk looks to the
// writer (EFBIG where a full disk gives ENOSPC). Unlike permissions it also holds for root, who runs the
// tests here.

#include <QtGlobal>

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    Q_DISABLE_COPY_MOVE(FileSizeLimit)

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
};
