#include "history/InterruptedUpdatesNotice.h"

#include <QStringList>

QString InterruptedUpdatesNotice::displayList(const QList<UpdateAttempt> &interrupted)
{
    QStringList items;
    for (const UpdateAttempt &attempt : interrupted) {
        const QString started = attempt.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        items.append(tr("%1 (%2, serial %3, started %4)").arg(attempt.address, attempt.model, attempt.serial, started));
    }
    return items.join(QStringLiteral(", "));
}

QString InterruptedUpdatesNotice::text(const QList<UpdateAttempt> &interrupted)
{
    if (interrupted.isEmpty())
        return {};
    QDateTime last;
    for (const UpdateAttempt &attempt : interrupted) {
        if (!last.isValid() || attempt.started > last)
            last = attempt.started;
    }
    const QDateTime local = last.toLocalTime();
    // English has no plural catalogue: one display gets its own sentence.
    const QString sentence = interrupted.size() == 1
            ? tr("An update was interrupted on 1 display on %1 at %2 — check it before switching it off: %3")
            : tr("An update was interrupted on %n displays on %1 at %2 — check them before switching them off: %3",
                 nullptr, int(interrupted.size()));
    return sentence.arg(local.toString(QStringLiteral("yyyy-MM-dd")), local.toString(QStringLiteral("HH:mm")),
                 displayList(interrupted));
}
