#include "SimConfigJson.h"

#include "SimFleet.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <functional>

namespace {

using Setter = std::function<bool(const QJsonValue &, SimDisplayConfig &)>;

bool toInt(const QJsonValue &v, int lo, int hi, int *out)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (d != double(qint64(d)) || d < lo || d > hi)
        return false;
    *out = int(d);
    return true;
}

bool toUInt32(const QJsonValue &v, quint32 *out)
{
    if (v.isString()) {
        bool ok = false;
        const QString s = v.toString();
        const quint32 x = s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? s.mid(2).toUInt(&ok, 16)
                                                                                 : s.toUInt(&ok, 10);
        *out = x;
        return ok;
    }
    if (!v.isDouble() || v.toDouble() < 0 || v.toDouble() > 4294967295.0)
        return false;
    *out = quint32(v.toDouble());
    return true;
}

bool toChar(const QJsonValue &v, char *out)
{
    const QString s = v.toString();
    if (!v.isString() || s.size() != 1 || s.at(0).unicode() > 0x7F)
        return false;
    *out = char(s.at(0).unicode());
    return true;
}

template <typename T>
Setter intField(T SimDisplayConfig::*field, int lo, int hi)
{
    return [=](const QJsonValue &v, SimDisplayConfig &c) {
        int x = 0;
        if (!toInt(v, lo, hi, &x))
            return false;
        c.*field = T(x);
        return true;
    };
}

Setter textField(QString SimDisplayConfig::*field)
{
    return [=](const QJsonValue &v, SimDisplayConfig &c) {
        if (!v.isString())
            return false;
        c.*field = v.toString();
        return true;
    };
}

Setter boolField(bool SimDisplayConfig::*field)
{
    return [=](const QJsonValue &v, SimDisplayConfig &c) {
        if (!v.isBool())
            return false;
        c.*field = v.toBool();
        return true;
    };
}

Setter flagsField(quint32 SimDisplayConfig::*field)
{
    return [=](const QJsonValue &v, SimDisplayConfig &c) { return toUInt32(v, &(c.*field)); };
}

Setter charField(char SimDisplayConfig::*field)
{
    return [=](const QJsonValue &v, SimDisplayConfig &c) { return toChar(v, &(c.*field)); };
}

// Hex VCP code → number, for "vcp" and "vcpResults".
template <typename T>
Setter vcpMap(QMap<quint16, T> SimDisplayConfig::*field, int hi)
{
    return [=](const QJsonValue &v, SimDisplayConfig &c) {
        if (!v.isObject())
            return false;
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it) {
            bool ok = false;
            const uint code = it.key().toUInt(&ok, 16);
            int x = 0;
            if (!ok || code > 0xFFFF || !toInt(it.value(), 0, hi, &x))
                return false;
            (c.*field)[quint16(code)] = T(x);
        }
        return true;
    };
}

bool toListener(const QJsonValue &v, SimMisbehaviour::Listener *out)
{
    const QString s = v.toString();
    if (s == QLatin1String("normal"))
        *out = SimMisbehaviour::Listener::Normal;
    else if (s == QLatin1String("neverReply"))
        *out = SimMisbehaviour::Listener::NeverReply;
    else if (s == QLatin1String("refuse"))
        *out = SimMisbehaviour::Listener::Refuse;
    else
        return false;
    return true;
}

bool toStringList(const QJsonValue &v, QStringList *out)
{
    if (!v.isArray())
        return false;
    QStringList list;
    for (const QJsonValue &e : v.toArray()) {
        if (!e.isString())
            return false;
        list.append(e.toString());
    }
    *out = list;
    return true;
}

using MisSetter = std::function<bool(const QJsonValue &, SimMisbehaviour &)>;

MisSetter misBool(bool SimMisbehaviour::*f)
{
    return [=](const QJsonValue &v, SimMisbehaviour &m) {
        if (!v.isBool())
            return false;
        m.*f = v.toBool();
        return true;
    };
}

MisSetter misInt(int SimMisbehaviour::*f, int lo, int hi)
{
    return [=](const QJsonValue &v, SimMisbehaviour &m) { return toInt(v, lo, hi, &(m.*f)); };
}

MisSetter misList(QStringList SimMisbehaviour::*f)
{
    return [=](const QJsonValue &v, SimMisbehaviour &m) { return toStringList(v, &(m.*f)); };
}

MisSetter misText(QString SimMisbehaviour::*f)
{
    return [=](const QJsonValue &v, SimMisbehaviour &m) {
        if (!v.isString())
            return false;
        m.*f = v.toString();
        return true;
    };
}

