#include "maintenance/ApplicationUpdateCheck.h"

#include "catalogue/CatalogueRichText.h"
#include "catalogue/FirmwareDatabase.h"

#include <QCoreApplication>
#include <QDebug>
#include <QUrl>

namespace {

// The link is opened by the desktop's handler when clicked, so only a web address may go there;
// anything else leaves the link without a target.
QString downloadHref(const QString &location)
{
    const QUrl url(location);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        return {};
    }
    return location.toHtmlEscaped();
}

} // namespace

QString ApplicationUpdateCheck::changeItems(const QList<AppChangeEntry> &history, int ownBuild)
{
    QString items;
    int counter = 0;
    for (const AppChangeEntry &entry : history) {
        if (entry.build <= ownBuild)
            continue;
        // Change lists are rich text by the catalogue's definition; the message box lets the
        // desktop open its links, so they pass the catalogue filter like every other item.
        for (const QString &item : entry.changeList.split(QLatin1Char('|'))) {
            const QString line = QCoreApplication::translate(
                "Tessel", "%1. %2<br>", "1=counter for fw change list 2=text for change information");
            items += line.arg(QString::number(++counter),
                              CatalogueRichText::inlineHtml(item, CatalogueRichText::UpdateMessageTags));
        }
    }
    return items;
}

ApplicationUpdateCheck::Result ApplicationUpdateCheck::check(
    const FirmwareDatabase &database, bool databaseLoaded, bool showMessageIfNoNewer, int ownBuild)
{
    Result result;
    if (databaseLoaded) {
        qInfo().nospace() << "Current application build: " << ownBuild;
        qInfo().nospace() << "Latest download application build: " << database.latestAppBuildWindows;

        if (database.latestAppBuildWindows >= 1) {
            if (database.latestAppBuildWindows <= ownBuild) {
                result.outcome = UpToDate;
                if (showMessageIfNoNewer)
                    result.message = QCoreApplication::translate(
                        "Tessel", "No newer updates are available. You are using the latest version.");
            } else {
                result.outcome = NewerAvailable;
                const QString items = changeItems(database.previousAppChangeListWindows, ownBuild);
                QString changes;
                if (!items.isEmpty()) {
                    changes = QCoreApplication::translate(
                        "Tessel", "<br>The following changes have been made in this version:<br>%1<br>");
                    changes = changes.arg(items);
                }
                const QString sentence = QCoreApplication::translate("Tessel",
                    "<html>A newer version %1 is <a href=\"%2\">available for download</a>.%3</html>",
                    "1=latest version 2=URL link 3=changes list");
                result.message = sentence.arg(database.latestAppVersionStringWindows.toHtmlEscaped(),
                    downloadHref(database.latestAppdownloadLocWindows), changes);
            }
        }
    }
    if (showMessageIfNoNewer && result.message.isEmpty())
        result.message = QCoreApplication::translate("Tessel", "Error: Unable to retrieve latest version information.");
    return result;
}
