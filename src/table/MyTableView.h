#pragma once

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
    void fitLastColumn();
    QModelIndex sourceIndexAt(int viewRow) const;
    const displayListModel *listModel() const;
    bool isSourceRowIdle(int sourceRow) const;
    bool toggleCurrentRowCheck();
    void addMenuAction(QMenu &menu, const QString &text, const QString &iconName, bool enabled,
                       void (MyTableView::*slot)());
    void showMenu(QMenu &menu, QPoint viewportPoint);

    int m_contextMenuTriggeredRow = -1;
};
