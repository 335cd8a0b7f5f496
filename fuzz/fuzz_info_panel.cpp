// The information panel built from what a display sent and what the catalogue says about it. The
// panel is rich text: a display's texts must arrive in it as text, and the catalogue's markup may
// only link to web pages and show images of our own.
// Input: the row's states (7 bytes), then texts separated by 0xFF: model, serial number, MAC text,
// main firmware, firmware 1 to 4, asset tag, update note, latest version, and last the catalogue's
// change list (rich text).

#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "catalogue/FirmwareRelease.h"
#include "panel/DisplayInfoPanel.h"
#include "records/DisplayEntry.h"

#include <QGuiApplication>
#include <QHostAddress>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    DisplayEntry row;
    row.selected = true;
    row.address = QHostAddress(QStringLiteral("10.1.2.3"));
    row.updateAddress = QHostAddress(QStringLiteral("10.1.2.4"));
    row.firmwareStatus = input.byte() % 8;
    row.lockStatus = input.byte() % 3;
    row.componentCount = input.byte() % 8;
    row.updateViaHTTP = input.byte() & 1;
    row.updateStatus = int(input.byte() % 9) - 4;
    row.resultStatus = int(input.byte() % 12) - 6;
    row.powerState = input.byte() % 5;

    QList<QByteArray> texts = input.rest().split('\xFF');
    texts.resize(13);
    const auto text = [&texts](int i) { return QString::fromUtf8(texts.at(i)); };
    row.modelName = text(0);
    row.serialNumber = text(1);
    row.macAddress = text(2);
    row.currentFirmware = text(3);
    for (int i = 0; i < 4; ++i)
        row.componentVersion[size_t(i)] = text(4 + i);
    row.assetTag = text(8);
    row.updateNote = text(9);
    row.latestVersion = text(10);
    row.changeLists = QStringList { text(12) };

    FirmwareRelease release;
    release.version = text(10);
    release.changes.version = text(10);
    release.models = QStringList { row.modelName };
    release.updateViaHTTP = row.updateViaHTTP;

    DisplayInfoPanel::WindowState state;
    state.searchAttempted = true;
    state.databaseLoaded = true;
    state.rowCount = 1;
    const auto iconPath = [](const QString &name) { return QStringLiteral(":/resources/%1.svg").arg(name); };
    const auto statusText = [](int status) { return QStringLiteral("status %1").arg(status); };
    const QString html = DisplayInfoPanel(state, iconPath, statusText).build(&row, &release);

    // A display's text with markup in it never appears as it was sent: its markup is escaped.
    for (int i = 0; i <= 10; ++i) {
        const QString sent = text(i);
        if (sent.contains(QLatin1Char('<')) || sent.contains(QLatin1Char('&')))
            FUZZ_CHECK(!html.contains(sent));
    }

    // What the panel shows: every image is one of ours, every link goes to a web page.
    QTextDocument document;
    document.setHtml(html);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                const QString name = format.toImageFormat().name();
                FUZZ_CHECK(name.startsWith(QLatin1String(":/")) || name.startsWith(QLatin1String("qrc:/")));
            }
            if (format.isAnchor()) {
                const QString href = format.anchorHref();
                const QString scheme = QUrl(href.trimmed()).scheme().toLower();
                FUZZ_CHECK(href.isEmpty() || scheme == QLatin1String("http") || scheme == QLatin1String("https"));
            }
        }
    }
    return 0;
}
