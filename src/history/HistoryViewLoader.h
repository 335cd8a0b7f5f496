#pragma once

#include "history/UpdateAttempt.h"

#include <QList>
#include <QObject>

class HistoryTableModel;
class UpdateHistory;

// Fills the history view's model without holding up the window: the newest rows at once, so the
// view shows at the moment it opens, then the rest page by page from the event loop, handed to
// the model in one piece at the end (one reset and one sort instead of one per page).
class HistoryViewLoader : public QObject
{
    Q_OBJECT

public:
    static constexpr int FirstRows = 2000;
    static constexpr int PageRows = 10000;

    HistoryViewLoader(UpdateHistory &history, HistoryTableModel &model, QObject *parent = nullptr);

    // Starts again from the newest row; a load still running is dropped.
    void start();
    bool isLoading() const { return m_loading; }

signals:
    // The model holds every row of the history.
    void finished();

private slots:
    void loadPage();

private:
    UpdateHistory &m_history;
    HistoryTableModel &m_model;
    QList<UpdateAttempt> m_rows;
    quint64 m_generation = 0;
    bool m_loading = false;
};
