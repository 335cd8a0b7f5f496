#include "SimUpdateSession.h"

#include "SimDisplay.h"
#include "SimHttpRequest.h"
#include "SimUpdateReplies.h"
#include "SimUpdateStats.h"

#include <QRegularExpression>
#include <QTimer>

namespace {

using Action = SimUpdateRoutes::Action;

SimHttpResponse text(const QByteArray &body, const QByteArray &type = "text/plain")
{
    return SimHttpResponse::text(200, body, type);
}

const SimMultipartPart *partNamed(const SimHttpRequest &r, const QByteArray &name)
{
    for (const SimMultipartPart &p : r.parts)
        if (p.name == name && p.hasFilename)
            return &p;
    return nullptr;
}

// The component a chunked-dialect result reply names first: the one in
// work, else a failed one, else the last one.
int reportedComponent(const QList<int> &codes)
{
    for (int i = 0; i < codes.size(); ++i)
        if (codes.at(i) >= 0 && codes.at(i) <= 100)
            return i + 1;
    for (int i = 0; i < codes.size(); ++i)
        if (codes.at(i) == SimFirmwareUpdate::Failed)
            return i + 1;
    return int(codes.size());
}

} // namespace

SimUpdateSession::SimUpdateSession(SimDisplay *display)
    : QObject(display)
    , m_display(display)
    , m_abandonTimer(new QTimer(this))
    , m_legacyQuietTimer(new QTimer(this))
{
    m_abandonTimer->setSingleShot(true);
    m_legacyQuietTimer->setSingleShot(true);
    connect(m_abandonTimer, &QTimer::timeout, this, [this] {
        // A legacy update waiting for its quiet time ends there, not here.
        if (!m_legacyQuietTimer->isActive())
            end("abandoned");
    });
    connect(m_legacyQuietTimer, &QTimer::timeout, this, [this] {
        const bool good = m_legacyLastGood;
        end(good ? "complete" : "failed");
        if (good)
            m_display->beginReboot();
    });
}

const SimUpdateConfig &SimUpdateSession::config() const
{
    return m_display->config().update;
}

SimUpdateProtocol SimUpdateSession::protocol() const
{
    return SimUpdateProtocols::effective(config().protocol, m_display->config().seriesCode);
}

void SimUpdateSession::reset()
{
    if (m_inUpdate)
        end("abandoned");
    m_abandonTimer->stop();
    m_legacyQuietTimer->stop();
    m_model.reset();
    m_standby = false;
    m_modeChanged = false;
    m_uploadRequested = false;
    m_chunkExpected = -1;
    m_chunkReceived = 0;
}

void SimUpdateSession::begin()
{
    if (m_inUpdate)
        return;
    m_inUpdate = true;
    m_display->cancelPendingReboot();
    if (m_model.settled() || m_model.phase() == SimFirmwareUpdate::Phase::Completed)
        m_model.reset();
    if (m_stats)
        m_stats->begin(m_display->address().toString());
    m_abandonTimer->start(qMax(1, config().abandonMs));
}

void SimUpdateSession::end(const QByteArray &outcome)
{
    m_abandonTimer->stop();
    m_legacyQuietTimer->stop();
    if (!m_inUpdate)
        return;
    m_inUpdate = false;
    m_outcome = outcome;
    m_standby = false;
    m_modeChanged = false;
    m_uploadRequested = false;
    m_chunkExpected = -1;
    if (outcome == "abandoned")
        m_model.reset();
    if (m_stats)
        m_stats->end(m_display->address().toString(), outcome);
    m_display->notifyStateChanged();
}

void SimUpdateSession::activity()
{
    if (m_inUpdate)
        m_abandonTimer->start(qMax(1, config().abandonMs));
}

void SimUpdateSession::classify(SimHttpRequest &head)
{
    const SimUpdateRoutes::Match m = SimUpdateRoutes::match(protocol(), head.method, head.path, head.query);
    if (m.action == Action::None)
        return;
    QByteArray step = m.step;
    if (step.isEmpty() && m.action == Action::FileCheck)
        step = m_model.phase() == SimFirmwareUpdate::Phase::Idle ? "stateCheck" : "checkResult";
    if (step.isEmpty() && m.action == Action::Upload)
        step = m_chunkExpected < 0 ? "announce" : "upload";
    head.step = step;
    head.stepOrdinal = m_stepCounts[step]++;
    // The attempt begins with the head: a long upload body is part of it.
    if (m.action != Action::FileCheck && m.action != Action::ResultPoll)
        begin();
    activity();
}

