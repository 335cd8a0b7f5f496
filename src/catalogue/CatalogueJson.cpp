#include "catalogue/CatalogueJson.h"

#include "catalogue/FirmwareDatabase.h"

#include <QJsonArray>

#include <cmath>
#include <limits>

namespace CatalogueJson {

namespace {

const QString JapaneseSuffix = QStringLiteral("_ja");

VersionChangeEntry readChangeEntry(const QJsonObject &object, bool japanese)
{
    VersionChangeEntry entry;
    entry.revision = readString(object, QStringLiteral("revision"));
    entry.version = readString(object, QStringLiteral("version"));
    entry.changeList = readLocalisedString(object, QStringLiteral("changeList"), japanese);
    return entry;
}

QList<DocumentationLink> readDocumentation(const QJsonArray &array, bool japanese)
{
    QList<DocumentationLink> links;
    links.reserve(array.size());
    for (const QJsonValue &element : array) {
        const QJsonObject object = element.toObject();
        DocumentationLink link;
        link.name = readLocalisedString(object, QStringLiteral("name"), japanese);
        link.url = readLocalisedString(object, QStringLiteral("url"), japanese);
        links.append(link);
    }
    return links;
}

}

qint32 readInt(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    if (!value.isDouble())
        return 0;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number
        || number < double(std::numeric_limits<qint32>::min())
        || number > double(std::numeric_limits<qint32>::max()))
        return 0;
    return qint32(number);
}

QString readString(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    return value.isString() ? value.toString() : QString();
}

QString readLocalisedString(const QJsonObject &object, const QString &key, bool japanese)
{
    if (japanese) {
        const QString localised = readString(object, key + JapaneseSuffix);
        if (!localised.isEmpty())
            return localised;
    }
    return readString(object, key);
}

void readHeader(const QJsonObject &info, bool japanese, FirmwareDatabase &database)
{
    database.databaseVersion = readInt(info, QStringLiteral("databaseVersion"));
    database.latestAppBuildWindows = readInt(info, QStringLiteral("latestAppBuildWindows"));
    database.latestAppBuildMacOS = readInt(info, QStringLiteral("latestAppBuildMacOS"));
    database.latestAppdownloadLocWindows = readString(info, QStringLiteral("latestAppdownloadLocWindows"));
    // The Japanese About text stands alone: when it is missing the About text is empty rather
    // than English.
    database.aboutURLs = readString(info, japanese ? QStringLiteral("aboutURLs_ja")
                                                   : QStringLiteral("aboutURLs"));
    database.latestAppVersionStringWindows = readString(info, QStringLiteral("latestAppVersionStringWindows"));
    database.latestAppVersionStringMacOS = readString(info, QStringLiteral("latestAppVersionStringMacOS"));

    // Cleared first so that parsing twice into one database does not repeat the history.
    database.previousAppChangeListWindows.clear();
    const QJsonValue history = info.value(QStringLiteral("previousAppChangeListWindows"));
    if (history.isArray()) {
        const QJsonArray array = history.toArray();
        database.previousAppChangeListWindows.reserve(array.size());
        for (const QJsonValue &element : array) {
            const QJsonObject object = element.toObject();
            AppChangeEntry entry;
            entry.build = readInt(object, QStringLiteral("build"));
            entry.changeList = readLocalisedString(object, QStringLiteral("changeList"), japanese);
            database.previousAppChangeListWindows.append(entry);
        }
    }
}

