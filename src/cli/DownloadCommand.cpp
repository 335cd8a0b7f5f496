#include "cli/DownloadCommand.h"

#include "cli/CtlSession.h"
#include "cli/CtlOptions.h"
#include "cli/InterruptHook.h"
#include "cli/PlainText.h"
#include "engine/QuillonEngine.h"
#include "offlinejobs/OfflineModelList.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

int DownloadCommand::run(CtlSession &session, const CtlOptions &options, InterruptHook &hook)
{
    QTextStream &err = session.err();
    QuillonEngine &engine = session.engine();
    QObject::connect(&hook, &InterruptHook::interrupted, &session, [&] {
        engine.cancelOfflineDownload();
        session.abandonWait();
    });
    if (!session.loadCatalogue()) {
        if (!session.waitAbandoned())
            err << tr("No firmware catalogue: nothing can be downloaded.") << Qt::endl;
        return CtlOptions::Failed;
    }

    // Each named model's releases among those the offline download offers, each release once.
    const QList<OfflineModelItem> offered = OfflineModelList::items(engine.database());
    QList<int> releaseIndices;
    for (const QString &model : options.models) {
        bool found = false;
        for (const OfflineModelItem &item : offered) {
            const bool named = item.text.compare(model, Qt::CaseInsensitive) == 0
                    || item.text.startsWith(model + QStringLiteral(" ("), Qt::CaseInsensitive);
            if (!named)
                continue;
            found = true;
            if (!releaseIndices.contains(item.releaseIndex))
                releaseIndices.append(item.releaseIndex);
        }
        if (!found) {
            err << tr("No firmware for model %1 can be downloaded for offline use.").arg(PlainText::sanitized(model))
                << Qt::endl;
            return CtlOptions::UsageError;
        }
    }

    QList<FirmwareRelease> releases;
    for (int index : qAsConst(releaseIndices))
        releases.append(engine.database().releases().at(index));

    bool finished = false;
    bool error = false;
    QObject::connect(&engine, &QuillonEngine::offlineProgress, &session,
                     [&session](qint64, const QString &label) { session.progress(label); });
    QObject::connect(&engine, &QuillonEngine::offlineFinished, &session, [&](bool failed) {
        finished = true;
        error = failed;
    });
    engine.startOfflineDownload(releases);
    session.waitUntil([&] { return finished; });
    if (session.waitAbandoned()) {
        err << tr("Interrupted.") << Qt::endl;
        return CtlOptions::Failed;
    }

    const QString resultText = error ? tr("Download error") : tr("Downloaded");
    if (options.json) {
        QJsonArray array;
        for (const FirmwareRelease &release : qAsConst(releases)) {
            array.append(QJsonObject { { QStringLiteral("models"), QJsonArray::fromStringList(release.models) },
                                       { QStringLiteral("version"), release.version },
                                       { QStringLiteral("ok"), !error } });
        }
        session.out() << QJsonDocument(array).toJson(QJsonDocument::Indented);
    } else {
        for (const FirmwareRelease &release : qAsConst(releases)) {
            session.out() << PlainText::sanitized(release.models.join(QStringLiteral(", ")) + QStringLiteral("  ")
                                                 + release.version + QStringLiteral("  ") + resultText)
                         << '\n';
        }
    }
    session.out().flush();
    return error ? CtlOptions::Failed : CtlOptions::Completed;
}
