#include "app/MainMenuBar.h"

#include "ui_QuillpostDlg.h"

#include <QMenu>

CMainMenuBar::CMainMenuBar(const Ui::QuillpostDlg& ui, QWidget* parent)
    : QMenuBar(parent)
{
    setObjectName(QStringLiteral("menuBar"));
    m_fileMenu = addMenu(tr("&File"));
    m_fileMenu->setObjectName(QStringLiteral("fileMenu"));
    m_fileMenu->addAction(ui.loadDataAction);
    m_fileMenu->addAction(ui.saveDataAction);
    //: Menu of the commands that post the targets
    QMenu* runMenu = addMenu(tr("&Run"));
    runMenu->setObjectName(QStringLiteral("runMenu"));
    runMenu->addActions({ui.submitAction, ui.submitAllAction, ui.submitFailedAgainAction,
        ui.stopAction, ui.saveResultsAction});
    runMenu->addSeparator();
    runMenu->addActions(
        {ui.previewAction, ui.historyAction, ui.setUpSiteAction, ui.indexNowKeyAction});
    QMenu* helpMenu = addMenu(tr("&Help"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    //: Shows the folder that holds the data file in the file manager
    m_openDataFolder = helpMenu->addAction(tr("&Open Data Folder"));
    m_openDataFolder->setObjectName(QStringLiteral("openDataFolderAction"));
    helpMenu->addAction(ui.aboutAction);
}
