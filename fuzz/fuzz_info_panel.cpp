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

namespace {

constexpr int TextCount = 13;

// The panel for a row with the given states and texts (see the input layout above).
QString panelFor(const QByteArray &states, const QStringList &texts)
{
    DisplayEntry row;
    row.selected = true;
    row.address = QHostAddress(QStringLiteral("10.1.2.3"));
    row.updateAddress = QHostAddress(QStringLiteral("10.1.2.4"));
    row.firmwareStatus = quint8(states.at(0)) % 8;
    row.lockStatus = quint8(states.at(1)) % 3;
    row.componentCount = quint8(states.at(2)) % 8;
    row.updateViaHTTP = quint8(states.at(3)) & 1;
    row.updateStatus = int(quint8(states.at(4)) % 9) - 4;
    row.resultStatus = int(quint8(states.at(5)) % 12) - 6;
    row.powerState = quint8(states.at(6)) % 5;
    row.modelName = texts.at(0);
    row.serialNumber = texts.at(1);
    row.macAddress = texts.at(2);
    row.currentFirmware = texts.at(3);
    for (int i = 0; i < 4; ++i)
        row.componentVersion[size_t(i)] = texts.at(4 + i);
    row.assetTag = texts.at(8);
    row.updateNote = texts.at(9);
    row.latestVersion = texts.at(10);
    row.changeLists = QStringList { texts.at(12) };

    FirmwareRelease release;
    release.version = texts.at(10);
    release.changes.version = texts.at(10);
    release.models = QStringList { row.modelName };
    release.updateViaHTTP = row.updateViaHTTP;

    DisplayInfoPanel::WindowState state;
    state.searchAttempted = true;
    state.databaseLoaded = true;
    state.rowCount = 1;
    const auto iconPath = [](const QString &name) { return QStringLiteral(":/resources/%1.svg").arg(name); };
    const auto statusText = [](int status) { return QStringLiteral("status %1").arg(status); };
    return DisplayInfoPanel(state, iconPath, statusText).build(&row, &release);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    QByteArray states = input.take(7);
    states.resize(7, '\0');
    QStringList texts;
    for (const QByteArray &bytes : input.rest().split('\xFF'))
        texts.append(QString::fromUtf8(bytes));
    texts.resize(TextCount);
    const QString html = panelFor(states, texts);

    // A display's text with markup in it never appears as it was sent: its markup is escaped. Its
    // escaped form may hold the text itself ("R1&amp;" in "R1&amp;amp;") and the panel's own markup
    // the same characters ("<a hr"), so a text counts as leaked only when, its escaped forms taken
    // out, it appears more often than in the panel of the same row with that text blanked out.
    for (int i = 0; i <= 10; ++i) {
        const QString sent = texts.at(i);
        if (!(sent.contains(QLatin1Char('<')) || sent.contains(QLatin1Char('&'))) || !html.contains(sent))
            continue;
        QString rest = html;
        rest.remove(sent.toHtmlEscaped());
        QStringList blanked = texts;
        blanked[i] = QString(sent.size(), QLatin1Char('x'));
        FUZZ_CHECK(rest.count(sent) <= panelFor(states, blanked).count(sent));
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
