#include "common/ServedCatalogue.h"
#include "common/TestFiles.h"
#include "common/TestTimeScale.h"
#include "fwserver/FwServer.h"

#include "SimDisplay.h"
#include "SimFleet.h"
#include "SimUpdateStats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

// The Ansible role and playbooks of deploy/ansible as an administrator runs them, against three
// sites on this machine: each site an inventory host with `ansible_connection=local`, a home of
// its own and its own simulated displays on a loopback range, all served by one local firmware
// server. The displays and the files the playbook leaves on the controller tell what happened.
namespace {

struct Site
{
    const char *name;
    int subnet;      // the site's displays are 127.0.<subnet>.1 - 3
    int updateLimit; // written into the site's settings by the role
};

const Site Sites[] = {
    { "site-pilot", 91, 5 },
    { "site-east", 92, 1 },
    { "site-west", 93, 5 },
};
constexpr int SiteCount = int(std::size(Sites));
constexpr int DisplaysPerSite = 3;

struct Model
{
    const char *name;
    const char *seriesName;
    int series;
};

// Each site: a cgictrl display, a stamped pjctrl display, and a cgictrl one again.
const Model Models[DisplaysPerSite] = {
    { "CG-343", "SERIES_CEDAR5", 3 },
    { "RH-048", "SERIES_ROWAN_H", 10 },
    { "CG-444", "SERIES_CEDAR5", 3 },
};

QHostAddress displayAddress(int site, int display)
{
    return QHostAddress(QStringLiteral("127.0.%1.%2").arg(Sites[site].subnet).arg(display + 1));
}

QJsonObject readObject(const QString &path)
{
    return QJsonDocument::fromJson(TestFiles::readFile(path)).object();
}

enum class Network { Own, Shared, Broken };

// The sites' quillonctl runs bind the wildcard UDP port 5320 for their searches; in a network
// namespace of our own no other program on this machine (another test, a demo) takes their
// replies. Entered before any thread starts, so every thread and child process is in it.
Network enterOwnNetwork()
{
    if (::geteuid() != 0 || ::unshare(CLONE_NEWNET) != 0)
        return Network::Shared;
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return Network::Broken;
    ifreq request {};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags |= IFF_UP;
    up = up && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    ::close(fd);
    return up ? Network::Own : Network::Broken;
}

struct Run
{
    int exitCode = -1;
    QByteArray out;
};

}

class TestFleetRollout : public QObject
{
    Q_OBJECT

public:
    explicit TestFleetRollout(Network network)
        : m_network(network)
    {
    }

private:
    const Network m_network;
    QString m_ansiblePlaybook;
    QTemporaryDir m_serverRoot;
    FwServer m_server;
    std::unique_ptr<QTemporaryDir> m_work;
    QList<std::shared_ptr<SimFleet>> m_fleets;

    QString work(const QString &name) const { return m_work->filePath(name); }
    QString fleetDir() const { return work(QStringLiteral("fleet-report")); }

    void writeCatalogue()
    {
        QList<ServedCatalogue::Release> releases;
        for (const Model &model : Models)
            releases.append({ QString::fromLatin1(model.name), QString::fromLatin1(model.seriesName) });
        QVERIFY(ServedCatalogue::write(m_serverRoot.path(), [this](const QString &name) { return m_server.url(name); },
                                       QStringLiteral("2.000"), releases));
    }

    // failingSite: the site whose second display fails its update (-1: none).
    void startFleets(int failingSite)
    {
        m_fleets.clear();
        for (int s = 0; s < SiteCount; ++s) {
            QList<SimDisplayConfig> configs;
            for (int d = 0; d < DisplaysPerSite; ++d) {
                SimDisplayConfig c;
                c.modelName = QString::fromLatin1(Models[d].name);
                c.serialNumber = QStringLiteral("%1A%2").arg(Sites[s].subnet).arg(d, 5, 10, QLatin1Char('0'));
                c.seriesCode = quint8(Models[d].series);
                c.mainFwVersion = QStringLiteral("R1.000");
                c.macAddress = QByteArray::fromHex("0016AA") + char(Sites[s].subnet) + char(0) + char(d);
                c.update.components = 1;
                c.update.rebootMs = 300;
                c.update.firmwareAfterMain = QStringLiteral("R2.000");
                c.update.abandonMs = TestTimeScale::scaled(5000);
                c.update.checkPolls = 1;
                c.update.progressStep = 50;
                if (s == failingSite && d == 1)
                    c.update.updateFailComponent = 1;
                configs.append(c);
            }
            auto fleet = std::make_shared<SimFleet>();
            QCOMPARE(fleet->start(displayAddress(s, 0), configs), 0);
            m_fleets.append(fleet);
        }
    }