FirmwareRelease readRelease(const QJsonValue &element, bool japanese)
{
    FirmwareRelease r;
    if (!element.isObject())
        return r;
    const QJsonObject o = element.toObject();

    r.version = readString(o, QStringLiteral("version"));
    r.releaseDate = readString(o, QStringLiteral("releaseDate"));
    r.downloadLoc = readString(o, QStringLiteral("downloadLoc"));
    r.seriesName = readString(o, QStringLiteral("seriesName"));
    r.fileChecksum = readString(o, QStringLiteral("fileChecksum"));
    r.fileSize = readInt(o, QStringLiteral("fileSize"));
    r.requiresAppBuild = readInt(o, QStringLiteral("requiresAppBuild"));
    r.updateViaHTTP = readInt(o, QStringLiteral("updateViaHTTP"));
    r.updateViaUSB = readInt(o, QStringLiteral("updateViaUSB"));
    r.powerLEDBinkCodeProgress = readInt(o, QStringLiteral("powerLEDBinkCodeProgress"));
    r.powerLEDBinkCodeDone = readInt(o, QStringLiteral("powerLEDBinkCodeDone"));
    r.powerLEDBinkCodeError = readInt(o, QStringLiteral("powerLEDBinkCodeError"));
    r.manualPowerCycleRequired = readInt(o, QStringLiteral("manualPowerCycleRequired"));
    r.manualPowerCycleRequiredIfVersionBefore =
        readString(o, QStringLiteral("manualPowerCycleRequiredIfVersionBefore"));
    r.updateViaHTTPDurationSecs = readInt(o, QStringLiteral("updateViaHTTPDurationSecs"));
    r.updateViaHTTPMinimumFirmwareVersion =
        readString(o, QStringLiteral("updateViaHTTPMinimumFirmwareVersion"));
    r.numPACComponents = readInt(o, QStringLiteral("numPACComponents"));
    r.useIP2 = readInt(o, QStringLiteral("useIP2"));
    r.needPowerOnToUpdateViaHTTP = readInt(o, QStringLiteral("needPowerOnToUpdateViaHTTP"));
    r.needPowerSaveModeToNormal = readInt(o, QStringLiteral("needPowerSaveModeToNormal"));
    r.needPowerOnToReadInfo = readInt(o, QStringLiteral("needPowerOnToReadInfo"));
    r.baseUSBFolderName = readString(o, QStringLiteral("baseUSBFolderName"));
    r.destinationUSBFileName = readString(o, QStringLiteral("destinationUSBFileName"));
    r.legacyModel = readInt(o, QStringLiteral("legacyModel"));
    r.needSNMatchPosition = readInt(o, QStringLiteral("needSNMatchPosition"));
    r.needSNMatchDigitsList = readString(o, QStringLiteral("needSNMatchDigitsList"));
    r.updateviaUSBInstructions = readLocalisedString(o, QStringLiteral("updateviaUSBInstructions"), japanese);
    r.needSNMatchListingText = readLocalisedString(o, QStringLiteral("needSNMatchListingText"), japanese);
    r.needSNMatchDetailedDescription =
        readLocalisedString(o, QStringLiteral("needSNMatchDetailedDescription"), japanese);
    r.needRegionSelectListingText =
        readLocalisedString(o, QStringLiteral("needRegionSelectListingText"), japanese);
    r.needRegionSelectDescription =
        readLocalisedString(o, QStringLiteral("needRegionSelectDescription"), japanese);

    const QJsonValue models = o.value(QStringLiteral("models"));
    if (models.isArray()) {
        const QJsonArray array = models.toArray();
        r.models.reserve(array.size());
        for (const QJsonValue &model : array)
            r.models.append(model.isString() ? model.toString() : QString());
    }

    const QJsonValue changes = o.value(QStringLiteral("changes"));
    if (changes.isObject())
        r.changes = readChangeEntry(changes.toObject(), japanese);

    const QJsonValue previous = o.value(QStringLiteral("previousVersionChangeList"));
    if (previous.isArray()) {
        const QJsonArray array = previous.toArray();
        r.previousVersionChangeList.reserve(array.size());
        for (const QJsonValue &entry : array)
            r.previousVersionChangeList.append(readChangeEntry(entry.toObject(), japanese));
    }

    const QJsonValue unpacked = o.value(QStringLiteral("unpackedFileInfo"));
    if (unpacked.isArray()) {
        const QJsonArray array = unpacked.toArray();
        r.unpackedFileInfo.reserve(array.size());
        for (const QJsonValue &element : array) {
            const QJsonObject file = element.toObject();
            UnpackedFileEntry entry;
            entry.fileName = readString(file, QStringLiteral("fileName"));
            entry.fileSize = readInt(file, QStringLiteral("fileSize"));
            entry.fileChecksum = readString(file, QStringLiteral("fileChecksum"));
            r.unpackedFileInfo.append(entry);
        }
    }

    const QJsonValue japaneseDocumentation = o.value(QStringLiteral("documentationList_ja"));
    if (japanese && japaneseDocumentation.isArray()) {
        r.documentationList = readDocumentation(japaneseDocumentation.toArray(), japanese);
    } else {
        const QJsonValue documentation = o.value(QStringLiteral("documentationList"));
        if (documentation.isArray())
            r.documentationList = readDocumentation(documentation.toArray(), japanese);
    }
    return r;
}

}