MisSetter misListener(SimMisbehaviour::Listener SimMisbehaviour::*f)
{
    return [=](const QJsonValue &v, SimMisbehaviour &m) { return toListener(v, &(m.*f)); };
}

const QMap<QString, MisSetter> &misbehaviourMembers()
{
    static const QMap<QString, MisSetter> members = {
        { QStringLiteral("searchSilent"), misBool(&SimMisbehaviour::searchSilent) },
        { QStringLiteral("wrongSequence"), misBool(&SimMisbehaviour::wrongSequence) },
        { QStringLiteral("wrongMagic"), misBool(&SimMisbehaviour::wrongMagic) },
        { QStringLiteral("searchReplySize"), misInt(&SimMisbehaviour::searchReplySize, 0, 65507) },
        { QStringLiteral("searchReplyDelayMs"), misInt(&SimMisbehaviour::searchReplyDelayMs, 0, 600000) },
        { QStringLiteral("searchReplyType"), misInt(&SimMisbehaviour::searchReplyType, -1, 0x7FFFFFFF) },
        { QStringLiteral("control"), misListener(&SimMisbehaviour::control) },
        { QStringLiteral("web"), misListener(&SimMisbehaviour::web) },
        { QStringLiteral("beItems"), misList(&SimMisbehaviour::beItems) },
        { QStringLiteral("silentItems"), misList(&SimMisbehaviour::silentItems) },
        { QStringLiteral("splitItems"), misList(&SimMisbehaviour::splitItems) },
        { QStringLiteral("badCheckItems"), misList(&SimMisbehaviour::badCheckItems) },
        { QStringLiteral("splitDelayMs"), misInt(&SimMisbehaviour::splitDelayMs, 0, 600000) },
        { QStringLiteral("splitAt"), misInt(&SimMisbehaviour::splitAt, -1, 1000) },
        { QStringLiteral("replyDelayMs"), misInt(&SimMisbehaviour::replyDelayMs, 0, 600000) },
        { QStringLiteral("closeAfterItems"), misInt(&SimMisbehaviour::closeAfterItems, -1, 1000000) },
        { QStringLiteral("unaskedReplyTo"), misText(&SimMisbehaviour::unaskedReplyTo) },
        { QStringLiteral("delayedItems"), misList(&SimMisbehaviour::delayedItems) },
        { QStringLiteral("unaskedReplyIntervalMs"), misInt(&SimMisbehaviour::unaskedReplyIntervalMs, 10, 600000) },
        { QStringLiteral("unaskedReplyCount"), misInt(&SimMisbehaviour::unaskedReplyCount, 0, 100000) },
        { QStringLiteral("unaskedReplySequence"), misInt(&SimMisbehaviour::unaskedReplySequence, 0, 65535) },
    };
    return members;
}

bool toFault(const QJsonValue &v, SimStepFault *out)
{
    if (!v.isObject())
        return false;
    const QJsonObject o = v.toObject();
    SimStepFault f;
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QString k = it.key();
        bool ok = true;
        if (k == QLatin1String("step")) {
            ok = it.value().isString();
            f.step = it.value().toString().toLatin1();
        } else if (k == QLatin1String("status")) {
            ok = toInt(it.value(), 0, 999, &f.status);
        } else if (k == QLatin1String("delayMs")) {
            ok = toInt(it.value(), 0, 3600000, &f.delayMs);
        } else if (k == QLatin1String("neverReply")) {
            ok = it.value().isBool();
            f.neverReply = it.value().toBool();
        } else if (k == QLatin1String("dropAfterBytes")) {
            int x = 0;
            ok = toInt(it.value(), -1, 0x7FFFFFFF, &x);
            f.dropAfterBytes = x;
        } else if (k == QLatin1String("readBytesPerSecond")) {
            int x = 0;
            ok = toInt(it.value(), 0, 0x7FFFFFFF, &x);
            f.readBytesPerSecond = x;
        } else if (k == QLatin1String("body")) {
            ok = it.value().isString();
            f.body = it.value().toString().toLatin1();
            if (f.body.isNull())
                f.body = QByteArray("");
        } else if (k == QLatin1String("encoding")) {
            ok = it.value().isString();
            f.encoding = it.value().toString().toLatin1();
        } else if (k == QLatin1String("framing")) {
            ok = it.value().isString();
            f.framing = it.value().toString().toLatin1();
            ok = ok && (f.framing.isEmpty() || f.framing == "chunked" || f.framing == "close");
        } else if (k == QLatin1String("headerBytes")) {
            int x = 0;
            ok = toInt(it.value(), 0, 64 << 20, &x);
            f.headerBytes = x;
        } else if (k == QLatin1String("unendedLine")) {
            ok = it.value().isString();
            f.unendedLine = it.value().toString().toLatin1();
            ok = ok && (f.unendedLine.isEmpty() || f.unendedLine == "status" || f.unendedLine == "header");
        } else if (k == QLatin1String("bodyRepeat")) {
            ok = toInt(it.value(), 0, 0x7FFFFFFF, &f.bodyRepeat);
        } else if (k == QLatin1String("skip")) {
            ok = toInt(it.value(), 0, 1000000, &f.skip);
        } else if (k == QLatin1String("times")) {
            ok = toInt(it.value(), -1, 1000000, &f.times);
        } else {
            ok = false;
        }
        if (!ok)
            return false;
    }
    if (f.step.isEmpty())
        return false;
    *out = f;
    return true;
}