    // noReportSite: the site whose firmware server address leads nowhere (-1: none).
    void writeInventory(int noReportSite)
    {
        QString text = QStringLiteral("[quillon_pilot]\n%1\n\n[quillon_sites]\n%2\n%3\n\n[all:vars]\n");
        for (int s = 0; s < SiteCount; ++s) {
            text = text.arg(QStringLiteral("%1 quillon_targets=\"%2 - %3\" quillon_home=%4 quillon_update_limit=%5")
                                    .arg(QString::fromLatin1(Sites[s].name), displayAddress(s, 0).toString())
                                    .arg(DisplaysPerSite)
                                    .arg(work(QString::fromLatin1(Sites[s].name) + QStringLiteral("-home")))
                                    .arg(Sites[s].updateLimit)
                           + (s == noReportSite ? QStringLiteral(" quillon_firmware_url=http://127.0.0.1:9/firmwareupdates/")
                                                : QString()));
        }
        const QString ctl = QStringLiteral(QUILLONCTL_PATH);
        text += QStringLiteral("ansible_connection=local\n"
                               "ansible_python_interpreter=/usr/bin/python3\n"
                               "quillon_install_package=false\n"
                               "quillon_ctl=%1\n"
                               "quillon_merge_ctl=%1\n"
                               "quillon_firmware_url=%2\n"
                               "quillon_extra_args=[\"--test-short-waits\"]\n"
                               "quillon_fleet_dir=%3\n"
                               "quillon_run_timeout=%4\n")
                        .arg(ctl, m_server.url(QString()).toString(), fleetDir())
                        .arg(TestTimeScale::scaled(120));
        QVERIFY(TestFiles::writeFile(work("inventory.ini"), text.toUtf8()));
        // forks = 1: the sites share this machine's UDP port 5320, so they run one at a time
        // even within a wave.
        const QString config = QStringLiteral("[defaults]\n"
                                              "forks = 1\n"
                                              "nocolor = true\n"
                                              "retry_files_enabled = false\n"
                                              "host_key_checking = false\n"
                                              "local_tmp = %1\n"
                                              "remote_tmp = %2\n")
                                       .arg(work("ansible-local"), work("ansible-remote"));
        QVERIFY(TestFiles::writeFile(work("ansible.cfg"), config.toUtf8()));
    }

