#include "table/MyTableView.h"

#include "theme/Theme.h"
#include "table/displayListModel.h"

#include <QAbstractProxyModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

MyTableView::MyTableView(QWidget *parent)
    : QTableView(parent)
{
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &MyTableView::customMenuRequested);
    // Queued: the proxy sorts in a slot of the same signal, and the rows must be in their new
    // places before the view scrolls to one and measures them.
    connect(horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, &MyTableView::followSort,
            Qt::QueuedConnection);
}

void MyTableView::followSort()
{
    if (!model())
        return;
    const QModelIndex current = currentIndex();
    if (current.isValid())
        scrollTo(current, QAbstractItemView::EnsureVisible);
    // The widths were measured on the rows in view before the sort; bold texts of the rows now
    // in view would be cut.
    fitColumnsToContents();
}

void MyTableView::setModel(QAbstractItemModel *newModel)
{
    if (newModel == model())
        return;
    for (const QMetaObject::Connection &connection : std::as_const(m_modelWatch))
        disconnect(connection);
    m_modelWatch.clear();
    QTableView::setModel(newModel);
    m_fitValid = false;
    if (!newModel)
        return;
    const auto changed = [this] { ++m_contentGeneration; };
    m_modelWatch = {
        connect(newModel, &QAbstractItemModel::dataChanged, this, changed),
        connect(newModel, &QAbstractItemModel::headerDataChanged, this, changed),
        connect(newModel, &QAbstractItemModel::layoutChanged, this, changed),
        connect(newModel, &QAbstractItemModel::modelReset, this, changed),
        connect(newModel, &QAbstractItemModel::rowsInserted, this, changed),
        connect(newModel, &QAbstractItemModel::rowsRemoved, this, changed),
        connect(newModel, &QAbstractItemModel::rowsMoved, this, changed),
        connect(newModel, &QAbstractItemModel::columnsInserted, this, changed),
        connect(newModel, &QAbstractItemModel::columnsRemoved, this, changed),
        connect(newModel, &QAbstractItemModel::columnsMoved, this, changed),
    };
}

MyTableView::FitInputs MyTableView::fitInputs() const
{
    const QHeaderView *header = horizontalHeader();
    FitInputs inputs;
    inputs.contentGeneration = m_contentGeneration;
    inputs.firstRowInView = rowAt(0);
    inputs.viewport = viewport()->size();
    inputs.font = font();
    inputs.style = style();
    inputs.stretchLast = header->stretchLastSection();
    const int columns = header->count();
    inputs.sections.reserve(2 * columns);
    for (int logical = 0; logical < columns; ++logical) {
        inputs.sections << header->visualIndex(logical);
        inputs.sections << (header->isSectionHidden(logical) ? -1 : header->sectionSize(logical));
    }
    return inputs;
}

void MyTableView::fitColumnsToContents()
{
    if (!model())
        return;
    if (m_fitValid && fitInputs() == m_lastFit)
        return;
    QHeaderView *header = horizontalHeader();
    // A stretched last section takes what is left of the window and cuts its text there; a
    // header state saved by an older build turns stretching back on.
    if (header->stretchLastSection())
        header->setStretchLastSection(false);
    for (int column = 0; column < model()->columnCount(); ++column) {
        if (!isColumnHidden(column))
            resizeColumnToContents(column);
    }
    fitLastColumn();
    m_lastFit = fitInputs();
    m_fitValid = true;
}

void MyTableView::fitLastColumn()
{
    QHeaderView *header = horizontalHeader();
    int last = -1;
    for (int visual = header->count() - 1; visual >= 0 && last < 0; --visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical))
            last = logical;
    }
    if (last < 0)
        return;
    const int contents = qMax(sizeHintForColumn(last), header->sectionSizeHint(last));
    const int before = header->length() - header->sectionSize(last);
    const int rest = viewport()->width() - before;
    const int width = qMax(contents, rest);
    if (header->sectionSize(last) != width)
        header->resizeSection(last, width);
}

void MyTableView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    if (model() && !horizontalHeader()->stretchLastSection())
        fitLastColumn();
}

bool MyTableView::toggleCurrentRowCheck()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !model())
        return false;
    const QModelIndex check = model()->index(current.row(), displayListModel::ActionColumn);
    const Qt::ItemFlags flags = model()->flags(check);
    if (!(flags & Qt::ItemIsUserCheckable) || !(flags & Qt::ItemIsEnabled))
        return true; // Space is still used up: a row that cannot be ticked stays as it is.
    const bool checked = check.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    model()->setData(check, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    return true;
}

void MyTableView::keyPressEvent(QKeyEvent *event)
{
    const bool plainSpace = (event->key() == Qt::Key_Space || event->key() == Qt::Key_Select)
            && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plainSpace && state() != EditingState && toggleCurrentRowCheck()) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// Maps column 0 of a view row through every proxy down to the model that holds the rows.
