#include "cli/UsbCommand.h"

#include "cli/CtlSession.h"
#include "cli/CtlOptions.h"
#include "cli/InterruptHook.h"
#include "cli/PlainText.h"
#include "engine/QuillonEngine.h"
#include "records/AppBuild.h"
#include "usbwriter/UsbCopyPlan.h"
#include "usbwriter/UsbDriveSuitability.h"
#include "usbwriter/UsbDriveWriter.h"
#include "usbwriter/UsbModelSearch.h"
#include "usbwriter/UsbReleaseTexts.h"

#include <QDir>
#include <QStorageInfo>

int UsbCommand::run(CtlSession &session, const CtlOptions &options, InterruptHook &hook)
{
    QTextStream &err = session.err();
    QuillonEngine &engine = session.engine();
    QObject::connect(&hook, &InterruptHook::interrupted, &session, [&session, &engine] {
        engine.cancelDownloads();
        session.abandonWait();
    });
    if (!session.loadCatalogue()) {
        if (!session.waitAbandoned())
            err << tr("No firmware catalogue: no drive can be made.") << Qt::endl;
        return CtlOptions::Failed;
    }

    const QString model = options.models.constFirst();
    const bool offered = UsbModelSearch::modelNames(engine.database(), AppBuild::Number)
                                 .contains(model, Qt::CaseInsensitive);
    FirmwareRelease release;
    if (!offered
        || UsbModelSearch::selectRelease(engine.database(), model, options.modelVariant, options.regionVariant, release)
                != 0) {
        err << tr("No single USB release for model %1 with these variants.").arg(PlainText::sanitized(model)) << Qt::endl;
        const UsbModelSearch::Variants variants = UsbModelSearch::variantsFor(engine.database(), model);
        if (variants.models.size() > 1)
            err << tr("Model variants: %1").arg(PlainText::sanitized(variants.models.join(QStringLiteral(" | "))))
                << Qt::endl;
        if (!variants.regions.isEmpty())
            err << tr("Region variants: %1").arg(PlainText::sanitized(variants.regions.join(QStringLiteral(" | "))))
                << Qt::endl;
        return CtlOptions::UsageError;
    }

    const QStorageInfo volume(options.driveRoot);
    if (!volume.isValid() || !volume.isReady()) {
        err << UsbDriveWriter::resultText(UsbDriveWriter::InvalidDrive) << Qt::endl;
        return CtlOptions::Failed;
    }
    if (!UsbDriveSuitability::isSuitable(QString::fromUtf8(volume.fileSystemType()), release.updateViaUSB)) {
        err << tr("The drive's file system %1 is not one this firmware can be installed from: %2")
                       .arg(QString::fromUtf8(volume.fileSystemType()), UsbReleaseTexts::supportedFormats(release.updateViaUSB))
            << Qt::endl;
        return CtlOptions::Failed;
    }
    const UsbCopyPlan plan = UsbCopyPlan::fromRelease(release);
    if (plan.status() != UsbCopyPlan::Ready) {
        err << UsbDriveWriter::resultText(plan.status()) << Qt::endl;
        return CtlOptions::Failed;
    }

    bool ready = false;
    QString failure;
    QObject::connect(&engine, &QuillonEngine::usbDriveReady, &session, [&ready] { ready = true; });
    QObject::connect(&engine, &QuillonEngine::downloadFailed, &session,
                     [&failure](const QString &text) { failure = text; });
    engine.startUsbDownloadForRelease(release);
    session.waitUntil([&] { return ready || !failure.isEmpty() || (!engine.state().anyDownloadPending() && engine.state().activeDownloads == 0); });
    if (session.waitAbandoned()) {
        err << tr("Interrupted.") << Qt::endl;
        return CtlOptions::Failed;
    }
    if (!ready) {
        err << (failure.isEmpty() ? tr("Download error") : failure) << Qt::endl;
        return CtlOptions::Failed;
    }

    UsbDriveWriter writer(0, engine.cacheFolder(), plan);
    QObject::connect(&writer, &UsbDriveWriter::progressChanged, &session,
                     [&session](int, int, int, const QString &message) { session.progress(message); });
    const int result = writer.write(QDir(options.driveRoot).absolutePath());
    QTextStream &stream = result == UsbDriveWriter::Copied ? session.out() : err;
    stream << UsbDriveWriter::resultText(result) << Qt::endl;
    return result == UsbDriveWriter::Copied ? CtlOptions::Completed : CtlOptions::Failed;
}