    // Runs a playbook of deploy/ansible with the event loop turning, so the displays and the
    // firmware server answer the sites.
    Run playbook(const QString &name)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *variable : { "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "ANSIBLE_INVENTORY",
                                      "ANSIBLE_ROLES_PATH", "QUILLON_FIRMWARE_URL" })
            env.remove(QString::fromLatin1(variable));
        env.insert(QStringLiteral("HOME"), work(QStringLiteral("controller-home")));
        env.insert(QStringLiteral("ANSIBLE_CONFIG"), work(QStringLiteral("ansible.cfg")));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
        QProcess process;
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setWorkingDirectory(m_work->path());
        process.start(m_ansiblePlaybook,
                      { QStringLiteral("-i"), work(QStringLiteral("inventory.ini")),
                        QStringLiteral(QUILLON_ANSIBLE_DIR "/") + name });
        Run result;
        if (!process.waitForStarted(10000))
            return result;
        (void)QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, TestTimeScale::scaled(240000));
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        } else {
            result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        }
        result.out = process.readAll();
        // Kept beside the reports for a look after a failure.
        (void)TestFiles::writeFile(work(name + QStringLiteral(".out")), result.out);
        return result;
    }

    QJsonObject status(const QString &command, int site) const
    {
        return readObject(fleetDir() + QLatin1Char('/') + command + QStringLiteral("/status/")
                          + QString::fromLatin1(Sites[site].name) + QStringLiteral(".json"));
    }

    bool ranAt(const QString &command, int site) const
    {
        return QFile::exists(fleetDir() + QLatin1Char('/') + command + QStringLiteral("/status/")
                             + QString::fromLatin1(Sites[site].name) + QStringLiteral(".json"));
    }

    // The merged rows of one site, in its report's order.
    static QList<QJsonObject> rowsOf(const QJsonArray &merged, int site)
    {
        QList<QJsonObject> rows;
        for (const QJsonValue &value : merged) {
            if (value.toObject().value("site").toString() == QLatin1String(Sites[site].name))
                rows.append(value.toObject());
        }
        return rows;
    }

    // The CSV's rows as cells (no quoted cells in these reports), header first.
    QList<QStringList> csvRows(const QString &command) const
    {
        QByteArray bytes = TestFiles::readFile(fleetDir() + QLatin1Char('/') + command + QStringLiteral("/fleet.csv"));
        if (!bytes.startsWith("\xEF\xBB\xBF"))
            return {};
        QList<QStringList> rows;
        for (const QByteArray &line : bytes.mid(3).split('\n')) {
            if (!line.isEmpty())
                rows.append(QString::fromUtf8(line.chopped(line.endsWith('\r') ? 1 : 0)).split(QLatin1Char(',')));
        }
        return rows;
    }

    QString failureText(const Run &run) const { return QString::fromUtf8(run.out.right(4000)); }

