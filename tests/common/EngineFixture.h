#pragma once

#include "common/ServedProfile.h"
#include "common/TestFiles.h"
#include "common/TestPackages.h"
#include "engine/QuillonEngine.h"
#include "fwserver/FwServer.h"

#include "SimDisplay.h"
#include "SimFleet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

// The engine against simulated displays and the local firmware server, in a throw-away profile:
// settings and cache folder in a temporary home, a catalogue with one release per display
// holding real packages (plain, or zip archives of several files), the displays on addresses of
// their own, and the stored target list and update limit naming the fleet. The window builds its
// engine from this profile; engine tests get theirs from makeEngine().
//
// The displays' web servers use port 80 and a search binds UDP port 5320: tests using this need
// root and run alone.
class EngineFixture
{
public:
    struct Display
    {
        const char *model;
        const char *seriesName;
        int series;
        int files = 1;           // > 1: a zip package with that many unpacked files
        int powerSave = 2;       // the display's power-save setting
        bool secondAddress = false;
        bool powerPrep = false;  // the catalogue asks for the power-save mode "Off" before the update
    };

    static inline const QString OldVersion = QStringLiteral("R1.000");
    static inline const QString NewVersion = QStringLiteral("2.000");
    static inline const QString VersionAfter = QStringLiteral("R2.000");

    // The fleet on network.1, network.2, ...; second addresses on secondNetwork.N.
    EngineFixture(const QString &network, const QString &secondNetwork)
        : m_network(network), m_secondNetwork(secondNetwork)
    {
    }

    QHostAddress address(int i) const { return QHostAddress(QStringLiteral("%1.%2").arg(m_network).arg(i + 1)); }
    QHostAddress secondAddress(int i) const
    {
        return QHostAddress(QStringLiteral("%1.%2").arg(m_secondNetwork).arg(i + 1));
    }
    const QString &home() const { return m_homePath; }
    QString homeFile(const QString &name) const { return m_home.filePath(name); }
    FwServer &server() { return m_server; }
    SimFleet &fleet() { return m_fleet; }

    // Profile, catalogue, server and displays; adjust changes a display's simulation before it
    // starts. Call once, from initTestCase (QVERIFY inside).
    void setUp(const QList<Display> &plan, int updateLimit,
               const std::function<void(int, SimDisplayConfig &)> &adjust = {})
    {
        QVERIFY(m_home.isValid() && m_serverRoot.isValid());
        m_homePath = m_home.path();
        m_plan = plan;
        QVERIFY(ServedProfile::start(m_home, m_server, m_serverRoot.path(), QHostAddress(QStringLiteral("127.0.0.1"))));
        writeCatalogue();
        startFleet(adjust);
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Halvern"), QStringLiteral("Quillon"));
        s.setValue("Settings/IP Address Scan Text",
                   QStringLiteral("%1 - %2").arg(address(0).toString()).arg(plan.size()));
        s.setValue("Settings/Multi Update Limit", updateLimit);
    }

    // An engine on the profile, its waits shortened as quillonctl's hidden option does.
    std::unique_ptr<QuillonEngine> makeEngine(const QString &frontEnd = QuillonEngine::CtlFrontEnd) const
    {
        auto engine = std::make_unique<QuillonEngine>(frontEnd);
        engine->useShortWaits();
        return engine;
    }

    // The catalogue, then a targeted search of the fleet; true when every display has its row.
    bool loadAndSearch(QuillonEngine &engine, int timeoutMs = 30000) const
    {
        engine.loadCatalogue();
        if (!QTest::qWaitFor([&] { return !engine.isCatalogueLoading(); }, timeoutMs) || !engine.state().databaseLoaded)
            return false;
        if (!engine.startSearch(false))
            return false;
        return QTest::qWaitFor([&] {
            return engine.isSearchSettled() && engine.state().displayEntries.size() == m_plan.size();
        }, timeoutMs);
    }

private:
    void writeCatalogue()
    {
        QJsonArray firmware;
        for (const Display &p : qAsConst(m_plan)) {
            const QString model = QString::fromLatin1(p.model);
            QJsonObject release {
                { "version", NewVersion },
                { "seriesName", QString::fromLatin1(p.seriesName) },
                { "updateViaHTTP", 1 },
                { "updateViaUSB", 1 },
                { "updateViaHTTPDurationSecs", 5 },
                { "numPACComponents", p.files },
                { "useIP2", p.secondAddress ? 1 : 0 },
                { "needPowerSaveModeToNormal", p.powerPrep ? 1 : 0 },
                { "models", QJsonArray { model } },
                { "changes", QJsonObject { { "version", NewVersion }, { "changeList", "Fixes" } } },
            };
            QByteArray package;
            QString packageName;
            if (p.files > 1) {
                packageName = model + QStringLiteral(".zip");
                const QString path = m_serverRoot.filePath(packageName);
                QList<TestPackages::Member> members;
                for (int k = 0; k < p.files; ++k) {
                    const QString name = QStringLiteral("%1_%2.bin").arg(model).arg(k + 1);
                    members.append({ name, TestPackages::payload(name, 30000 + k) });
                }
                QVERIFY(TestPackages::makeZip(path, members));
                release.insert("unpackedFileInfo", TestPackages::unpackedFileInfo(members));
                package = TestFiles::readFile(path);
            } else {
                packageName = model + QStringLiteral(".bin");
                package = TestPackages::payload(packageName, 40000);
                QVERIFY(TestFiles::writeFile(m_serverRoot.filePath(packageName), package));
            }
            release.insert("downloadLoc", m_server.url(packageName).toString());
            release.insert("fileChecksum", TestPackages::md5Hex(package));
            release.insert("fileSize", package.size());
            firmware.append(release);
        }
        const QJsonObject doc { { "info", QJsonObject { { "databaseVersion", 7 }, { "latestAppBuildWindows", 250930 } } },
                                { "firmware", firmware } };
        QVERIFY(TestFiles::writeFile(m_serverRoot.filePath("pd_firmware_releases.json"), QJsonDocument(doc).toJson()));
    }

    void startFleet(const std::function<void(int, SimDisplayConfig &)> &adjust)
    {
        QList<SimDisplayConfig> configs;
        for (int i = 0; i < m_plan.size(); ++i) {
            const Display &p = m_plan.at(i);
            SimDisplayConfig c;
            c.modelName = QString::fromLatin1(p.model);
            c.serialNumber = QStringLiteral("74A%1").arg(i, 5, 10, QLatin1Char('0'));
            c.seriesCode = quint8(p.series);
            c.mainFwVersion = OldVersion;
            c.macAddress = QByteArray::fromHex("0016AA7700") + char(i);
            c.powerSaveSetting = p.powerSave;
            c.update.components = p.files;
            c.update.rebootMs = 300;
            c.update.firmwareAfterMain = VersionAfter;
            c.update.legacyQuietMs = 1;
            c.update.abandonMs = 5000;
            c.update.checkPolls = 1;
            if (p.secondAddress) {
                c.secondAddress = secondAddress(i);
                c.serveSecondAddress = true;
            }
            if (adjust)
                adjust(i, c);
            configs.append(c);
        }
        QCOMPARE(m_fleet.start(address(0), configs), 0);
    }

    const QString m_network;
    const QString m_secondNetwork;
    QTemporaryDir m_home;
    QString m_homePath;
    QTemporaryDir m_serverRoot;
    FwServer m_server;
    SimFleet m_fleet;
    QList<Display> m_plan;
};
