#include "SimUpdateRoutes.h"

#include <QRegularExpression>

namespace {

using Action = SimUpdateRoutes::Action;
using P = SimUpdateProtocol;

// hhmmsszzz, the client's local time.
#define STAMP "([01][0-9]|2[0-3])[0-5][0-9][0-5][0-9][0-9]{3}"
#define UUID "&_=[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}"
#define COMPONENTS "([1-6](,[1-6]){0,5})"

struct Row {
    P protocol;
    const char *method;
    const char *path;
    const char *query;      // whole-query pattern
    Action action;
    const char *step;
};

const Row rows[] = {
    { P::Legacy, "POST", "/cgi-bin/cgictrl", "U=46213", Action::Upload, "upload" },

    { P::Cgictrl, "POST", "/cgi-bin/cgictrl", "MM=00t=" STAMP, Action::Standby, "standby" },
    { P::Cgictrl, "POST", "/cgi-bin/cgictrl", "TCM=00t=" STAMP, Action::FileDelete, "fileDelete" },
    { P::Cgictrl, "GET", "/update/FileCheckResult.json", "_=" STAMP, Action::FileCheck, "" },
    { P::Cgictrl, "POST", "/cgi-bin/cgictrl", "CM=00t=" STAMP, Action::Upload, "upload" },
    { P::Cgictrl, "POST", "/cgi-bin/cgictrl", "TUM=00t=" STAMP, Action::ModeChange, "modeChange" },
    { P::Cgictrl, "POST", "/cgi-bin/cgictrl", "UM=00T=" COMPONENTS "t=" STAMP, Action::Update, "update" },
    { P::Cgictrl, "GET", "/update/UpdateResult.json", "=_" STAMP, Action::ResultPoll, "result" },

    { P::PjctrlStamped, "POST", "/pjctrl", "J=" STAMP, Action::Standby, "standby" },
    { P::PjctrlStamped, "GET", "/pjctrl", "CIM=" STAMP, Action::FileCheck, "stateCheck" },
    { P::PjctrlStamped, "POST", "/pjctrl", "CM=00t=" STAMP, Action::Upload, "upload" },
    { P::PjctrlStamped, "GET", "/pjctrl", "CRM=" STAMP, Action::FileCheck, "checkResult" },
    { P::PjctrlStamped, "POST", "/pjctrl", "UM=00T=" COMPONENTS "t=" STAMP, Action::Update, "update" },
    { P::PjctrlStamped, "GET", "/pjctrl", "URM=" STAMP, Action::ResultPoll, "result" },

    { P::PjctrlChunked, "GET", "/pjctrl", "J=0" UUID, Action::Standby, "standby" },
    { P::PjctrlChunked, "POST", "/pjctrl", "CIM=0" UUID, Action::FileCheck, "stateCheck" },
    { P::PjctrlChunked, "POST", "/pjctrl", "CM=00" UUID, Action::Upload, "" },
    { P::PjctrlChunked, "GET", "/pjctrl", "CRM=0" UUID, Action::FileCheck, "checkResult" },
    { P::PjctrlChunked, "POST", "/pjctrl", "UM=00T=(9)" UUID, Action::Update, "update" },
    { P::PjctrlChunked, "GET", "/pjctrl", "URM=0" UUID, Action::ResultPoll, "result" },

    { P::Upload, "POST", "/upload", "", Action::Upload, "upload" },
};

} // namespace

SimUpdateRoutes::Match SimUpdateRoutes::match(SimUpdateProtocol protocol, const QByteArray &method,
                                              const QByteArray &path, const QByteArray &query)
{
    for (const Row &row : rows) {
        if (row.protocol != protocol || method != row.method || path != row.path)
            continue;
        const QRegularExpression re(QStringLiteral("\\A(?:%1)\\z").arg(QLatin1String(row.query)));
        const QRegularExpressionMatch m = re.match(QString::fromLatin1(query));
        if (!m.hasMatch())
            continue;
        Match out;
        out.action = row.action;
        out.step = row.step;
        if (row.action == Action::Update) {
            for (const QString &k : m.captured(1).split(QLatin1Char(',')))
                out.components.append(k.toInt());
        }
        return out;
    }
    return {};
}

QList<QByteArray> SimUpdateRoutes::paths()
{
    return { "/cgi-bin/cgictrl", "/pjctrl", "/update/FileCheckResult.json", "/update/UpdateResult.json", "/upload" };
}
