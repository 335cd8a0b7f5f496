#include "CatalogueGenerator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

namespace CatalogueGenerator {

namespace {

const char *const SeriesNames[] = {
    "SERIES_CEDAR4", "SERIES_LARCH", "SERIES_CEDAR5", "SERIES_BIRCH", "SERIES_CEDAR5_UHD",
    "SERIES_CEDAR5_XN", "SERIES_MAPLE_A", "SERIES_MAPLE_B", "SERIES_ROWAN_L", "SERIES_ROWAN_H",
    "SERIES_WILLOW",
};

QString version(QRandomGenerator &random)
{
    return QStringLiteral("%1.%2").arg(random.bounded(1, 6)).arg(random.bounded(0, 40), 2, 10, QLatin1Char('0'));
}

QJsonObject changeEntry(QRandomGenerator &random, const QString &ver)
{
    return QJsonObject {
        { "revision", QStringLiteral("r%1").arg(random.bounded(100, 999)) },
        { "version", ver },
        { "changeList", QStringLiteral("Improved stability|Fixed input switching|Updated OSD texts") },
        { "changeList_ja", QStringLiteral("安定性の向上|入力切替の修正") },
    };
}

QJsonObject release(QRandomGenerator &random, int index)
{
    const QString latest = version(random);
    QJsonArray models;
    // Consecutive releases share models, as serial-number variants of one model do.
    const int family = index / 2;
    const int modelCount = random.bounded(2, 7);
    for (int m = 0; m < modelCount; ++m)
        models.append(QStringLiteral("MX-%1%2").arg(family, 4, 10, QLatin1Char('0')).arg(QChar(u'A' + m)));

    QJsonArray previous;
    for (int p = 0; p < 3; ++p)
        previous.append(changeEntry(random, version(random)));

    QJsonObject r {
        { "version", QStringLiteral("R") + latest },
        { "releaseDate", QStringLiteral("2026-%1-15").arg(random.bounded(1, 13), 2, 10, QLatin1Char('0')) },
        { "downloadLoc", QStringLiteral("http://127.0.0.1/firmwareupdates/MX-%1_%2.zip").arg(family).arg(latest) },
        { "seriesName", QLatin1String(SeriesNames[random.bounded(11)]) },
        { "fileChecksum", QStringLiteral("0123456789abcdef0123456789abcdef") },
        { "fileSize", random.bounded(1000000, 90000000) },
        { "requiresAppBuild", random.bounded(10) == 0 ? 251200 : 250100 },
        { "updateViaHTTP", random.bounded(4) ? 1 : 0 },
        { "updateViaUSB", 1 },
        { "manualPowerCycleRequired", random.bounded(4) },
        { "manualPowerCycleRequiredIfVersionBefore", version(random) },
        { "updateViaHTTPDurationSecs", 600 },
        { "updateViaHTTPMinimumFirmwareVersion", random.bounded(3) ? QString() : version(random) },
        { "numPACComponents", random.bounded(1, 5) },
        { "useIP2", random.bounded(5) == 0 ? 1 : 0 },
        { "needPowerOnToUpdateViaHTTP", 1 },
        { "needPowerSaveModeToNormal", random.bounded(2) },
        { "needPowerOnToReadInfo", random.bounded(2) },
        { "legacyModel", random.bounded(8) == 0 ? 1 : 0 },
        { "baseUSBFolderName", QStringLiteral("MXFW") },
        { "destinationUSBFileName", QStringLiteral("update.bin") },
        { "models", models },
        { "changes", changeEntry(random, latest) },
        { "previousVersionChangeList", previous },
        { "unpackedFileInfo", QJsonArray { QJsonObject { { "fileName", "fw1.bin" }, { "fileSize", 1024 },
                                                         { "fileChecksum", "ffffffffffffffffffffffffffffffff" } } } },
        { "documentationList", QJsonArray { QJsonObject { { "name", "Release notes" },
                                                          { "url", "http://127.0.0.1/notes.pdf" } } } },
    };
    if (index % 2 == 0) {
        r.insert(QStringLiteral("needSNMatchPosition"), 3);
        r.insert(QStringLiteral("needSNMatchDigitsList"), QStringLiteral("ABC"));
        r.insert(QStringLiteral("needSNMatchListingText"), QStringLiteral("(serial 3rd digit A-C)"));
    }
    return r;
}

QByteArray document(const QJsonArray &firmware)
{
    const QJsonObject info {
        { "databaseVersion", 300 },
        { "latestAppBuildWindows", 251200 },
        { "latestAppVersionStringWindows", "1.4.00" },
        { "aboutURLs", "<a href=\"http://127.0.0.1/\">Home</a>" },
    };
    return QJsonDocument(QJsonObject { { "info", info }, { "firmware", firmware } }).toJson(QJsonDocument::Indented);
}

}

QByteArray catalogue(int maxBytes, quint32 seed)
{
    QRandomGenerator random(seed);
    QJsonArray firmware;
    QByteArray bytes = document(firmware);
    for (int i = 0;; ++i) {
        firmware.append(release(random, i));
        // Serialising each time is slow but runs once, outside the measurement.
        if (i % 16 == 15 || i < 16) {
            const QByteArray next = document(firmware);
            if (next.size() > maxBytes) {
                while (!firmware.isEmpty() && document(firmware).size() > maxBytes)
                    firmware.removeLast();
                return document(firmware);
            }
            bytes = next;
        }
    }
}

DisplayEntryList rows(const QByteArray &catalogueBytes, int count, quint32 seed)
{
    QRandomGenerator random(seed);
    const QJsonArray firmware = QJsonDocument::fromJson(catalogueBytes).object().value("firmware").toArray();
    DisplayEntryList list(count);
    for (DisplayEntry &row : list) {
        const QJsonObject r = firmware.at(random.bounded(firmware.size())).toObject();
        const QJsonArray models = r.value("models").toArray();
        const int pick = random.bounded(100);
        if (pick < 10) {
            row.modelName = QStringLiteral("UNKNOWN-%1").arg(random.bounded(1000));
        } else {
            const QString model = models.at(random.bounded(models.size())).toString();
            row.modelName = pick < 40 ? model.toLower() : model;
        }
        static const char SerialCharacters[] = "ABCDEFGHJK0123456789";
        for (int c = 0; c < 10; ++c)
            row.serialNumber.append(QLatin1Char(SerialCharacters[random.bounded(20)]));
        const QString latest = r.value("changes").toObject().value("version").toString();
        switch (random.bounded(5)) {
        case 0: row.currentFirmware = QStringLiteral("R") + latest; break;
        case 1: row.currentFirmware = QStringLiteral("1.00"); break;
        case 2: row.currentFirmware = QStringLiteral("5.99"); break;
        case 3: row.currentFirmware = QStringLiteral("1.2.3"); break;
        default: row.currentFirmware = QString(); break;
        }
        if (random.bounded(2))
            row.updateAddress = QHostAddress(QStringLiteral("127.0.1.%1").arg(random.bounded(1, 255)));
        row.ip2Check = random.bounded(-1, 2);
    }
    return list;
}

}
