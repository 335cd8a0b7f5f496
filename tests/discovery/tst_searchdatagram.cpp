#include "discovery/DISPLAY_UDP_SEARCH_REPLY_INFO.h"
#include "discovery/SearchDatagram.h"

#include <QtEndian>
#include <QtTest>

namespace {

// A reply written from the layout table, independent of the code under test.
QByteArray reply(quint8 series, quint8 idChar)
{
    QByteArray r(256, '\0');
    r.replace(0, 4, "ZRPD");
    qToLittleEndian<quint32>(0xA1B2C3D4, r.data() + 20);
    r.replace(32, 5, "IDENT");
    const char mac[6] = {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};
    r.replace(56, 6, mac, 6);
    r.replace(96, 6, " PX-1 ");
    qToLittleEndian<quint32>(0x31, r.data() + 144);
    qToLittleEndian<quint32>(0x100, r.data() + 148);
    r[152] = char(idChar);
    r[156] = char(series);
    const char address[4] = {char(0xC0), char(0xA8), 0x01, 0x0A};
    r.replace(168, 4, address, 4);
    r.replace(180, 2, "F1");
    r.replace(207, 2, "F4");
    r.replace(226, 5, "R1.20");
    return r;
}

} // namespace

class tst_SearchDatagram : public QObject
{
    Q_OBJECT

private slots:
    void requestLayout_data();
    void requestLayout();
    void acknowledgement();
    void record_data();
    void record();
    void textFieldsStayInsideTheirWidth();
    void textFieldsLoseControlCharacters();
};

void tst_SearchDatagram::requestLayout_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<int>("mode");
    QTest::addColumn<quint32>("mask1");
    QTest::addColumn<quint32>("mask2");
    QTest::newRow("broadcast, mode 1") << quint32(2) << 1 << quint32(0x31) << quint32(0);
    QTest::newRow("targeted, mode 2") << quint32(3) << 2 << quint32(0) << quint32(0x100);
}

void tst_SearchDatagram::requestLayout()
{
    QFETCH(quint32, type);
    QFETCH(int, mode);
    QFETCH(quint32, mask1);
    QFETCH(quint32, mask2);

    const QByteArray r = SearchDatagram::buildRequest(0xBEEF, 0x12345678, type, mode);
    QCOMPARE(r.size(), 128);
    QByteArray expected(128, '\0');
    expected.replace(0, 4, "ZRPJ");
    expected[4] = 0x14;
    expected[8] = char(0xEF);
    expected[9] = char(0xBE);
    expected[10] = 0x70;
    expected[12] = 0x78;
    expected[13] = 0x56;
    expected[14] = 0x34;
    expected[15] = 0x12;
    qToLittleEndian<quint32>(type, expected.data() + 16);
    qToLittleEndian<quint32>(mask1, expected.data() + 24);
    qToLittleEndian<quint32>(mask2, expected.data() + 28);
    QCOMPARE(r.toHex(' '), expected.toHex(' '));
}

void tst_SearchDatagram::acknowledgement()
{
    const QByteArray request = SearchDatagram::buildRequest(7, 99, 2, 2);
    const QByteArray ack = SearchDatagram::buildAcknowledgement(request);
    QCOMPARE(ack.size(), 256);
    QCOMPARE(qFromLittleEndian<quint32>(ack.constData() + 16), quint32(5));
    QCOMPARE(ack.left(16), request.left(16));
    QCOMPARE(ack.mid(20, 108), request.mid(20, 108));
    QCOMPARE(ack.mid(128), QByteArray(128, '\0'));
}

void tst_SearchDatagram::record_data()
{
    QTest::addColumn<quint8>("series");
    QTest::addColumn<quint8>("idByte");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<int>("idChar");
    QTest::addColumn<QString>("ip2");

    QTest::newRow("series 69 carries the address") << quint8(69) << quint8('*') << true << 1 << "192.168.1.10";
    QTest::newRow("series 140 too") << quint8(140) << quint8('A') << true << 0x41 << "192.168.1.10";
    QTest::newRow("series 7 does not") << quint8(7) << quint8('A') << true << 0x41 << "";
    QTest::newRow("identifier 0x7F") << quint8(3) << quint8(0x7F) << true << 0x7F << "192.168.1.10";
    QTest::newRow("identifier 0x80 drops it") << quint8(3) << quint8(0x80) << false << 0 << "";
}

void tst_SearchDatagram::record()
{
    QFETCH(quint8, series);
    QFETCH(quint8, idByte);
    QFETCH(bool, usable);
    QFETCH(int, idChar);
    QFETCH(QString, ip2);

    DISPLAY_UDP_SEARCH_REPLY_INFO info;
    QCOMPARE(SearchDatagram::decodeRecord(reply(series, idByte), &info), usable);
    if (!usable)
        return;
    QCOMPARE(info.idChar, idChar);
    QCOMPARE(info.ip2Address.toString(), ip2);
    QCOMPARE(info.series, series);
    QCOMPARE(info.modelName, QStringLiteral("PX-1"));
    QCOMPARE(info.macAddress, QStringLiteral("0A-0B-0C-0D-0E-0F"));
    QCOMPARE(info.headerWord, 0xA1B2C3D4u);
    QCOMPARE(info.featureFlags1, 0x31u);
    QCOMPARE(info.featureFlags2, 0x100u);
    QCOMPARE(info.fwVersions[0], QStringLiteral("F1"));
    QCOMPARE(info.fwVersions[3], QStringLiteral("F4"));
    QCOMPARE(info.mainFwVersion, QStringLiteral("R1.20"));
}

void tst_SearchDatagram::textFieldsStayInsideTheirWidth()
{
    // Every text field full to the brim, no NUL anywhere: each must end at its own width.
    QByteArray r = reply(3, 'A');
    r.replace(96, 48, QByteArray(48, 'M'));
    r.replace(180, 36, QByteArray(36, 'V'));
    r.replace(226, 30, QByteArray(30, 'R'));
    DISPLAY_UDP_SEARCH_REPLY_INFO info;
    QVERIFY(SearchDatagram::decodeRecord(r, &info));
    QCOMPARE(info.modelName, QString(48, 'M'));
    QCOMPARE(info.fwVersions[0], QString(9, 'V'));
    QCOMPARE(info.fwVersions[3], QString(9, 'V'));
    QCOMPARE(info.mainFwVersion, QString(30, 'R'));
    QCOMPARE(SearchDatagram::fieldText(r, 250, 30), QString()); // a field said to run past the end
}

void tst_SearchDatagram::textFieldsLoseControlCharacters()
{
    // An escape sequence, a bell, DEL and a trailing CR would reach the log and the table as they
    // are; a terminal showing the log would act on them.
    QByteArray r = reply(3, 'A');
    const QByteArray model("\x1b[31mPX\x07-1\x7f\r");
    r.replace(96, model.size(), model);
    const QByteArray version("R1\x9b" "2\r");
    r.replace(226, version.size(), version);
    r.replace(180, 4, "\x1b" "F1\x08");
    DISPLAY_UDP_SEARCH_REPLY_INFO info;
    QVERIFY(SearchDatagram::decodeRecord(r, &info));
    QCOMPARE(info.modelName, QStringLiteral("[31mPX-1"));
    QCOMPARE(info.mainFwVersion, QStringLiteral("R12"));
    QCOMPARE(info.fwVersions[0], QStringLiteral("F1"));
}

QTEST_APPLESS_MAIN(tst_SearchDatagram)
#include "tst_searchdatagram.moc"