const SimStepFault *SimUpdateSession::faultFor(const QByteArray &step, int ordinal) const
{
    if (step.isEmpty())
        return nullptr;
    for (const SimStepFault &f : config().faults)
        if (f.hits(step, ordinal))
            return &f;
    return nullptr;
}

SimStepFault SimUpdateSession::readFault(const SimHttpRequest &head) const
{
    const SimStepFault *f = faultFor(head.step, head.stepOrdinal);
    return f ? *f : SimStepFault();
}

SimHttpResponse SimUpdateSession::handle(const SimHttpRequest &request)
{
    const SimUpdateRoutes::Match m = SimUpdateRoutes::match(protocol(), request.method, request.path, request.query);
    if (m.action == Action::None)
        return SimHttpResponse::text(404, "Not Found\n");
    if (m.action != Action::FileCheck && m.action != Action::ResultPoll)
        begin();
    activity();

    const SimStepFault *fault = faultFor(request.step, request.stepOrdinal);
    SimHttpResponse r;
    if (fault && fault->neverReply) {
        r.hold = true;
        return r;
    }
    if (fault && !fault->body.isNull()) {
        // A hostile or broken answer, at most 64 MiB of it.
        const qint64 most = (qint64(64) << 20) / qMax(qint64(1), qint64(fault->body.size()));
        const qint64 repeat = qBound(qint64(0), qint64(fault->bodyRepeat), most);
        r = SimHttpResponse::text(fault->status ? fault->status : 200, fault->body.repeated(repeat));
    } else if (fault && fault->status != 0) {
        r = SimHttpResponse::text(fault->status, "Error " + QByteArray::number(fault->status) + "\n");
        if (fault->status == 401)
            r.headers.append(qMakePair(QByteArray("WWW-Authenticate"), QByteArray("Basic realm=\"Display\"")));
    } else {
        r = act(m, request);
    }
    if (fault) {
        r.delayMs = fault->delayMs;
        r.contentEncoding = fault->encoding;
        if (fault->framing == "chunked")
            r.framing = SimHttpResponse::Framing::Chunked;
        else if (fault->framing == "close")
            r.framing = SimHttpResponse::Framing::Close;
        // At most 64 MiB of head, as of body.
        r.headerBytes = qBound(qint64(0), fault->headerBytes, qint64(64) << 20);
        if (fault->unendedLine == "status")
            r.unended = SimHttpResponse::Unended::StatusLine;
        else if (fault->unendedLine == "header")
            r.unended = SimHttpResponse::Unended::HeaderLine;
    }
    return r;
}

SimHttpResponse SimUpdateSession::reply(const QByteArray &body) const
{
    return text(body, protocol() == SimUpdateProtocol::PjctrlChunked ? "application/json" : "text/plain");
}

SimHttpResponse SimUpdateSession::act(const SimUpdateRoutes::Match &match, const SimHttpRequest &request)
{
    const SimUpdateProtocol p = protocol();
    const bool chunked = p == SimUpdateProtocol::PjctrlChunked;
    const QByteArray accepted = chunked ? SimUpdateReplies::acceptedCommented() : SimUpdateReplies::ok();
    switch (match.action) {
    case Action::Standby:
        if (m_model.phase() == SimFirmwareUpdate::Phase::Updating)
            return reply(chunked ? accepted : SimUpdateReplies::notOk());
        m_model.reset();
        m_standby = true;
        m_modeChanged = false;
        m_chunkExpected = -1;
        return reply(accepted);
    case Action::FileDelete:
        if (m_model.phase() == SimFirmwareUpdate::Phase::Updating)
            return reply(SimUpdateReplies::notOk());
        m_model.deletePackage();
        return reply(accepted);
    case Action::FileCheck:
        return fileCheck();
    case Action::Upload:
        return upload(request);
    case Action::ModeChange:
        if (m_model.phase() != SimFirmwareUpdate::Phase::CheckPassed)
            return reply(SimUpdateReplies::notOk());
        m_modeChanged = true;
        return reply(accepted);
    case Action::Update: {
        m_capture.updateRequests.append(match.components);
        QList<int> components = match.components;
        if (chunked) { // "T=9": every component of the package
            components.clear();
            for (int k = 1; k <= m_model.componentCount(); ++k)
                components.append(k);
        }
        const bool ready = p != SimUpdateProtocol::Cgictrl || m_modeChanged;
        m_model.setConfig(config());
        const bool started = ready && m_model.startUpdate(components);
        return reply(started || chunked ? accepted : SimUpdateReplies::notOk());
    }
    case Action::ResultPoll:
        return resultPoll();
    case Action::None:
        break;
    }
    return SimHttpResponse::text(404, "Not Found\n");
}