using UpdSetter = std::function<bool(const QJsonValue &, SimUpdateConfig &)>;

UpdSetter updInt(int SimUpdateConfig::*f, int lo, int hi)
{
    return [=](const QJsonValue &v, SimUpdateConfig &u) { return toInt(v, lo, hi, &(u.*f)); };
}

UpdSetter updBool(bool SimUpdateConfig::*f)
{
    return [=](const QJsonValue &v, SimUpdateConfig &u) {
        if (!v.isBool())
            return false;
        u.*f = v.toBool();
        return true;
    };
}

const QMap<QString, UpdSetter> &updateMembers()
{
    static const QMap<QString, UpdSetter> members = {
        { QStringLiteral("protocol"),
          [](const QJsonValue &v, SimUpdateConfig &u) {
              return v.isString() && SimUpdateProtocols::fromName(v.toString(), &u.protocol);
          } },
        { QStringLiteral("uploadKeyPrefix"),
          [](const QJsonValue &v, SimUpdateConfig &u) {
              if (!v.isString())
                  return false;
              u.uploadKeyPrefix = v.toString().toUtf8();
              return true;
          } },
        { QStringLiteral("components"), updInt(&SimUpdateConfig::components, 1, 6) },
        { QStringLiteral("checkPolls"), updInt(&SimUpdateConfig::checkPolls, 0, 1000) },
        { QStringLiteral("progressStep"), updInt(&SimUpdateConfig::progressStep, 1, 100) },
        { QStringLiteral("holdPercent"), updInt(&SimUpdateConfig::holdPercent, -1, 100) },
        { QStringLiteral("holdMs"), updInt(&SimUpdateConfig::holdMs, 0, 3600000) },
        { QStringLiteral("startPolls"), updInt(&SimUpdateConfig::startPolls, 0, 1000) },
        { QStringLiteral("legacyWritingMs"), updInt(&SimUpdateConfig::legacyWritingMs, 0, 3600000) },
        { QStringLiteral("legacyQuietMs"), updInt(&SimUpdateConfig::legacyQuietMs, 1, 3600000) },
        { QStringLiteral("abandonMs"), updInt(&SimUpdateConfig::abandonMs, 1, 3600000) },
        { QStringLiteral("rebootMs"), updInt(&SimUpdateConfig::rebootMs, 0, 3600000) },
        { QStringLiteral("neverReturn"), updBool(&SimUpdateConfig::neverReturn) },
        { QStringLiteral("firmwareAfterUpdate"),
          [](const QJsonValue &v, SimUpdateConfig &u) {
              // "R2.000", or { "main": "R2.000", "fw": ["1.20", null, "3.10"] }
              if (v.isString()) {
                  u.firmwareAfterMain = v.toString();
                  return true;
              }
              if (!v.isObject())
                  return false;
              const QJsonObject o = v.toObject();
              for (auto it = o.begin(); it != o.end(); ++it) {
                  if (it.key() == QLatin1String("main") && it.value().isString()) {
                      u.firmwareAfterMain = it.value().toString();
                  } else if (it.key() == QLatin1String("fw") && it.value().isArray()
                             && it.value().toArray().size() <= 4) {
                      u.firmwareAfterComponents.clear();
                      for (const QJsonValue &e : it.value().toArray()) {
                          if (!e.isString() && !e.isNull())
                              return false;
                          u.firmwareAfterComponents.append(e.isNull() ? QString() : e.toString());
                      }
                  } else {
                      return false;
                  }
              }
              return true;
          } },
        { QStringLiteral("faults"),
          [](const QJsonValue &v, SimUpdateConfig &u) {
              if (!v.isArray())
                  return false;
              QList<SimStepFault> faults;
              for (const QJsonValue &e : v.toArray()) {
                  SimStepFault f;
                  if (!toFault(e, &f))
                      return false;
                  faults.append(f);
              }
              u.faults = faults;
              return true;
          } },
        { QStringLiteral("checkFailComponent"), updInt(&SimUpdateConfig::checkFailComponent, -1, 6) },
        { QStringLiteral("updateFailComponent"), updInt(&SimUpdateConfig::updateFailComponent, -1, 6) },
        { QStringLiteral("legacyWriteFailures"), updInt(&SimUpdateConfig::legacyWriteFailures, 0, 1000) },
        { QStringLiteral("updateNeverStarts"), updBool(&SimUpdateConfig::updateNeverStarts) },
        { QStringLiteral("httpServerEnableRejected"), updBool(&SimUpdateConfig::httpServerEnableRejected) },
    };
    return members;
}

