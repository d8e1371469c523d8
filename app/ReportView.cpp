#include "app/ReportView.h"

#include <QMouseEvent>

CReportView::CReportView(QWidget* parent)
    : QTableView(parent)
{
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