SimHttpResponse SimUpdateSession::fileCheck()
{
    m_model.setConfig(config());
    const bool wasFailed = m_model.phase() == SimFirmwareUpdate::Phase::CheckFailed;
    const SimFirmwareUpdate::Check check = m_model.pollCheck();
    if (!wasFailed && m_model.phase() == SimFirmwareUpdate::Phase::CheckFailed)
        end("failed");
    return reply(protocol() == SimUpdateProtocol::PjctrlChunked ? SimUpdateReplies::checkCommented(check)
                                                                 : SimUpdateReplies::checkKeys(check));
}

SimHttpResponse SimUpdateSession::resultPoll()
{
    m_model.setConfig(config());
    const SimFirmwareUpdate::Phase before = m_model.phase();
    const QList<int> codes = m_model.pollUpdate();
    if (before == SimFirmwareUpdate::Phase::Updating)
        settleAfterPoll();
    return reply(protocol() == SimUpdateProtocol::PjctrlChunked
                     ? SimUpdateReplies::updateCommented(codes, reportedComponent(codes))
                     : SimUpdateReplies::updateKeys(codes));
}

void SimUpdateSession::settleAfterPoll()
{
    if (m_model.phase() == SimFirmwareUpdate::Phase::Completed) {
        end("complete");
        m_display->beginReboot();
    } else if (m_model.phase() == SimFirmwareUpdate::Phase::Failed) {
        end("failed");
    }
}

SimHttpResponse SimUpdateSession::upload(const SimHttpRequest &request)
{
    switch (protocol()) {
    case SimUpdateProtocol::Legacy:
        return legacyUpload(request);
    case SimUpdateProtocol::PjctrlChunked:
        return chunk(request);
    case SimUpdateProtocol::Upload:
        return uploadWithKey(request);
    default:
        break;
    }
    // cgictrl and stamped: the multipart body with the file in "updatefile",
    // only after the standby request.
    const SimMultipartPart *file = partNamed(request, "updatefile");
    if (!m_standby || !request.multipartValid || !file || m_model.phase() == SimFirmwareUpdate::Phase::Updating)
        return reply(SimUpdateReplies::notOk());
    packageReceived(file->filename, file->size, file->md5, false);
    return reply(SimUpdateReplies::ok());
}

SimHttpResponse SimUpdateSession::legacyUpload(const SimHttpRequest &request)
{
    const SimMultipartPart *file = partNamed(request, "updatefile");
    ++m_legacyUploads;
    m_legacyQuietTimer->start(qMax(1, config().legacyQuietMs));
    if (!request.multipartValid || !file || m_legacyUploads <= config().legacyWriteFailures) {
        m_legacyLastGood = false;
        return text(SimUpdateReplies::legacyFailed(), "text/html");
    }
    m_legacyLastGood = true;
    packageReceived(file->filename, file->size, file->md5, true);
    if (config().legacyWritingMs > 0) {
        // Still writing: the write finishes later; a reboot before then would
        // lose it, so the quiet time counts from the end of the write.
        m_legacyQuietTimer->start(qMax(1, config().legacyWritingMs + config().legacyQuietMs));
        return text(SimUpdateReplies::legacyWriting(), "text/html");
    }
    return text(SimUpdateReplies::legacyWritten(), "text/html");
}

