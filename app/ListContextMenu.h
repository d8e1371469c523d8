#pragma once

#include <QObject>

class CReportView;
class QMenu;

// Opens a menu as a list's context menu: on the right button's release, after the press moved
// the selection, and on the Menu key or Shift+F10. The list's own context menu event comes on
// press on some platforms and on release on others, so the list's is turned off.
class CListContextMenu : public QObject
{
    Q_OBJECT

public:
    // A child of list.
    CListContextMenu(CReportView* list, QMenu* menu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_viewport;
    QMenu* m_menu;
};
