#include "flows/FirmwareServer.h"

#include "catalogue/CatalogueMerge.h"

#include <QtGlobal>

QString FirmwareServer::baseUrl()
{
    QString base = qEnvironmentVariable(BaseUrlVariable).trimmed();
    const QUrl parsed(base, QUrl::StrictMode);
    const bool usable = parsed.isValid() && !parsed.host().isEmpty()
            && (parsed.scheme() == QLatin1String("http") || parsed.scheme() == QLatin1String("https"));
    if (!usable)
        base = QString::fromLatin1(DefaultBaseUrl);
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base;
}

QUrl FirmwareServer::catalogueUrl(const QString &base)
{
    return QUrl(base + CatalogueMerge::catalogueFileName());
}
