#pragma once

#include <QFont>
#include <QList>
#include <QSize>
#include <QTableView>

class QMenu;
class displayListModel;

// The display table. Its menus ask for work on a display; the signals carry the row of the
// display list model, whatever the sort order of the proxy in between.
class MyTableView : public QTableView
{
    Q_OBJECT

public:
    static constexpr int MenuIconSize = 24;

    explicit MyTableView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;

    // Every column as wide as the texts of the rows in view; the last one at least as wide as its
    // own texts and otherwise out to the window's edge, so a long status is read in full (the view
    // scrolls sideways) instead of ending in "...".
    void fitColumnsToContents();

    // The model row the last menu was opened for; -1 when the last right-click found none.
    int contextMenuTriggeredRow() const { return m_contextMenuTriggeredRow; }

signals:
    void refreshRow(int row);
    void requestPowerOn(int row);
    void requestPowerOff(int row);
    void requestSetPowerSaveToAutoPowerSave(int row);
    void requestSetPowerSaveToAutoStandby(int row);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Space ticks the current row's check box from any cell, not only from the Action column.
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void customMenuRequested(QPoint point);
    void refreshTriggered();
    void powerOnTriggered();
    void powerOffTriggered();
    void setPowerSaveToAutoStandby();
    void setPowerSaveToAutoPowerSave();
    // After a new sort order: the current row back into view, the columns fitted to the rows now shown.
    void followSort();

private:
    // What a fit depends on. While it is all as the last fit left it, fitting again would give the
    // same widths: update_ui runs on every row change, and measuring every column over the rows in
    // view was a good part of its cost.
    struct FitInputs
    {
        quint64 contentGeneration = 0;
        int firstRowInView = 0;
        QSize viewport;
        QFont font;
        const QStyle *style = nullptr;
        bool stretchLast = false;
        QList<int> sections;    // per logical column: its visual place, and its size or -1 if hidden

        bool operator==(const FitInputs &other) const
        {
            return contentGeneration == other.contentGeneration && firstRowInView == other.firstRowInView
                    && viewport == other.viewport && font == other.font && style == other.style
                    && stretchLast == other.stretchLast && sections == other.sections;
        }
    };
    FitInputs fitInputs() const;
    void fitLastColumn();
    QModelIndex sourceIndexAt(int viewRow) const;
    const displayListModel *listModel() const;
    bool isSourceRowIdle(int sourceRow) const;
    bool toggleCurrentRowCheck();
    void addMenuAction(QMenu &menu, const QString &text, const QString &iconName, bool enabled,
                       void (MyTableView::*slot)());
    void showMenu(QMenu &menu, QPoint viewportPoint);

    int m_contextMenuTriggeredRow = -1;
    QList<QMetaObject::Connection> m_modelWatch;
    quint64 m_contentGeneration = 0;    // counts changes of the model's rows and texts
    FitInputs m_lastFit;
    bool m_fitValid = false;
};