QModelIndex MyTableView::sourceIndexAt(int viewRow) const
{
    if (!model() || viewRow < 0)
        return {};
    QModelIndex index = model()->index(viewRow, 0);
    const QAbstractItemModel *current = model();
    while (const auto *proxy = qobject_cast<const QAbstractProxyModel *>(current)) {
        index = proxy->mapToSource(index);
        current = proxy->sourceModel();
        if (!current)
            return {};
    }
    return index;
}

const displayListModel *MyTableView::listModel() const
{
    const QAbstractItemModel *current = model();
    while (const auto *proxy = qobject_cast<const QAbstractProxyModel *>(current))
        current = proxy->sourceModel();
    return qobject_cast<const displayListModel *>(current);
}

bool MyTableView::isSourceRowIdle(int sourceRow) const
{
    const displayListModel *rows = listModel();
    return !rows || rows->isRowIdle(sourceRow);
}

void MyTableView::addMenuAction(QMenu &menu, const QString &text, const QString &iconName, bool enabled,
                                void (MyTableView::*slot)())
{
    QAction *action = menu.addAction(text);
    if (!iconName.isEmpty())
        action->setIcon(Theme::themedIcon(iconName).pixmap(MenuIconSize, MenuIconSize));
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, this, slot);
}

void MyTableView::showMenu(QMenu &menu, QPoint viewportPoint)
{
    const QPoint shift(verticalHeader()->width(), horizontalHeader()->height());
    menu.exec(mapToGlobal(viewportPoint + shift));
}

void MyTableView::customMenuRequested(QPoint point)
{
    m_contextMenuTriggeredRow = -1;
    const int viewRow = rowAt(point.y());
    if (viewRow < 0 || !model())
        return;
    const QModelIndex source = sourceIndexAt(viewRow);
    if (!source.isValid())
        return;

    const int sourceRow = source.row();
    const bool enabled = isSourceRowIdle(sourceRow);
    m_contextMenuTriggeredRow = sourceRow;

    QMenu menu(tr("Context menu"), this);
    addMenuAction(menu, tr("Refresh display information"), QStringLiteral("refresh"), enabled, &MyTableView::refreshTriggered);
    addMenuAction(menu, tr("Power On"), QStringLiteral("power-on"), enabled, &MyTableView::powerOnTriggered);
    addMenuAction(menu, tr("Power Off"), QStringLiteral("power-off"), enabled, &MyTableView::powerOffTriggered);
    const displayListModel *rows = listModel();
    if (rows && rows->hasPowerSaveSettings(sourceRow)) {
        addMenuAction(menu, tr("Set \"Power Save Mode\" to \"Auto Power Save\"", "right-click menu"), QString(), enabled,
                      &MyTableView::setPowerSaveToAutoPowerSave);
        addMenuAction(menu, tr("Set \"Power Save Mode\" to \"Auto Standby\"", "right-click menu"), QString(), enabled,
                      &MyTableView::setPowerSaveToAutoStandby);
    }
    showMenu(menu, point);
}

void MyTableView::mousePressEvent(QMouseEvent *event)
{
    QTableView::mousePressEvent(event);

    const QPoint point = event->position().toPoint();
    if (event->button() != Qt::LeftButton)
        return;
    const int viewRow = rowAt(point.y());
    if (viewRow < 0 || columnAt(point.x()) != displayListModel::PowerStateColumn)
        return;
    const QModelIndex source = sourceIndexAt(viewRow);
    if (!source.isValid())
        return;

    m_contextMenuTriggeredRow = source.row();
    const bool enabled = isSourceRowIdle(source.row());

    QMenu menu(tr("Context menu"), this);
    addMenuAction(menu, tr("Power On", "right-click menu"), QStringLiteral("power-on"), enabled, &MyTableView::powerOnTriggered);
    addMenuAction(menu, tr("Power Off", "right-click menu"), QStringLiteral("power-off"), enabled, &MyTableView::powerOffTriggered);
    showMenu(menu, point);
}

void MyTableView::refreshTriggered()
{
    emit refreshRow(m_contextMenuTriggeredRow);
}

void MyTableView::powerOnTriggered()
{
    emit requestPowerOn(m_contextMenuTriggeredRow);
}

void MyTableView::powerOffTriggered()
{
    emit requestPowerOff(m_contextMenuTriggeredRow);
}

void MyTableView::setPowerSaveToAutoStandby()
{
    emit requestSetPowerSaveToAutoStandby(m_contextMenuTriggeredRow);
}

void MyTableView::setPowerSaveToAutoPowerSave()
{
    emit requestSetPowerSaveToAutoPowerSave(m_contextMenuTriggeredRow);
}
