#pragma once

#include "catalogue/FirmwareDatabase.h"
#include "common/TestFiles.h"
#include "common/TestPackages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// A firmware catalogue whose packages lie, real, in a server folder: each add puts the package
// there and a release naming it into the catalogue. Fields can be changed before database()
// parses the document, as the application would.
class TestCatalogue
{
public:
    TestCatalogue(const QString &serverRoot, const QUrl &baseUrl)
        : m_root(serverRoot),
          m_base(baseUrl)
    {
    }

    // A package that is itself the firmware file. Returns the release's index.
    int addPlain(const QString &package, int size, const QStringList &models)
    {
        Entry entry;
        entry.package = package;
        entry.packageBytes = TestPackages::payload(package, size);
        return add(entry, models);
    }

    // A zip package holding one firmware file per member size, named after the package.
    int addZip(const QString &package, const QList<int> &memberSizes, const QStringList &models)
    {
        Entry entry;
        entry.package = package;
        for (int i = 0; i < memberSizes.size(); ++i) {
            const QString name = package + QStringLiteral(".part%1.bin").arg(i);
            entry.members.append({name, TestPackages::payload(name, memberSizes.at(i))});
        }
        const QString path = m_root + QLatin1Char('/') + package;
        if (!TestPackages::makeZip(path, entry.members))
            qFatal("cannot build the test archive %s", qPrintable(path));
        entry.packageBytes = TestFiles::readFile(path);
        return add(entry, models);
    }

    // The release's catalogue object, to change fields before database().
    QJsonObject &release(int index) { return m_entries[index].json; }

    FirmwareDatabase database() const
    {
        QJsonArray firmware;
        for (const Entry &entry : m_entries)
            firmware.append(entry.json);
        const QJsonObject info{{"databaseVersion", 1}};
        FirmwareDatabase database;
        database.parse(QJsonDocument(QJsonObject{{"info", info}, {"firmware", firmware}}).toJson(), QLocale::English);
        return database;
    }

    // What a finished download leaves in the cache: the unpacked files, or the plain package.
    bool cacheFirmware(int index, const QString &cacheFolder) const
    {
        const Entry &entry = m_entries.at(index);
        if (entry.members.isEmpty())
            return TestFiles::writeFile(cacheFolder + QLatin1Char('/') + entry.package, entry.packageBytes);
        for (const TestPackages::Member &member : entry.members) {
            if (!TestFiles::writeFile(cacheFolder + QLatin1Char('/') + member.first, member.second))
                return false;
        }
        return true;
    }

    // The package itself in the cache, as an interrupted unpack or an earlier download leaves it.
    bool cachePackage(int index, const QString &cacheFolder) const
    {
        const Entry &entry = m_entries.at(index);
        return TestFiles::writeFile(cacheFolder + QLatin1Char('/') + entry.package, entry.packageBytes);
    }

    QStringList firmwareFiles(int index) const
    {
        const Entry &entry = m_entries.at(index);
        if (entry.members.isEmpty())
            return {entry.package};
        QStringList names;
        for (const TestPackages::Member &member : entry.members)
            names.append(member.first);
        return names;
    }

    int packageSize(int index) const { return int(m_entries.at(index).packageBytes.size()); }

private:
    struct Entry
    {
        QString package;
        QByteArray packageBytes;
        QList<TestPackages::Member> members;
        QJsonObject json;
    };

    int add(Entry entry, const QStringList &models)
    {
        const QString path = m_root + QLatin1Char('/') + entry.package;
        if (entry.members.isEmpty() && !TestFiles::writeFile(path, entry.packageBytes))
            qFatal("cannot write the served package %s", qPrintable(path));
        QJsonObject json{
            {"version", "R" + QString::number(m_entries.size() + 1) + ".000"},
            {"downloadLoc", m_base.resolved(QUrl(entry.package)).toString()},
            {"seriesName", "TestSeries"},
            {"fileChecksum", TestPackages::md5Hex(entry.packageBytes)},
            {"fileSize", int(entry.packageBytes.size())},
            {"requiresAppBuild", 250000},
            {"updateViaHTTP", 1},
            {"updateViaUSB", 1},
            {"models", QJsonArray::fromStringList(models)},
            {"changes", QJsonObject{{"version", "R" + QString::number(m_entries.size() + 1) + ".000"}}},
        };
        const QJsonArray unpacked = TestPackages::unpackedFileInfo(entry.members);
        if (!unpacked.isEmpty())
            json.insert("unpackedFileInfo", unpacked);
        // A LAN update sends the components the catalogue names: one per file here.
        json.insert("numPACComponents", qMax(1, int(unpacked.size())));
        entry.json = json;
        m_entries.append(entry);
        return m_entries.size() - 1;
    }

    QString m_root;
    QUrl m_base;
    QList<Entry> m_entries;
};
