#include "platform/SingleInstanceLock.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

SingleInstanceLock::SingleInstanceLock(const QString &name)
    : m_name(name)
{
}

SingleInstanceLock::~SingleInstanceLock()
{
#ifdef Q_OS_WIN
    // The handle stays open on purpose: the name must stay taken until the process ends.
#else
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

QString SingleInstanceLock::lockFilePath() const
{
#ifdef Q_OS_WIN
    return QString();
#else
    // One lock per user, as a Windows mutex name is per session: another user's copy must not block ours.
    return QDir::tempPath() + QStringLiteral("/%1-%2.lock").arg(m_name).arg(::getuid());
#endif
}

SingleInstanceLock::Status SingleInstanceLock::acquire()
{
    if (m_held)
        return Status::Acquired;
#ifdef Q_OS_WIN
    HANDLE handle = ::CreateMutexW(nullptr, TRUE, reinterpret_cast<LPCWSTR>(m_name.utf16()));
    const DWORD error = ::GetLastError();
    if (handle)
        ::ReleaseMutex(handle);
    if (error == ERROR_ALREADY_EXISTS)
        return Status::AlreadyRunning;
    if (!handle)
        return Status::Unavailable;
    m_handle = handle;
    m_held = true;
    return Status::Acquired;
#else
    if (m_fd < 0) {
        const QByteArray path = QFile::encodeName(lockFilePath());
        // O_NOFOLLOW: the temporary folder is shared, so a planted symlink must not redirect us.
        m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (m_fd < 0)
            return Status::Unavailable;
    }
    int rc;
    do {
        rc = ::flock(m_fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        m_held = true;
        return Status::Acquired;
    }
    return errno == EWOULDBLOCK ? Status::AlreadyRunning : Status::Unavailable;
#endif
}