private slots:
    void initTestCase()
    {
        m_ansiblePlaybook = QStandardPaths::findExecutable(QStringLiteral("ansible-playbook"));
        if (m_ansiblePlaybook.isEmpty())
            QSKIP("ansible-playbook is not installed (Debian package ansible-core)");
        QVERIFY2(::geteuid() == 0, "the simulated displays' web servers need port 80: run as root");
        QVERIFY2(m_network != Network::Broken, "a network namespace was made but its loopback cannot be brought up");
        if (m_network == Network::Shared)
            qWarning("running in the machine's network namespace: another search on UDP port 5320 can disturb this test");
        QVERIFY(m_serverRoot.isValid());
        m_server.setRoot(m_serverRoot.path());
        m_server.setBasePath(QStringLiteral("/firmwareupdates/"));
        QVERIFY(m_server.listen(QHostAddress(QStringLiteral("127.0.0.1"))));
        writeCatalogue();
    }

    void init()
    {
        m_work = std::make_unique<QTemporaryDir>();
        QVERIFY(m_work->isValid());
    }

    void cleanup()
    {
        m_fleets.clear();
        // Kept for a look at the fleet report too when QUILLON_KEEP_FLEET_FILES is set.
        if (QTest::currentTestFailed() || qEnvironmentVariableIsSet("QUILLON_KEEP_FLEET_FILES")) {
            m_work->setAutoRemove(false);
            qWarning("the playbook's files are kept in %s", qPrintable(m_work->path()));
        }
    }

    // The inventory play: every site lists its displays, and the controller has one list with the
    // site of each display; the settings are written for each site's own run user.
    void inventoryListsEverySite()
    {
        writeInventory(-1);
        startFleets(-1);
        const Run run = playbook(QStringLiteral("search.yml"));
        QVERIFY2(run.exitCode == 0, qPrintable(failureText(run)));

        const QJsonArray merged = QJsonDocument::fromJson(TestFiles::readFile(fleetDir() + QStringLiteral("/search/fleet.json"))).array();
        QCOMPARE(merged.size(), SiteCount * DisplaysPerSite);
        for (int s = 0; s < SiteCount; ++s) {
            const QList<QJsonObject> rows = rowsOf(merged, s);
            QCOMPARE(rows.size(), DisplaysPerSite);
            QSet<QString> addresses;
            for (const QJsonObject &row : rows) {
                addresses.insert(row.value("address").toString());
                QCOMPARE(row.value("firmware").toString(), QStringLiteral("R1.000"));
                QCOMPARE(row.value("update_available"), QJsonValue(true));
            }
            QCOMPARE(addresses, (QSet<QString> { displayAddress(s, 0).toString(), displayAddress(s, 1).toString(),
                                                 displayAddress(s, 2).toString() }));
            QCOMPARE(status(QStringLiteral("search"), s).value("exit_code"), QJsonValue(0));

            const QString settings = work(QString::fromLatin1(Sites[s].name)
                                          + QStringLiteral("-home/.config/Halvern/Quillon.conf"));
            QSettings stored(settings, QSettings::IniFormat);
            QCOMPARE(stored.value(QStringLiteral("Settings/Multi Update Limit")).toInt(), Sites[s].updateLimit);
            QCOMPARE(stored.value(QStringLiteral("Settings/LDS")).toInt(), 0);
            // Nothing asked for a rollout policy: no key of it is left.
            QVERIFY(!stored.contains(QStringLiteral("Settings/RolloutFirstPerModel")));
            QVERIFY(!stored.contains(QStringLiteral("Settings/RolloutMaxFailures")));
            // An inventory changes no display.
            QCOMPARE(m_fleets.at(s)->updateStats()->maxConcurrent(), 0);
        }
        const QList<QStringList> csv = csvRows(QStringLiteral("search"));
        QCOMPARE(csv.size(), 1 + SiteCount * DisplaysPerSite);
        QCOMPARE(csv.first(), QString("site,address,model,serial,power,firmware,status,update_available,mac,asset_tag,"
                                      "latest_version,firmware_status").split(','));
    }

    void rollout_data()
    {
        QTest::addColumn<int>("failingSite");  // its second display fails its update
        QTest::addColumn<int>("noReportSite"); // its firmware server cannot be reached
        QTest::addColumn<int>("sitesRun");
        QTest::addColumn<int>("playbookExit");
        QTest::addColumn<QString>("said");
        // A failed display at a later site: the site's report and exit code say so, the play
        // goes on (exit code 1 fails only the pilot).
        QTest::newRow("failure at a later site")
                << 2 << -1 << 3 << 0 << "quillonctl update ended with exit code 1 at site-west: its rows in";
        // A failed display at the pilot stops the rollout: no other site starts.
        QTest::newRow("failure at the pilot")
                << 0 << -1 << 1 << 2 << "quillonctl update ended with exit code 1 at site-pilot (see its rows in";
        // A site whose run ended before any result fails its host, and keeps no report of a
        // display that was not updated.
        QTest::newRow("later site without a report")
                << -1 << 2 << 3 << 2 << "quillonctl update ended with exit code 1 at site-west before it had any result";
    }

    void rollout()
    {
        QFETCH(int, failingSite);
        QFETCH(int, noReportSite);
        QFETCH(int, sitesRun);
        QFETCH(int, playbookExit);
        QFETCH(QString, said);
        writeInventory(noReportSite);
        startFleets(failingSite);
        const Run run = playbook(QStringLiteral("update.yml"));
        QVERIFY2(run.exitCode == playbookExit, qPrintable(failureText(run)));
        QVERIFY2(run.out.contains(said.toUtf8()), qPrintable(failureText(run)));

        const QJsonArray merged = QJsonDocument::fromJson(TestFiles::readFile(fleetDir() + QStringLiteral("/update/fleet.json"))).array();
        const int sitesReported = sitesRun - (noReportSite >= 0 ? 1 : 0);
        QCOMPARE(merged.size(), sitesReported * DisplaysPerSite);
        const QList<QStringList> csv = csvRows(QStringLiteral("update"));
        QCOMPARE(csv.size(), 1 + merged.size());
        QCOMPARE(csv.first().first(), QStringLiteral("site"));

        for (int s = 0; s < SiteCount; ++s) {
            const QString site = QString::fromLatin1(Sites[s].name);
            const auto noUpdateReached = [&] {
                for (int d = 0; d < DisplaysPerSite; ++d)
                    QCOMPARE(m_fleets.at(s)->updateStats()->displays().value(displayAddress(s, d).toString()).attempts, 0);
            };
            if (s >= sitesRun) {
                // A wave that never started: no record, not even a search at any of its displays.
                QVERIFY2(!ranAt(QStringLiteral("update"), s), qPrintable(site));
                QVERIFY(rowsOf(merged, s).isEmpty());
                for (int d = 0; d < DisplaysPerSite; ++d)
                    QCOMPARE(m_fleets.at(s)->display(displayAddress(s, d))->requestLog().count(SimLogEntry::Channel::Search), 0);
                noUpdateReached();
                continue;
            }
            const QJsonObject ran = status(QStringLiteral("update"), s);
            if (s == noReportSite) {
                QCOMPARE(ran.value("exit_code"), QJsonValue(1));
                QCOMPARE(ran.value("report"), QJsonValue(false));
                QVERIFY(rowsOf(merged, s).isEmpty());
                noUpdateReached();
                continue;
            }
            const QList<QJsonObject> rows = rowsOf(merged, s);
            QCOMPARE(rows.size(), DisplaysPerSite);
            for (int d = 0; d < DisplaysPerSite; ++d) {
                const QString address = displayAddress(s, d).toString();
                const auto row = std::find_if(rows.begin(), rows.end(), [&](const QJsonObject &r) {
                    return r.value("address").toString() == address;
                });
                QVERIFY2(row != rows.end(), qPrintable(address));
                const bool fails = s == failingSite && d == 1;
                QVERIFY2((row->value("result").toInt() == 3) != fails, qPrintable(row->value("result_text").toString()));
                QCOMPARE(row->value("model").toString(), QString::fromLatin1(Models[d].name));
                // A display whose update failed before its restart told no version after it.
                QCOMPARE(row->value("firmware_after"), fails ? QJsonValue(QJsonValue::Null) : QJsonValue(QStringLiteral("R2.000")));
                // The CSV says the same, row for row, with the site first.
                const auto csvRow = std::find_if(csv.begin(), csv.end(), [&](const QStringList &cells) {
                    return cells.value(1) == address;
                });
                QVERIFY2(csvRow != csv.end(), qPrintable(address));
                QCOMPARE(csvRow->value(0), site);
                QCOMPARE(csvRow->value(7), QString::number(row->value("result").toInt()));
            }
            // The failure is the site's exit code too, not lost on the way to the controller.
            QCOMPARE(ran.value("exit_code"), QJsonValue(s == failingSite ? 1 : 0));
            QCOMPARE(ran.value("report"), QJsonValue(true));
            // The role wrote the site's limit, and quillonctl kept to it.
            const int maxConcurrent = m_fleets.at(s)->updateStats()->maxConcurrent();
            if (Sites[s].updateLimit == 1)
                QCOMPARE(maxConcurrent, 1);
            else
                QVERIFY2(maxConcurrent >= 2, qPrintable(QString::number(maxConcurrent)));
        }
        if (playbookExit != 0) {
            const QString failed = QString::fromLatin1(Sites[failingSite >= 0 ? failingSite : noReportSite].name);
            QVERIFY(QRegularExpression(failed + QStringLiteral("\\s*:.*failed=1")).match(QString::fromUtf8(run.out)).hasMatch());
        }
        if (sitesRun < SiteCount)
            return;

        // The pilot's wave was over, its report on the controller, before another site started:
        // by Ansible's record and by the displays' own update times.
        const QString pilotReported = status(QStringLiteral("update"), 0).value("reported").toString();
        QString pilotSettled;
        for (const QJsonObject &row : rowsOf(merged, 0))
            pilotSettled = qMax(pilotSettled, row.value("settled").toString());
        const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{6}$"));
        QVERIFY2(stamp.match(pilotReported).hasMatch(), qPrintable(pilotReported));
        for (int s = 1; s < SiteCount; ++s) {
            const QString started = status(QStringLiteral("update"), s).value("started").toString();
            QVERIFY2(stamp.match(started).hasMatch(), qPrintable(started));
            QVERIFY2(pilotReported < started, qPrintable(pilotReported + QStringLiteral(" / ") + started));
            // quillonctl's times are whole seconds.
            for (const QJsonObject &row : rowsOf(merged, s)) {
                QVERIFY2(pilotSettled <= row.value("started").toString(),
                         qPrintable(pilotSettled + QStringLiteral(" / ") + row.value("started").toString()));
            }
        }
    }
};

int main(int argc, char *argv[])
{
    const Network network = enterOwnNetwork();
    QCoreApplication app(argc, argv);
    TestFleetRollout test(network);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fleetrollout.moc"
