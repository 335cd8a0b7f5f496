#include "UpdateStatusText.h"

namespace {

struct StatusTextEntry
{
    qint32 code;
    const char *text;
};

constexpr StatusTextEntry statusTexts[] = {
    { -5, QT_TRANSLATE_NOOP("UpdateStatusText", "Upload failed. Retrying...") },
    { -4, QT_TRANSLATE_NOOP("UpdateStatusText", "Error: Upload retry failed.") },
    { -3, QT_TRANSLATE_NOOP("UpdateStatusText", "Error: Timeout.") },
    { -2, QT_TRANSLATE_NOOP("UpdateStatusText", "Error: Unable to upload file.") },
    { -1, QT_TRANSLATE_NOOP("UpdateStatusText", "Error: Unable to communicate via HTTP.") },
    { 0, QT_TRANSLATE_NOOP("UpdateStatusText", "Idle") },
    { 1, QT_TRANSLATE_NOOP("UpdateStatusText", "Queued") },
    { 2, QT_TRANSLATE_NOOP("UpdateStatusText", "Running") },
    { 3, QT_TRANSLATE_NOOP("UpdateStatusText", "Complete.") },
    { 4, QT_TRANSLATE_NOOP("UpdateStatusText", "Error: Update failed.") },
};

}

QString UpdateStatusText::text(qint32 code)
{
    for (const StatusTextEntry &entry : statusTexts) {
        if (entry.code == code)
            return tr(entry.text);
    }
    return tr("Status: %1", "1=number (for unknown status type)").arg(code);
}
