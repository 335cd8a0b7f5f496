// A package archive from the firmware server, unpacked into the cache the way a download ends.
// Input: the file names the catalogue lists inside the package (one string, "\n" between names),
// then the archive's bytes. Nothing may be written outside the cache folder, no link may stay in
// it, and the package never stays behind as if it were a firmware file.

#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "catalogue/FirmwareRelease.h"
#include "download/CacheFileName.h"
#include "download/DownloadExtractFirmware.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr char PackageName[] = "package.zip";

QStringList entriesBelow(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(it.next());
    entries.sort();
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir root;
    static const QString cache = root.path() + QStringLiteral("/cache");
    static const QString outside = root.path() + QStringLiteral("/outside.bin");
    if (!QFile::exists(outside)) {
        QFile file(outside);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write("keep") == 4);
    }
    QDir(cache).removeRecursively();
    FUZZ_CHECK(QDir().mkpath(cache));

    FuzzInput input(data, size);
    const QStringList names = QString::fromUtf8(input.shortString()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QByteArray archive = input.rest();
    {
        QFile file(cache + QLatin1Char('/') + QLatin1String(PackageName));
        FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(archive) == archive.size());
    }

    FirmwareRelease release;
    release.version = QStringLiteral("1.0");
    release.downloadLoc = QStringLiteral("http://127.0.0.1:1/") + QLatin1String(PackageName);
    bool allPlain = true;
    for (const QString &name : names.mid(0, 4)) {
        allPlain = allPlain && CacheFileName::isPlain(name);
        UnpackedFileEntry entry;
        entry.fileName = name;
        entry.fileChecksum = QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"); // an empty file's
        release.unpackedFileInfo.append(entry);
    }

    int status = -1;
    DownloadExtractFirmware job(1, release, cache);
    QObject::connect(&job, &DownloadExtractFirmware::statusChanged, [&status](int, int s) { status = s; });
    job.start();
    // The package is on disk and needs no download, so the job ends before start() returns.
    FUZZ_CHECK(status != -1);

    FUZZ_CHECK(entriesBelow(root.path()).size() >= 1);
    for (const QString &path : entriesBelow(root.path())) {
        if (path == outside || path == cache)
            continue;
        FUZZ_CHECK(path.startsWith(cache + QLatin1Char('/')));
        const QFileInfo info(path);
        FUZZ_CHECK(!info.isSymLink());
        FUZZ_CHECK(info.dir().absolutePath() == QDir(cache).absolutePath());
        // A release with a name the cache refuses is refused before its package is opened.
        FUZZ_CHECK(names.contains(info.fileName()) || release.unpackedFileInfo.isEmpty()
                   || (!allPlain && info.fileName() == QLatin1String(PackageName)));
    }
    QFile kept(outside);
    FUZZ_CHECK(kept.open(QIODevice::ReadOnly) && kept.readAll() == "keep");
    // Once unpacking was tried, the archive is gone: only the files it held can be taken as good.
    if (!release.unpackedFileInfo.isEmpty() && allPlain)
        FUZZ_CHECK(!QFile::exists(cache + QLatin1Char('/') + QLatin1String(PackageName)));
    return 0;
}
