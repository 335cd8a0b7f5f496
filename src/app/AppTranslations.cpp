#include "app/AppTranslations.h"

#include <QCoreApplication>

AppTranslations::~AppTranslations()
{
    if (m_applicationInstalled)
        QCoreApplication::removeTranslator(&m_application);
    if (m_qtInstalled)
        QCoreApplication::removeTranslator(&m_qt);
}

int AppTranslations::install(const QLocale &locale)
{
    if (locale.language() != QLocale::Japanese)
        return 0;
    if (!m_applicationInstalled && m_application.load(QString::fromLatin1(ApplicationCatalogue)))
        m_applicationInstalled = QCoreApplication::installTranslator(&m_application);
    if (!m_qtInstalled && m_qt.load(QString::fromLatin1(QtCatalogue)))
        m_qtInstalled = QCoreApplication::installTranslator(&m_qt);
    return int(m_applicationInstalled) + int(m_qtInstalled);
}
