// File names the catalogue gives for packages and the files inside them: whatever passes the
// cache's rule must name a file directly inside the cache folder, on Linux and on Windows.
// Input: a download location (UTF-8).

#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "download/CacheFileName.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const QString location = QString::fromUtf8(input.rest());

    const QString packageName = CacheFileName::fromDownloadLocation(location);
    FUZZ_CHECK(!packageName.contains(QLatin1Char('/')));
    FUZZ_CHECK(location.endsWith(packageName));

    for (const QString &name : { location, packageName }) {
        if (!CacheFileName::isPlain(name))
            continue;
        FUZZ_CHECK(!name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')));
        FUZZ_CHECK(!name.contains(QLatin1Char(':')) && !name.contains(QChar(0)));
        FUZZ_CHECK(name != QLatin1String(".") && name != QLatin1String(".."));
        const QString cache = QStringLiteral("/cache");
        const QString path = cache + QLatin1Char('/') + name;
        FUZZ_CHECK(QDir::cleanPath(path) == path);
        FUZZ_CHECK(QDir::cleanPath(QDir::fromNativeSeparators(path)) == path);
    }
    return 0;
}
