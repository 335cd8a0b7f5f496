#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <sys/statvfs.h>
#include <unistd.h>

// A small tmpfs mounted for one test, as a full disk or a small drive; only root may mount, and
// a chroot without /proc may not at all, so tests check isMounted() and skip with reason().
class TmpfsMount
{
public:
    // options as for mount -o, e.g. "size=256k".
    explicit TmpfsMount(const QString &options)
    {
        if (!m_dir.isValid()) {
            m_reason = QStringLiteral("no temporary folder to mount on");
            return;
        }
        if (::geteuid() != 0) {
            m_reason = QStringLiteral("mounting a tmpfs needs root");
            return;
        }
        QProcess mount;
        mount.start(QStringLiteral("mount"), { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                               options, QStringLiteral("quillon-test"), m_dir.path() });
        m_mounted = mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit
                && mount.exitCode() == 0;
        if (!m_mounted)
            m_reason = QStringLiteral("tmpfs cannot be mounted here: ") + QString::fromLocal8Bit(mount.readAllStandardError()).trimmed();
    }
    ~TmpfsMount()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), { QStringLiteral("-l"), m_dir.path() });
    }
    TmpfsMount(const TmpfsMount &) = delete;
    TmpfsMount &operator=(const TmpfsMount &) = delete;

    bool isMounted() const { return m_mounted; }
    QString reason() const { return m_reason; }
    QString path() const { return m_dir.path(); }

    // Bytes still free for files; -1 when the system cannot tell.
    qint64 bytesFree() const
    {
        struct statvfs info {};
        if (::statvfs(m_dir.path().toLocal8Bit().constData(), &info) != 0)
            return -1;
        return qint64(info.f_bavail) * qint64(info.f_frsize);
    }

private:
    QTemporaryDir m_dir;
    QString m_reason;
    bool m_mounted = false;
};
