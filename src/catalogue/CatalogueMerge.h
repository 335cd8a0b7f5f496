#pragma once

#include "catalogue/CatalogueMergeResult.h"
#include "catalogue/FirmwareDatabase.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QLocale>
#include <QString>

// Chooses between the catalogue copy in the cache folder and the one just downloaded from the
// firmware server, and keeps the local file up to date with a newer server copy.
class CatalogueMerge
{
    Q_DECLARE_TR_FUNCTIONS(CatalogueMerge)

public:
    static constexpr qint64 LocalReadLimit = 999999;
    static constexpr int StatusTimeoutMs = 5000;

    // "pd_firmware_releases.json", on the server and in the cache folder.
    static QString catalogueFileName();

    explicit CatalogueMerge(const QString &cacheFolder);

    // Parses in this language instead of the system locale's.
    void setLanguage(QLocale::Language language);

    QString localFilePath() const;

    // The cache folder's copy: databaseVersion -1 and no releases when the file is missing,
    // unreadable or empty; a copy that fails to parse is kept as far as it was read.
    FirmwareDatabase readLocalCopy() const;

    // downloadStatus is the downloader's final status (0 success); serverBytes its in-memory data,
    // empty when there was no download. The server copy wins only with releases and a greater
    // databaseVersion, and is then written unchanged over the local file.
    CatalogueMergeResult merge(int downloadStatus, const QByteArray &serverBytes) const;

private:
    int parseInto(FirmwareDatabase &database, const QByteArray &bytes) const;
    bool replaceLocalFile(const QByteArray &bytes) const;

    QString m_cacheFolder;
    QLocale::Language m_language = QLocale::AnyLanguage; // AnyLanguage: the system locale's
};
