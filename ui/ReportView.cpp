#include "ui/ReportView.h"

#include "ui/Resources.h"

#include <QHeaderView>
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
