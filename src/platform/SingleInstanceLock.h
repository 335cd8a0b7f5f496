#pragma once

#include <QString>

// A named lock held for the life of the process, so that a second start of the program can see
// the first one. On Windows it is a named mutex; elsewhere an advisory lock on a file in the
// temporary folder, which the kernel drops when the holder ends, even by a crash.
class SingleInstanceLock
{
public:
    static constexpr const char *ApplicationLockName = "7D5119B5-4E7F-4c32-92A3-6676BFF24999";

    explicit SingleInstanceLock(const QString &name = QString::fromLatin1(ApplicationLockName));
    ~SingleInstanceLock();

    SingleInstanceLock(const SingleInstanceLock &) = delete;
    SingleInstanceLock &operator=(const SingleInstanceLock &) = delete;

    enum class Status {
        Acquired,       // this process holds the name now
        AlreadyRunning, // another process holds it
        Unavailable,    // the lock could not be set up; the caller runs on as if it were alone
    };

    // Takes the name. Taking it again while held returns Acquired.
    Status acquire();
    bool isHeld() const { return m_held; }

    // Where the lock file lives outside Windows (empty on Windows).
    QString lockFilePath() const;

private:
    QString m_name;
    bool m_held = false;
#ifdef Q_OS_WIN
    void *m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};
