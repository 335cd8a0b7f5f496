#include "SimUpdateProtocol.h"

namespace {

struct Named {
    SimUpdateProtocol protocol;
    const char *name;
};

const Named names[] = {
    { SimUpdateProtocol::Auto, "auto" },
    { SimUpdateProtocol::None, "none" },
    { SimUpdateProtocol::Legacy, "legacy" },
    { SimUpdateProtocol::Cgictrl, "cgictrl" },
    { SimUpdateProtocol::PjctrlStamped, "pjctrlStamped" },
    { SimUpdateProtocol::PjctrlChunked, "pjctrlChunked" },
    { SimUpdateProtocol::Upload, "upload" },
};

} // namespace

SimUpdateProtocol SimUpdateProtocols::forSeries(int seriesCode)
{
    switch (seriesCode) {
    case 1:
    case 2:
        return SimUpdateProtocol::Legacy;
    case 3:
    case 4:
    case 5:
    case 6:
    case 69:
    case 140:
        return SimUpdateProtocol::Cgictrl;
    case 9:
        return SimUpdateProtocol::PjctrlChunked;
    case 10:
        return SimUpdateProtocol::PjctrlStamped;
    case 11:
        return SimUpdateProtocol::Upload;
    default:
        return SimUpdateProtocol::None;
    }
}

SimUpdateProtocol SimUpdateProtocols::effective(SimUpdateProtocol protocol, int seriesCode)
{
    return protocol == SimUpdateProtocol::Auto ? forSeries(seriesCode) : protocol;
}

QString SimUpdateProtocols::name(SimUpdateProtocol protocol)
{
    for (const Named &n : names)
        if (n.protocol == protocol)
            return QString::fromLatin1(n.name);
    return QString();
}

bool SimUpdateProtocols::fromName(const QString &name, SimUpdateProtocol *protocol)
{
    for (const Named &n : names) {
        if (name == QLatin1String(n.name)) {
            *protocol = n.protocol;
            return true;
        }
    }
    return false;
}
