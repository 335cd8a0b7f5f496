#include "catalogue/FirmwareVersions.h"

#include <QList>
#include <QStringView>

namespace FirmwareVersions {

namespace {

// What removing every run of "[^.0-9]+" leaves: the points and the ASCII digits, in order.
QString digitsAndPoints(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'.' || (u >= u'0' && u <= u'9'))
            kept.append(c);
    }
    return kept;
}

void setError(int *error, int value)
{
    if (error)
        *error = value;
}

}

int compareVersions(const QString &a, const QString &b, int *error)
{
    setError(error, CompareOk);
    const QString left = digitsAndPoints(a);
    const QString right = digitsAndPoints(b);
    const QList<QStringView> leftParts = QStringView(left).split(u'.');
    const QList<QStringView> rightParts = QStringView(right).split(u'.');
    if (leftParts.size() != rightParts.size()) {
        setError(error, ComparePartCountDiffers);
        return 0;
    }
    for (int i = 0; i < leftParts.size(); ++i) {
        bool leftOk = false;
        const int leftValue = leftParts.at(i).toInt(&leftOk, 10);
        bool rightOk = false;
        const int rightValue = leftOk ? rightParts.at(i).toInt(&rightOk, 10) : 0;
        if (!leftOk || !rightOk) {
            setError(error, ComparePartNotNumber);
            return 0;
        }
        if (leftValue > rightValue)
            return 1;
        if (leftValue < rightValue)
            return -1;
    }
    return 0;
}

QStringList changeListsSince(const FirmwareRelease &release, const QString &installedVersion,
                             int *error)
{
    QStringList lists;
    int status = CompareOk;
    const int latest = compareVersions(installedVersion, release.changes.version, &status);
    setError(error, status);
    if (status != CompareOk)
        return lists;
    if (latest < 0)
        lists.append(release.changes.changeList);
    for (const VersionChangeEntry &entry : release.previousVersionChangeList) {
        const int older = compareVersions(installedVersion, entry.version, &status);
        setError(error, status);
        if (status == CompareOk && older < 0)
            lists.append(entry.changeList);
    }
    return lists;
}

}
