#pragma once

#include "SimFirmwareUpdate.h"

#include <QByteArray>
#include <QList>

// Reply bodies of the web-update dialects, written the way the displays'
// firmware writes them: plain JSON read by key for cgictrl and the stamped
// pjctrl dialect, JSON with "//" comment lines and trailing commas for the
// chunked pjctrl dialect, HTML pages for the legacy upload.
class SimUpdateReplies
{
public:
    static QByteArray ok() { return "OK\r\n"; }
    static QByteArray notOk() { return "NG\r\n"; }

    static QByteArray checkKeys(const SimFirmwareUpdate::Check &check);
    static QByteArray updateKeys(const QList<int> &codes);

    static QByteArray checkCommented(const SimFirmwareUpdate::Check &check);
    // The component in work (or the last one once all settled) first.
    static QByteArray updateCommented(const QList<int> &codes, int current);
    static QByteArray acceptedCommented();

    static QByteArray legacyWritten();
    static QByteArray legacyWriting();
    static QByteArray legacyFailed();
};
