#pragma once

#include <QDir>
#include <QStorageInfo>
#include <QTest>

// The USB writer sizes and checks a drive through the system's table of mounted volumes. A bare
// chroot without /proc has no such table: there the writer rightly refuses every folder, so tests
// that copy onto a folder standing in for a drive have nothing to check.
inline bool mountedVolumesAreListed()
{
    const QStorageInfo volume(QDir::tempPath());
    return volume.isValid() && volume.isReady() && volume.bytesTotal() > 0;
}

#define SKIP_WITHOUT_MOUNTED_VOLUMES()                                                              \
    do {                                                                                           \
        if (!mountedVolumesAreListed())                                                            \
            QSKIP("this system lists no mounted volumes (a chroot without /proc)");                \
    } while (false)
