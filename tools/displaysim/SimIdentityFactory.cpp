#include "SimIdentityFactory.h"

namespace {

// One row per UDP series code: how the displays of that series name
// themselves and which firmware texts they carry.
struct SeriesIdentity {
    int code;
    const char *models[3];
    const char *mainFw;
    bool searchFirmware; // some series tell their firmware only over the control protocol
    bool secondAddress;
};

const SeriesIdentity series[] = {
    { 1, { "PX-401", "PX-461", "PX-551" }, "R1.060", false, false },
    { 2, { "LX-321", "LX-401", "LX-491" }, "R2.110", false, false },
    { 3, { "CX-431", "CX-501", "CX-551" }, "R3.210", true, true },
    { 4, { "BX-651", "BX-751", "BX-861" }, "R4.002", true, true },
    { 5, { "CX-551U", "CX-651U", "CX-751U" }, "R3.402", true, true },
    { 6, { "CX-461XN", "CX-551XN", "CX-651XN" }, "R3.300", true, true },
    { 7, { "MX-321B", "MX-431B", "MX-491B" }, "R1.300", true, false },
    { 8, { "MX-321A", "MX-431A", "MX-551A" }, "R1.500", true, false },
    { 9, { "RL-861", "RL-981", "RL-1101" }, "R1.020", true, false },
    { 10, { "RH-651", "RH-751", "RH-861" }, "R2.005", true, false },
    { 11, { "WL-431", "WL-501", "WL-551" }, "R1.103", false, false },
    { 69, { "CX-981", "CX-1101", "CX-1201" }, "R5.010", true, true },
    { 140, { "BX-1361", "BX-1631", "BX-1981" }, "R6.001", true, true },
};

const SeriesIdentity *find(int code)
{
    for (const SeriesIdentity &s : series)
        if (s.code == code)
            return &s;
    return nullptr;
}

} // namespace

SimIdentityFactory::SimIdentityFactory(const QList<int> &seriesCodes)
    : m_series(seriesCodes.isEmpty() ? knownSeriesCodes() : seriesCodes)
{
}

QList<int> SimIdentityFactory::knownSeriesCodes()
{
    QList<int> codes;
    for (const SeriesIdentity &s : series)
        codes.append(s.code);
    return codes;
}

bool SimIdentityFactory::usesSecondAddress(int seriesCode)
{
    const SeriesIdentity *s = find(seriesCode);
    return s && s->secondAddress;
}

SimDisplayConfig SimIdentityFactory::make(int n) const
{
    SimDisplayConfig c;
    const int code = m_series.at(n % m_series.size());
    const SeriesIdentity *s = find(code);
    const int variant = (n / m_series.size()) % 3;
    c.seriesCode = quint8(code);
    c.modelName = QString::fromLatin1(s ? s->models[variant] : "GX-401");
    // Serial numbers vary in their third character so catalogue rules that
    // look at one position of the serial number see both kinds.
    c.serialNumber = QStringLiteral("6%1%2%3")
                         .arg(QChar(variant == 1 ? 'B' : 'A'))
                         .arg(QChar('0' + n % 10))
                         .arg(n, 7, 10, QLatin1Char('0'));
    c.macAddress = QByteArray::fromHex("001A2B000000");
    c.macAddress[3] = char((n >> 16) & 0xFF);
    c.macAddress[4] = char((n >> 8) & 0xFF);
    c.macAddress[5] = char(n & 0xFF);
    c.idText = QStringLiteral("PD%1").arg(n, 6, 10, QLatin1Char('0'));
    c.idChar = n % 4 == 0 ? '*' : quint8('A' + n % 26);
    c.mainFwVersion = QString::fromLatin1(s ? s->mainFw : "R1.000");
    c.fwVersions = { QStringLiteral("1.%1").arg(10 + n % 5), QStringLiteral("2.%1").arg(20 + n % 3),
                     QStringLiteral("3.00"), QStringLiteral("4.0%1").arg(n % 10) };
    c.searchReportsFirmware = !s || s->searchFirmware;
    c.powerMode = n % 7 == 6 ? 4 : 1;
    c.powerSaveSetting = n % 3;
    c.assetTag = n % 5 == 0 ? QStringLiteral("Room %1").arg(100 + n) : QString();
    c.uploadKeyValue = quint16(0x1000 + (n * 7919) % 0xE000);
    return c;
}
