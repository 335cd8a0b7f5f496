#include "log/LogMessageHandler.h"

#include "log/SV_Information_Dialog.h"

#include <QPointer>

namespace {

QtMessageHandler previousHandler = nullptr;
bool installed = false;
QPointer<SV_Information_Dialog> window;

void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtInfoMsg && window)
        window->append(LogMessageHandler::formatLine(QDateTime::currentDateTime(), message), 1);
    if (previousHandler)
        previousHandler(type, context, message);
}

}

namespace LogMessageHandler {

void install(SV_Information_Dialog *logWindow)
{
    window = logWindow;
    if (installed)
        return;
    // qInstallMessageHandler returns Qt's default handler when none was set before.
    previousHandler = qInstallMessageHandler(handleMessage);
    installed = true;
}

void uninstall()
{
    if (!installed)
        return;
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
    installed = false;
    window = nullptr;
}

SV_Information_Dialog *logWindow()
{
    return window;
}

QString formatLine(const QDateTime &when, const QString &message)
{
    return when.toString(QStringLiteral("yyyy.MM.dd:hhmmss | ")) + message;
}

}
