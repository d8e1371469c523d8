#include "ui/ReportView.h"

#include "ui/Resources.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

#include <algorithm>

CReportView::CReportView(QWidget* parent)
    : QTableView(parent)
{
    setIconSize(StatusImageSize);

    QHeaderView* header = horizontalHeader();
    header->setSectionsMovable(true);
    // The last column takes what the window gives the list, so it reaches the right edge.
    header->setStretchLastSection(true);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // Fixed row heights keep inserting thousands of rows cheap.
    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(std::max(fontMetrics().height() + 4, 19));

    QPalette colours = palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);
}

void CReportView::SetColumnWidths(const QList<int>& widths)
{
    for (int column = 0; column < widths.size(); ++column)
        horizontalHeader()->resizeSection(column, widths[column]);
}

void CReportView::mousePressEvent(QMouseEvent* event)
{
    m_pressed = indexAt(event->position().toPoint());
    QTableView::mousePressEvent(event);
}

void CReportView::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex current = currentIndex();
    if (event->key() == Qt::Key_Menu
        || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        QPoint at;
        if (current.isValid()) {
            scrollTo(current);
            const QRect cell = visualRect(current);
            at = QPoint(cell.left(), cell.bottom());
        }
        Q_EMIT ContextMenuKeyPressed(viewport()->mapToGlobal(at));
        event->accept();
        return;
    }
    // Taken here rather than by the table, whose Space also starts a keyboard search that
    // could move the current row to another one.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier
        && current.isValid()) {
        selectionModel()->select(current, selectionCommand(current, event));
        Q_EMIT clicked(current);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

QItemSelectionModel::SelectionFlags CReportView::selectionCommand(
    const QModelIndex& index, const QEvent* event) const
{
    if (event) {
        switch (event->type()) {
        case QEvent::MouseMove:
            return QItemSelectionModel::NoUpdate;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<const QMouseEvent*>(event);
            if (mouse->button() == Qt::MiddleButton)
                return QItemSelectionModel::NoUpdate;
            if (event->type() == QEvent::MouseButtonRelease && index.row() != m_pressed.row())
                return QItemSelectionModel::NoUpdate;
            break;
        }
        default:
            break;
        }
    }
    return QTableView::selectionCommand(index, event);
}

int CReportView::FirstSelectedRow() const
{
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        if (first < 0 || index.row() < first)
            first = index.row();
    }
    return first;
}

void CReportView::SelectRow(int row)
{
    selectionModel()->select(
        model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}
