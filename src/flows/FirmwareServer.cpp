#include "flows/FirmwareServer.h"

#include "catalogue/CatalogueMerge.h"

#include <QtGlobal>

namespace {

bool isUsableBaseUrl(const QString &base)
{
    const QUrl parsed(base, QUrl::StrictMode);
    return parsed.isValid() && !parsed.host().isEmpty()
            && (parsed.scheme() == QLatin1String("http") || parsed.scheme() == QLatin1String("https"));
}

}

QString FirmwareServer::ignoredBaseUrl()
{
    const QString value = qEnvironmentVariable(BaseUrlVariable);
    if (value.trimmed().isEmpty() || isUsableBaseUrl(value.trimmed()))
        return {};
    return value;
}

QString FirmwareServer::baseUrl()
{
    QString base = qEnvironmentVariable(BaseUrlVariable).trimmed();
    if (!isUsableBaseUrl(base))
        base = QString::fromLatin1(DefaultBaseUrl);
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base;
}

QUrl FirmwareServer::catalogueUrl(const QString &base)
{
    return QUrl(base + CatalogueMerge::catalogueFileName());
}
