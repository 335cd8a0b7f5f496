#include "SimUpdateStats.h"

#include <QJsonArray>

SimUpdateStats::SimUpdateStats(QObject *parent)
    : QObject(parent)
{
}

void SimUpdateStats::begin(const QString &display)
{
    Display &d = m_displays[display];
    if (d.updating)
        return;
    d.updating = true;
    ++d.attempts;
    m_max = qMax(m_max, ++m_current);
    emit changed();
}

void SimUpdateStats::end(const QString &display, const QByteArray &outcome)
{
    Display &d = m_displays[display];
    if (!d.updating)
        return;
    d.updating = false;
    d.outcome = outcome;
    --m_current;
    emit changed();
}

void SimUpdateStats::setFirmware(const QString &display, const QString &mainFw, const QStringList &fw)
{
    Display &d = m_displays[display];
    if (d.mainFw == mainFw && d.fw == fw && !d.mainFw.isNull())
        return;
    d.mainFw = mainFw;
    d.fw = fw;
    emit changed();
}

void SimUpdateStats::setRebooting(const QString &display, bool rebooting, bool gone)
{
    Display &d = m_displays[display];
    d.rebooting = rebooting;
    d.gone = gone;
    emit changed();
}

void SimUpdateStats::reset()
{
    m_displays.clear();
    m_current = 0;
    m_max = 0;
    emit changed();
}

QJsonObject SimUpdateStats::toJson() const
{
    QJsonArray displays;
    for (auto it = m_displays.begin(); it != m_displays.end(); ++it) {
        const Display &d = it.value();
        QJsonObject o;
        o.insert(QStringLiteral("address"), it.key());
        o.insert(QStringLiteral("state"), QLatin1String(d.gone ? "gone" : d.rebooting ? "rebooting" : d.updating ? "updating" : "idle"));
        o.insert(QStringLiteral("attempts"), d.attempts);
        o.insert(QStringLiteral("outcome"), QString::fromLatin1(d.outcome));
        o.insert(QStringLiteral("mainFw"), d.mainFw);
        o.insert(QStringLiteral("fw"), QJsonArray::fromStringList(d.fw));
        displays.append(o);
    }
    QJsonObject root;
    root.insert(QStringLiteral("current"), m_current);
    root.insert(QStringLiteral("maxConcurrent"), m_max);
    root.insert(QStringLiteral("displays"), displays);
    return root;
}
