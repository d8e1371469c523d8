#include "app/StarterButton.h"

#include "runs/TargetList.h"
#include "runs/TargetLoader.h"

#include <QAbstractItemView>
#include <QEvent>

CStarterButton::CStarterButton(
    QAbstractItemView* view, const CTargetList& targets, const CTargetLoader& loader)
    : QPushButton(tr("Add &well-known services"), view->viewport())
    , m_targets(targets)
    , m_loader(loader)
{
    setObjectName(QStringLiteral("addStarterServicesButton"));
    setAccessibleDescription(
        tr("Adds a WebSub hub, XML-RPC ping services and IndexNow, for your own site's address "
           "and key to be put in"));
    QWidget::setTabOrder(view, this);
    // The list's room changes with the window's.
    view->viewport()->installEventFilter(this);
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(&targets, signal, this, &CStarterButton::Update);
    connect(&targets, &QAbstractItemModel::modelReset, this, &CStarterButton::Update);
    connect(&loader, &CTargetLoader::Finished, this, &CStarterButton::Update);
}

void CStarterButton::Update()
{
    Centre();
    setVisible(m_targets.RowCount() == 0 && !m_loader.IsLoading());
}

bool CStarterButton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        Centre();
    return QPushButton::eventFilter(watched, event);
}

void CStarterButton::Centre()
{
    adjustSize();
    move(parentWidget()->rect().center() - rect().center());
}