const QMap<QString, Setter> &members()
{
    static const QMap<QString, Setter> members = {
        { QStringLiteral("model"), textField(&SimDisplayConfig::modelName) },
        { QStringLiteral("serial"), textField(&SimDisplayConfig::serialNumber) },
        { QStringLiteral("mac"),
          [](const QJsonValue &v, SimDisplayConfig &c) {
              const QByteArray raw = QByteArray::fromHex(v.toString().remove(QLatin1Char('-')).remove(QLatin1Char(':')).toLatin1());
              if (!v.isString() || raw.size() != 6)
                  return false;
              c.macAddress = raw;
              return true;
          } },
        { QStringLiteral("series"), intField(&SimDisplayConfig::seriesCode, 0, 255) },
        { QStringLiteral("idChar"),
          [](const QJsonValue &v, SimDisplayConfig &c) {
              char ch = 0;
              int x = 0;
              if (toChar(v, &ch))
                  c.idChar = quint8(ch);
              else if (toInt(v, 0, 255, &x))
                  c.idChar = quint8(x);
              else
                  return false;
              return true;
          } },
        { QStringLiteral("idText"), textField(&SimDisplayConfig::idText) },
        { QStringLiteral("magic"),
          [](const QJsonValue &v, SimDisplayConfig &c) {
              if (!v.isString() || v.toString().size() != 4)
                  return false;
              c.magic = v.toString().toLatin1();
              return true;
          } },
        { QStringLiteral("headerWord"), flagsField(&SimDisplayConfig::headerWord) },
        { QStringLiteral("featureFlags1"), flagsField(&SimDisplayConfig::featureFlags1) },
        { QStringLiteral("featureFlags2"), flagsField(&SimDisplayConfig::featureFlags2) },
        { QStringLiteral("secondAddress"),
          [](const QJsonValue &v, SimDisplayConfig &c) {
              QHostAddress a;
              if (!v.isString() || !a.setAddress(v.toString()) || a.protocol() != QAbstractSocket::IPv4Protocol)
                  return false;
              c.secondAddress = a;
              return true;
          } },
        { QStringLiteral("serveSecondAddress"), boolField(&SimDisplayConfig::serveSecondAddress) },
        { QStringLiteral("fw"),
          [](const QJsonValue &v, SimDisplayConfig &c) {
              QStringList list;
              if (!toStringList(v, &list) || list.size() > 4)
                  return false;
              while (list.size() < 4)
                  list.append(QString());
              c.fwVersions = list;
              return true;
          } },
        { QStringLiteral("mainFw"), textField(&SimDisplayConfig::mainFwVersion) },
        { QStringLiteral("fwGroupPad"), intField(&SimDisplayConfig::fwGroupPad, 0, 255) },
        { QStringLiteral("searchReportsFirmware"), boolField(&SimDisplayConfig::searchReportsFirmware) },
        { QStringLiteral("power"), intField(&SimDisplayConfig::powerMode, 0, 0xFFFF) },
        { QStringLiteral("powerSave"), intField(&SimDisplayConfig::powerSaveSetting, 0, 255) },
        { QStringLiteral("powerSaveReadResult"), intField(&SimDisplayConfig::powerSaveReadResult, 0, 255) },
        { QStringLiteral("assetTag"), textField(&SimDisplayConfig::assetTag) },
        { QStringLiteral("locked"), boolField(&SimDisplayConfig::locked) },
        { QStringLiteral("indexPage"),
          [](const QJsonValue &v, SimDisplayConfig &c) {
              if (!v.isString())
                  return false;
              c.indexPage = v.toString().toUtf8();
              if (c.indexPage.isNull())
                  c.indexPage = QByteArray(""); // "" asks for an empty page, not the generated one
              return true;
          } },
        { QStringLiteral("uploadKey"), intField(&SimDisplayConfig::uploadKeyValue, 0, 0xFFFF) },
        { QStringLiteral("vcp"), vcpMap(&SimDisplayConfig::vcpValues, 0xFFFF) },
        { QStringLiteral("vcpResults"), vcpMap(&SimDisplayConfig::vcpResults, 0xFF) },
        { QStringLiteral("controlSource"), charField(&SimDisplayConfig::controlSource) },
        { QStringLiteral("errorReplyType"), charField(&SimDisplayConfig::errorReplyType) },
        { QStringLiteral("searchPort"), intField(&SimDisplayConfig::searchPort, 1, 65535) },
        { QStringLiteral("controlPort"), intField(&SimDisplayConfig::controlPort, 1, 65535) },
        { QStringLiteral("webPort"), intField(&SimDisplayConfig::webPort, 1, 65535) },
        { QStringLiteral("update"),
          [](const QJsonValue &v, SimDisplayConfig &c) {
              if (!v.isObject())
                  return false;
              const QJsonObject o = v.toObject();
              for (auto it = o.begin(); it != o.end(); ++it) {
                  const auto setter = updateMembers().value(it.key());
                  if (!setter || !setter(it.value(), c.update))
                      return false;
              }
              return true;
          } },
        { QStringLiteral("misbehaviour"),
          [](const QJsonValue &v, SimDisplayConfig &c) {
              if (!v.isObject())
                  return false;
              const QJsonObject o = v.toObject();
              for (auto it = o.begin(); it != o.end(); ++it) {
                  const auto setter = misbehaviourMembers().value(it.key());
                  if (!setter || !setter(it.value(), c.misbehaviour))
                      return false;
              }
              return true;
          } },
    };
    return members;
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

int SimConfigJson::apply(const QJsonObject &object, SimDisplayConfig &config, QString *error)
{
    SimDisplayConfig c = config;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() == QLatin1String("index") || it.key() == QLatin1String("address"))
            continue;
        const Setter setter = members().value(it.key());
        if (!setter) {
            setError(error, QStringLiteral("unknown member \"%1\"").arg(it.key()));
            return -1;
        }
        if (!setter(it.value(), c)) {
            setError(error, QStringLiteral("bad value for \"%1\"").arg(it.key()));
            return -1;
        }
    }
    config = c;
    return 0;
}

