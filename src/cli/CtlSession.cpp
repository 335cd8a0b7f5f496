#include "cli/CtlSession.h"

#include "cli/PlainText.h"
#include "engine/QuillonEngine.h"

#include <QEventLoop>
#include <QTimer>

namespace {

constexpr int PollMs = 50;

}

CtlSession::CtlSession(QuillonEngine &engine, QTextStream &out, QTextStream &err, QObject *parent)
    : QObject(parent),
      m_engine(engine),
      m_out(out),
      m_err(err)
{
    connect(&m_engine, &QuillonEngine::statusMessage, this, [this](const QString &text, int) { progress(text); });
}

void CtlSession::progress(const QString &text)
{
    const QString line = PlainText::sanitized(text);
    if (line.isEmpty() || line == m_lastProgress)
        return;
    m_lastProgress = line;
    m_err << line << Qt::endl;
}

bool CtlSession::waitUntil(const std::function<bool()> &done)
{
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(PollMs);
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (m_abandoned || done())
            loop.quit();
    });
    if (m_abandoned || done())
        return !m_abandoned;
    poll.start();
    loop.exec();
    return !m_abandoned && done();
}

void CtlSession::abandonWait()
{
    m_abandoned = true;
}

bool CtlSession::loadCatalogue()
{
    m_engine.loadCatalogue();
    if (!waitUntil([this] { return !m_engine.isCatalogueLoading(); }))
        return false;
    return m_engine.state().databaseLoaded;
}

bool CtlSession::runSearch(const QList<QHostAddress> &targets)
{
    m_engine.setTargets(targets, QString());
    if (!m_engine.startSearch(targets.isEmpty()))
        return false;
    return waitUntil([this] { return m_engine.isSearchSettled(); });
}
