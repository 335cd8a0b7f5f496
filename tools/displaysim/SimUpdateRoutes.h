#pragma once

#include "SimUpdateProtocol.h"

#include <QByteArray>
#include <QList>

// The requests of each web-update dialect: method, path and the exact shape
// of the query. A request that matches no row of the display's dialect is
// not an update request (404).
class SimUpdateRoutes
{
public:
    enum class Action {
        None,
        Standby,        // "MM", "J"
        FileDelete,     // "TCM"
        FileCheck,      // "FileCheckResult.json", "CIM", "CRM"
        Upload,         // multipart upload, chunk or size announcement, "/upload"
        ModeChange,     // "TUM"
        Update,         // "UM"
        ResultPoll,     // "UpdateResult.json", "URM"
    };

    struct Match {
        Action action = Action::None;
        QByteArray step;        // fault step name; empty for FileCheck and chunked uploads (decided by state)
        QList<int> components;  // Update: the components asked for ("T=1,3"); 9 = all
    };

    static Match match(SimUpdateProtocol protocol, const QByteArray &method, const QByteArray &path,
                       const QByteArray &query);
    // Paths any dialect serves; the display routes them to its update side.
    static QList<QByteArray> paths();
};
