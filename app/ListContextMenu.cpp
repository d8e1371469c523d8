#include "app/ListContextMenu.h"

#include "ui/ReportView.h"

#include <QMenu>
#include <QMouseEvent>

CListContextMenu::CListContextMenu(CReportView* list, QMenu* menu)
    : QObject(list)
    , m_viewport(list->viewport())
    , m_menu(menu)
{
    list->setContextMenuPolicy(Qt::PreventContextMenu);
    m_viewport->installEventFilter(this);
    connect(list, &CReportView::ContextMenuKeyPressed, this,
        [this](const QPoint& globalPos) { m_menu->popup(globalPos); });
}

bool CListContextMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_viewport && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton)
            m_menu->popup(mouse->globalPosition().toPoint());
    }
    return QObject::eventFilter(watched, event);
}
