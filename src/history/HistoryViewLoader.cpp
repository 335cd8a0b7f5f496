#include "history/HistoryViewLoader.h"

#include "history/HistoryTableModel.h"
#include "history/UpdateHistory.h"

#include <QTimer>

HistoryViewLoader::HistoryViewLoader(UpdateHistory &history, HistoryTableModel &model, QObject *parent)
    : QObject(parent)
    , m_history(history)
    , m_model(model)
{
}

void HistoryViewLoader::start()
{
    ++m_generation;
    HistoryFilter first;
    first.newestFirst = true;
    first.limit = FirstRows;
    m_rows = m_history.attempts(first);
    m_model.setAttempts(m_rows);
    if (m_rows.size() < FirstRows) {
        m_loading = false;
        emit finished();
        return;
    }
    m_loading = true;
    const quint64 generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == m_generation)
            loadPage();
    });
}

void HistoryViewLoader::loadPage()
{
    HistoryFilter page;
    page.newestFirst = true;
    page.limit = PageRows;
    page.belowId = m_rows.isEmpty() ? 0 : m_rows.constLast().id;
    const QList<UpdateAttempt> rows = m_history.attempts(page);
    m_rows.append(rows);
    if (rows.size() == PageRows) {
        const quint64 generation = m_generation;
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == m_generation)
                loadPage();
        });
        return;
    }
    m_loading = false;
    m_model.setAttempts(std::move(m_rows));
    m_rows = {};
    emit finished();
}
