#include "discovery/DisplaySearchUDP.h"

#include "SimDisplay.h"

#include <QtTest>

// The search as the application makes it: listening on every IPv4 address, port 5320.
namespace {

QHostAddress at(int last)
{
    return QHostAddress(QStringLiteral("127.0.21.%1").arg(last));
}

} // namespace

class tst_DisplaySearchUDPWildcard : public QObject
{
    Q_OBJECT

private slots:
    void displaysOnThisPcKeepTheirPort();
};

void tst_DisplaySearchUDPWildcard::displaysOnThisPcKeepTheirPort()
{
    DisplaySearchUDP search;                  // bound first, as when the application runs
    SimDisplay display;
    QCOMPARE(display.start(at(10)), 0);       // still binds 127.0.21.10:5320

    QSignalSpy results(&search, &DisplaySearchUDP::device_results);
    QSignalSpy finished(&search, &DisplaySearchUDP::finished);
    search.setFilterMode(2);
    // Nothing listens at .99: that request loops back to this very socket. It is ours, and must
    // neither count as an answer nor list anybody as a responder.
    QCOMPARE(search.setTargetAddresses({at(10), at(99)}), 0);
    QCOMPARE(search.startSearch(DisplaySearchUDP::Targeted), 0);
    QVERIFY(finished.wait(6000));

    QCOMPARE(results.count(), 1);
    const auto info = results.at(0).at(0).value<DISPLAY_UDP_SEARCH_REPLY_INFO>();
    QCOMPARE(info.ipAddress.toString(), QStringLiteral("127.0.21.10"));
    QCOMPARE(search.responders(), QList<QHostAddress>{at(10)});
    QCOMPARE(display.requestLog().requests(SimLogEntry::Channel::Search), QList<QByteArray>{"3"});
}

QTEST_GUILESS_MAIN(tst_DisplaySearchUDPWildcard)
#include "tst_displaysearchudp_wildcard.moc"