SimHttpResponse SimUpdateSession::chunk(const SimHttpRequest &request)
{
    const QByteArray accepted = SimUpdateReplies::acceptedCommented();
    if (request.step == "announce") {
        static const QRegularExpression re(QStringLiteral("\\Afilesize=([0-9]{1,12})\\z"));
        const QRegularExpressionMatch m = re.match(QString::fromLatin1(request.body));
        if (!m.hasMatch())
            return reply(accepted); // not examined by the client; nothing starts
        m_model.reset();
        m_chunkExpected = m.captured(1).toLongLong();
        m_chunkReceived = 0;
        m_chunkHash.reset();
        m_capture.announcedSizes.append(m_chunkExpected);
        if (m_chunkExpected == 0) {
            packageReceived(QByteArray(), 0, m_chunkHash.result().toHex(), false);
            m_chunkExpected = -1;
        }
        return reply(accepted);
    }
    m_capture.chunkSizes.append(request.bodySize);
    if (request.bodySize > SimHttpRequest::MaxKeptBody || m_chunkReceived + request.bodySize > m_chunkExpected) {
        // More than announced: the transfer is void.
        m_chunkExpected = -1;
        return reply(accepted);
    }
    m_chunkHash.addData(request.body);
    m_chunkReceived += request.bodySize;
    if (m_chunkReceived == m_chunkExpected) {
        packageReceived(QByteArray(), m_chunkReceived, m_chunkHash.result().toHex(), false);
        m_chunkExpected = -1;
    }
    return reply(accepted);
}

SimHttpResponse SimUpdateSession::uploadWithKey(const SimHttpRequest &request)
{
    const QByteArray key = request.header("X-Api-Key");
    m_capture.apiKeys.append(key);
    if (m_display->config().vcpValues.value(0x11F0) != 2)
        return SimHttpResponse::text(0, QByteArray()); // the server is off: the connection is dropped
    const QByteArray keyText = config().uploadKeyPrefix
        + QByteArray::number(m_display->config().uploadKeyValue, 16).rightJustified(4, '0') + "\n";
    const QByteArray expected = QCryptographicHash::hash(keyText, QCryptographicHash::Md5).toHex();
    if (!m_uploadRequested || key != expected) {
        end("failed");
        return SimHttpResponse::text(403, "Forbidden\n");
    }
    const SimMultipartPart *file = partNamed(request, "file");
    const int n = qBound(1, config().components, 6);
    const int bad = config().checkFailComponent;
    if (!request.multipartValid || !file || bad == 0 || (bad >= 1 && bad <= n)) {
        if (file && request.multipartValid)
            packageReceived(file->filename, file->size, file->md5, true);
        m_model.reset();
        end("failed");
        return SimHttpResponse::text(400, "Bad package\n");
    }
    packageReceived(file->filename, file->size, file->md5, true);
    return SimHttpResponse::text(200, "OK\n");
}

void SimUpdateSession::packageReceived(const QByteArray &name, qint64 size, const QByteArray &md5, bool checked)
{
    m_capture.packageName = name;
    m_capture.packageSize = size;
    m_capture.packageMd5 = md5;
    ++m_capture.packages;
    m_model.setConfig(config());
    if (checked)
        m_model.acceptPackage();
    else
        m_model.receivePackage();
}

SimControlResponder::Reply SimUpdateSession::controlRequest(char type, const QByteArray &body, bool *handled)
{
    *handled = false;
    activity();
    if (protocol() != SimUpdateProtocol::Upload)
        return {};
    const QByteArray item = body.left(4).toUpper();
    m_model.setConfig(config());
    if (type == 'E' && item == "1307" && !m_display->config().vcpResults.value(0x1307)) {
        begin();
        if (m_model.phase() != SimFirmwareUpdate::Phase::Updating)
            m_model.reset();
        m_uploadRequested = true;
        return {};
    }
    if (type == 'E' && item == "1303" && body.size() == 8) {
        begin();
        *handled = true;
        const bool started = m_model.startUpdate({ 1 });
        return SimControlResponder::vcpReply('F', started ? 0 : 1, 0x1303, started ? 1 : 0);
    }
    if (type == 'C' && item == "1306" && body.size() == 4) {
        *handled = true;
        const SimFirmwareUpdate::Phase before = m_model.phase();
        const int value = m_model.readProgress();
        if (before == SimFirmwareUpdate::Phase::Updating)
            settleAfterPoll();
        return SimControlResponder::vcpReply('D', 0, 0x1306, value);
    }
    if (type == 'E' && item == "11F0" && body.mid(4).toUpper() == "0002" && config().httpServerEnableRejected) {
        *handled = true;
        return SimControlResponder::vcpReply('F', 1, 0x11F0, m_display->config().vcpValues.value(0x11F0));
    }
    return {};
}
