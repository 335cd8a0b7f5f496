#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

class SV_Information_Dialog;

// The process-wide Qt message handler: information messages go into the log window with a
// time stamp, and every message of every type goes on to the handler that was there before.
namespace LogMessageHandler {

// Installs the handler once; later calls only change the log window. The window is watched, so
// messages after its destruction are passed on without it.
void install(SV_Information_Dialog *logWindow);

// Puts back the handler found by install() (for tests and orderly shut-down).
void uninstall();

// The log window in use, or null.
SV_Information_Dialog *logWindow();

// "yyyy.MM.dd:hhmmss | " followed by the message.
QString formatLine(const QDateTime &when, const QString &message);

}