int SimConfigJson::applyFile(const QString &path, const QHostAddress &first, QList<SimDisplayConfig> &configs,
                             QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("cannot read %1").arg(path));
        return -1;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject()) {
        setError(error, QStringLiteral("%1: %2").arg(path, parseError.errorString()));
        return -1;
    }
    const QJsonObject root = doc.object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        if (it.key() != QLatin1String("defaults") && it.key() != QLatin1String("displays")) {
            setError(error, QStringLiteral("unknown member \"%1\"").arg(it.key()));
            return -1;
        }
    }
    QList<SimDisplayConfig> out = configs;
    const QJsonObject defaults = root.value(QLatin1String("defaults")).toObject();
    for (SimDisplayConfig &c : out) {
        if (apply(defaults, c, error) != 0)
            return -1;
    }
    const QJsonArray displays = root.value(QLatin1String("displays")).toArray();
    // Addresses are counted the way the fleet assigns them (.0 and .255 skipped).
    QList<quint32> addresses;
    const quint32 v = first.toIPv4Address();
    QHostAddress a = (v & 0xFF) == 0 || (v & 0xFF) == 0xFF ? SimFleet::nextAddress(first) : first;
    for (int i = 0; i < out.size(); ++i) {
        addresses.append(a.toIPv4Address());
        a = SimFleet::nextAddress(a);
    }
    for (const QJsonValue &entry : displays) {
        const QJsonObject o = entry.toObject();
        int index = -1;
        if (o.contains(QLatin1String("index"))) {
            if (!toInt(o.value(QLatin1String("index")), 0, out.size() - 1, &index)) {
                setError(error, QStringLiteral("display index out of range"));
                return -1;
            }
        } else if (o.contains(QLatin1String("address"))) {
            index = addresses.indexOf(QHostAddress(o.value(QLatin1String("address")).toString()).toIPv4Address());
            if (index < 0) {
                setError(error, QStringLiteral("address %1 is not in the range").arg(o.value(QLatin1String("address")).toString()));
                return -1;
            }
        } else {
            setError(error, QStringLiteral("a display entry needs \"index\" or \"address\""));
            return -1;
        }
        if (apply(o, out[index], error) != 0)
            return -1;
    }
    configs = out;
    return 0;
}
