#include "catalogue/FirmwareDatabase.h"

#include "catalogue/CatalogueJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

int FirmwareDatabase::parse(const QByteArray &bytes)
{
    return parse(bytes, QLocale::system().language());
}

int FirmwareDatabase::parse(const QByteArray &bytes, QLocale::Language language)
{
    m_releases.clear();
    m_modelIndex.clear();
    databaseVersion = 0;

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return ParseInvalidJson;

    const bool japanese = language == QLocale::Japanese;

    if (!document.isObject())
        return ParseNoFirmware;
    const QJsonObject root = document.object();
    const QJsonValue info = root.value(QStringLiteral("info"));
    if (!info.isObject())
        return ParseNoInfo;
    CatalogueJson::readHeader(info.toObject(), japanese, *this);

    const QJsonValue firmware = root.value(QStringLiteral("firmware"));
    if (!firmware.isArray())
        return ParseNoFirmware;
    const QJsonArray array = firmware.toArray();
    m_releases.reserve(array.size());
    for (const QJsonValue &element : array)
        m_releases.append(CatalogueJson::readRelease(element, japanese));
    rebuildModelIndex();
    return ParseOk;
}

int FirmwareDatabase::clear()
{
    m_releases.clear();
    m_modelIndex.clear();
    databaseVersion = 0;
    return 0;
}

int FirmwareDatabase::count() const
{
    return int(m_releases.size());
}

const QList<FirmwareRelease> &FirmwareDatabase::releases() const
{
    return m_releases;
}

int FirmwareDatabase::releaseAt(int index, FirmwareRelease &out) const
{
    if (index < 0 || index >= m_releases.size())
        return -1;
    out = m_releases.at(index);
    return 0;
}

bool FirmwareDatabase::releaseMatches(const FirmwareRelease &release, const QString &model,
                                      const QString &serialNumber)
{
    if (!release.models.contains(model, Qt::CaseInsensitive))
        return false;
    const qint32 position = release.needSNMatchPosition;
    if (position < 1)
        return true;
    if (serialNumber.size() < position)
        return false;
    return release.needSNMatchDigitsList.contains(serialNumber.at(position - 1), Qt::CaseInsensitive);
}

int FirmwareDatabase::findReleaseIndexLinear(const QString &model, const QString &serialNumber) const
{
    for (int i = 0; i < m_releases.size(); ++i) {
        if (releaseMatches(m_releases.at(i), model, serialNumber))
            return i;
    }
    return -1;
}

int FirmwareDatabase::findReleaseIndex(const QString &model, const QString &serialNumber) const
{
    const auto found = m_modelIndex.constFind(model.toCaseFolded());
    if (found == m_modelIndex.constEnd())
        return -1;
    for (int i : found.value()) {
        if (releaseMatches(m_releases.at(i), model, serialNumber))
            return i;
    }
    return -1;
}

int FirmwareDatabase::findRelease(const QString &model, const QString &serialNumber,
                                  FirmwareRelease &out) const
{
    const int index = findReleaseIndex(model, serialNumber);
    if (index < 0)
        return -1;
    out = m_releases.at(index);
    return 0;
}

QList<int> FirmwareDatabase::releaseIndicesForModel(const QString &model) const
{
    const auto found = m_modelIndex.constFind(model.toCaseFolded());
    if (found == m_modelIndex.constEnd())
        return {};
    // Checked again with the plain comparison so the answer stays that of a walk through every
    // release even for names where case folding and case-insensitive comparison could differ.
    QList<int> indices;
    for (int i : found.value()) {
        if (m_releases.at(i).models.contains(model, Qt::CaseInsensitive))
            indices.append(i);
    }
    return indices;
}

void FirmwareDatabase::copyHeaderTo(FirmwareDatabase &other) const
{
    other.databaseVersion = databaseVersion;
    other.latestAppBuildWindows = latestAppBuildWindows;
    other.latestAppBuildMacOS = latestAppBuildMacOS;
    other.latestAppdownloadLocWindows = latestAppdownloadLocWindows;
    other.latestAppVersionStringWindows = latestAppVersionStringWindows;
    other.latestAppVersionStringMacOS = latestAppVersionStringMacOS;
    other.aboutURLs = aboutURLs;
    other.previousAppChangeListWindows = previousAppChangeListWindows;
}

void FirmwareDatabase::rebuildModelIndex()
{
    m_modelIndex.clear();
    for (int i = 0; i < m_releases.size(); ++i) {
        for (const QString &model : m_releases.at(i).models) {
            QList<int> &indices = m_modelIndex[model.toCaseFolded()];
            // A release naming one model twice is listed once.
            if (indices.isEmpty() || indices.constLast() != i)
                indices.append(i);
        }
    }
}
