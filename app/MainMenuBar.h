#pragma once

#include <QMenuBar>

class QAction;
class QMenu;

namespace Ui {
class QuillpostDlg;
}

// The main window's menus, File, Run and Help, of the window's own actions.
class CMainMenuBar : public QMenuBar
{
    Q_OBJECT

public:
    CMainMenuBar(const Ui::QuillpostDlg& ui, QWidget* parent);

    // Also the target list's context menu.
    QMenu* FileMenu() const { return m_fileMenu; }
    QAction* OpenDataFolderAction() const { return m_openDataFolder; }

private:
    QMenu* m_fileMenu = nullptr;
    QAction* m_openDataFolder = nullptr;
};
