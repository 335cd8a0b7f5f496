#include "flows/FirmwareServer.h"

#include "catalogue/CatalogueMerge.h"

#include <QtGlobal>

bool FirmwareServer::isUsableBaseUrl(const QString &url)
{
    const QUrl parsed(url, QUrl::StrictMode);
    return parsed.isValid() && !parsed.host().isEmpty()
            && (parsed.scheme() == QLatin1String("http") || parsed.scheme() == QLatin1String("https"));
}

QString FirmwareServer::environmentBaseUrl()
{
    const QString value = qEnvironmentVariable(BaseUrlVariable).trimmed();
    return isUsableBaseUrl(value) ? value : QString();
}

QString FirmwareServer::ignoredBaseUrl()
{
    const QString value = qEnvironmentVariable(BaseUrlVariable);
    if (value.trimmed().isEmpty() || isUsableBaseUrl(value.trimmed()))
        return {};
    return value;
}

QString FirmwareServer::baseUrl(const QString &savedUrl)
{
    QString base = environmentBaseUrl();
    if (base.isEmpty() && isUsableBaseUrl(savedUrl.trimmed()))
        base = savedUrl.trimmed();
    if (base.isEmpty())
        base = QString::fromLatin1(DefaultBaseUrl);
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base;
}

QUrl FirmwareServer::catalogueUrl(const QString &base)
{
    return QUrl(base + CatalogueMerge::catalogueFileName());
}
