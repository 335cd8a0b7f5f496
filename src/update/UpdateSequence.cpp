#include "update/UpdateSequence.h"

#include "update/SessionState.h"

// Upload progress keeps the step clock from running out: the time-out bounds a stall, not the
// length of an upload that shares a slow link with nineteen others.
void UpdateSequence::uploadProgress(qint64 bytesSent, qint64 bytesTotal)
{
    SessionState &s = m_host.state();
    if (bytesTotal <= 0)
        return;
    if (bytesSent > s.lastBytesSent)
        m_host.restartClock();
    s.lastBytesSent = bytesSent;
    // Small command bodies report progress too; only a file upload's progress is the upload's.
    if (s.uploading && reportsUploadPercent())
        s.uploadPercent = int(qBound(qint64(0), bytesSent * 100 / bytesTotal, qint64(100)));
}
