#pragma once

#include <QLocale>
#include <QTranslator>

// The Japanese catalogues, the program's own and Qt's, installed when the system language is
// Japanese. A catalogue that does not load is skipped; the program then runs untranslated.
class AppTranslations
{
public:
    static constexpr const char *ApplicationCatalogue = ":/translations/Resources/OrvaneQuillon_ja";
    static constexpr const char *QtCatalogue = ":/translations/Resources/qt5_ja.qm";

    AppTranslations() = default;
    ~AppTranslations();
    AppTranslations(const AppTranslations &) = delete;
    AppTranslations &operator=(const AppTranslations &) = delete;

    // Returns how many catalogues were installed (0 for a language other than Japanese).
    int install(const QLocale &locale = QLocale::system());

private:
    QTranslator m_application;
    QTranslator m_qt;
    bool m_applicationInstalled = false;
    bool m_qtInstalled = false;
};
