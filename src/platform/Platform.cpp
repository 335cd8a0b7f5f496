#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>
#ifdef Q_OS_WIN
#include <QDesktopServices>
#endif
#ifdef Q_OS_LINUX
#include "platform/EpollEventDispatcher.h"
#endif

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace Platform {

void beep()
{
#ifdef Q_OS_WIN
    ::MessageBeep(MB_OK);
#else
    // No application object may exist yet, so QApplication::beep() is out of reach; the
    // terminal bell is what remains when started from a terminal.
    if (::isatty(STDERR_FILENO))
        (void)!::write(STDERR_FILENO, "\a", 1);
#endif
}

bool showInFileManager(const QString &path)
{
#ifdef Q_OS_WIN
    if (path.isEmpty())
        return QProcess::startDetached(QStringLiteral("explorer"), {});
    return QProcess::startDetached(QStringLiteral("explorer"),
                                   { QDir::toNativeSeparators(path + QLatin1Char('/')) });
#else
    QString folder = QDir::homePath();
    if (!path.isEmpty()) {
        const QFileInfo info(path);
        folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    }
    return QProcess::startDetached(QStringLiteral("xdg-open"), { folder });
#endif
}

OpenResult openDocument(const QString &filePath)
{
    // Some desktop handlers report success for a file that is not there and then show nothing.
    if (!QFileInfo(filePath).isFile())
        return OpenResult::MissingFile;
#ifdef Q_OS_WIN
    return QDesktopServices::openUrl(QUrl::fromLocalFile(filePath)) ? OpenResult::Opened : OpenResult::NoProgram;
#else
    // A server or a minimal desktop often lacks xdg-open, and then nothing can open a file:
    // telling that apart lets the window say so instead of blaming the file.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return OpenResult::NoProgram;
    return QProcess::startDetached(opener, { QFileInfo(filePath).absoluteFilePath() }) ? OpenResult::Opened
                                                                                       : OpenResult::NoProgram;
#endif
}

bool isRemovableBlockDevice(const QString &deviceName, const QString &sysClassBlock)
{
    if (deviceName.isEmpty() || deviceName.contains(QLatin1Char('/')) || deviceName.startsWith(QLatin1Char('.')))
        return false;
    const QFileInfo entry(sysClassBlock + QLatin1Char('/') + deviceName);
    if (!entry.exists())
        return false;
    QString deviceDir = entry.canonicalFilePath();
    if (QFileInfo::exists(deviceDir + QLatin1String("/partition")))
        deviceDir = QFileInfo(deviceDir).absolutePath();
    QFile flag(deviceDir + QLatin1String("/removable"));
    if (!flag.open(QIODevice::ReadOnly))
        return false;
    return flag.read(8).trimmed() == "1";
}

bool isRemovableDrive(const QString &rootPath)
{
#ifdef Q_OS_WIN
    const QString root = QDir::toNativeSeparators(rootPath);
    return ::GetDriveTypeW(reinterpret_cast<LPCWSTR>(root.utf16())) == DRIVE_REMOVABLE;
#else
    const QStorageInfo volume(rootPath);
    if (!volume.isValid())
        return false;
    // /dev/disk/by-uuid/... and /dev/mapper/... are symlinks to the kernel's own node.
    const QString node = QFileInfo(QString::fromLocal8Bit(volume.device())).canonicalFilePath();
    if (!node.startsWith(QLatin1String("/dev/")))
        return false;
    return isRemovableBlockDevice(QFileInfo(node).fileName(), QStringLiteral("/sys/class/block"));
#endif
}

bool flushToDevice(QFileDevice &file)
{
    if (!file.isOpen() || !file.flush())
        return false;
    const int fd = file.handle();
    if (fd < 0)
        return false;
#ifdef Q_OS_WIN
    return syncFileData(fd);
#else
    if (::fsync(fd) != 0)
        return false;
    // Only a hint: a system that keeps the pages makes the read-back cheaper, not wrong.
    (void)::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    return true;
#endif
}

bool syncFileData(int fileHandle)
{
    if (fileHandle < 0)
        return false;
#ifdef Q_OS_WIN
    const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fileHandle));
    return handle != INVALID_HANDLE_VALUE && ::FlushFileBuffers(handle);
#else
    return ::fdatasync(fileHandle) == 0;
#endif
}

bool startWriteBack(QFileDevice &file, qint64 offset, qint64 length)
{
#ifdef Q_OS_LINUX
    const int fd = file.handle();
    return fd >= 0 && ::sync_file_range(fd, offset, length, SYNC_FILE_RANGE_WRITE) == 0;
#else
    // Windows' cache manager writes behind on its own.
    Q_UNUSED(file)
    Q_UNUSED(offset)
    Q_UNUSED(length)
    return false;
#endif
}

long raiseOpenFileLimit()
{
#ifdef Q_OS_WIN
    // Windows has no per-process descriptor limit that sockets count against.
    return -1;
#else
    rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return -1;
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    return limit.rlim_cur == RLIM_INFINITY ? -1 : long(limit.rlim_cur);
#endif
}

QAbstractEventDispatcher *createCommandLineEventDispatcher()
{
#ifdef Q_OS_LINUX
    auto *dispatcher = new EpollEventDispatcher;
    if (dispatcher->isValid())
        return dispatcher;
    delete dispatcher;
#endif
    return nullptr;
}

void keepFreedMemoryForReuse()
{
#ifdef __GLIBC__
    // Fixed values also switch off glibc's own adjustment, which keeps the trim threshold at twice
    // the largest block freed so far: about 2 MB for a download, far less than it holds in flight.
    ::mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024);
    ::mallopt(M_TRIM_THRESHOLD, 32 * 1024 * 1024);
#endif
}

#ifndef Q_OS_WIN
// Mappings are made and unmapped in whole pages; both ends must agree on the length.
static size_t wholePages(qsizetype bytes)
{
    const size_t page = size_t(::sysconf(_SC_PAGESIZE));
    return (size_t(bytes) + page - 1) / page * page;
}
#endif

void *allocateLargeBlock(qsizetype bytes)
{
    if (bytes <= 0)
        return nullptr;
#ifdef Q_OS_WIN
    // Committed pages come zero-filled and aligned to 64 kB.
    return ::VirtualAlloc(nullptr, SIZE_T(bytes), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
#else
    // Mapped with room to spare, then trimmed to an aligned start: the system gives a large page
    // only to an aligned stretch of a mapping marked for it.
    const size_t length = wholePages(bytes);
    const size_t spare = size_t(LargeBlockAlignment);
    void *mapped = ::mmap(nullptr, length + spare, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<quintptr>(mapped);
    const quintptr aligned = (start + spare - 1) & ~quintptr(spare - 1);
    if (aligned > start)
        ::munmap(mapped, aligned - start);
    if (const size_t tail = start + length + spare - (aligned + length))
        ::munmap(reinterpret_cast<void *>(aligned + length), tail);
    void *block = reinterpret_cast<void *>(aligned);
#ifdef MADV_HUGEPAGE
    // A hint: where large pages are off, the block simply has small ones.
    ::madvise(block, length, MADV_HUGEPAGE);
#endif
    return block;
#endif
}

void releaseLargeBlock(void *memory, qsizetype bytes)
{
    if (!memory)
        return;
#ifdef Q_OS_WIN
    Q_UNUSED(bytes)
    ::VirtualFree(memory, 0, MEM_RELEASE);
#else
    ::munmap(memory, wholePages(bytes));
#endif
}

}
