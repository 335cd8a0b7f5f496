#pragma once

#include <QString>

// The web-update dialect a display speaks. Requests of another dialect are
// answered 404, as a display of another platform would.
enum class SimUpdateProtocol {
    Auto,           // from the display's series code (SimUpdateProtocols::forSeries)
    None,           // no update side at all
    Legacy,         // one multipart upload per component file ("?U=46213")
    Cgictrl,        // standby, delete, check, upload, mode change, update, result polls
    PjctrlStamped,  // "/pjctrl" with time stamps
    PjctrlChunked,  // "/pjctrl" with a cache breaker, the file in chunks, commented JSON replies
    Upload,         // "/upload" with X-Api-Key, prepared and started over the control protocol
};

class SimUpdateProtocols
{
public:
    // Series 1-2 legacy, 3-6, 69 and 140 cgictrl, 9 chunked, 10 stamped,
    // 11 upload; any other code none.
    static SimUpdateProtocol forSeries(int seriesCode);
    // Auto resolved with the series code.
    static SimUpdateProtocol effective(SimUpdateProtocol protocol, int seriesCode);
    // "auto", "none", "legacy", "cgictrl", "pjctrlStamped", "pjctrlChunked", "upload".
    static QString name(SimUpdateProtocol protocol);
    static bool fromName(const QString &name, SimUpdateProtocol *protocol);
};
