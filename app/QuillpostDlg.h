#pragma once

// The main window: the user's list of submit targets, their parameters, and the commands that
// edit, save and post them.
//
// It only wires: the controls come from res/QuillpostDlg.ui; the targets are the rows of
// m_targetList, and m_paramList shows the parameters of the target last shown; the list's
// file is m_store's; the runs of Submit All are m_runs's, and Submit's browser window
// m_poster's. Each handler reads the fields it needs when it runs and passes the work on.
// While its runs post, the window holds the lock of the list it last loaded or saved, as
// the command line does while it posts a list.

#include "app/ParamListModel.h"
#include "app/TargetListModel.h"
#include "core/FormPoster.h"
#include "runs/SubmitRuns.h"
#include "runs/TargetStore.h"

#include <QDialog>
#include <QIcon>
#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <utility>

class CBannerLink;
class CListLock;
class CTextLink;
class CBrowserLauncher;
class QAbstractItemView;
class QLineEdit;
class QMenu;
class QPushButton;

namespace Ui {
class QuillpostDlg;
}

class CQuillpostDlg : public QDialog
{
    Q_OBJECT

public:
    // dataLocation: where the data file is read and written. launcher: opens Submit's
    // browser windows; null means the browser helper program found beside this one.
    explicit CQuillpostDlg(CDataLocation dataLocation, QWidget* parent = nullptr,
        CBrowserLauncher* launcher = nullptr);
    ~CQuillpostDlg() override;

    void done(int result) override;
    // Where the locks that keep runs of one list apart are: the user's own folder for them
    // unless a test gives its own.
    void SetLockFolder(std::string folder) { m_lockFolder = std::move(folder); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Target list.
    void OnAddUrl();
    void OnEditUrl();
    void OnDeleteUrl();
    void OnTargetListClick();
    void OnTargetListRightClick(const QPoint& globalPos);
    void ShowSelectedTarget();
    void ClearTargets();
    void OnAddStarterServices();
    // The well-known services are offered while the list is empty.
    void ShowStarterButton();

    // Parameter list.
    void OnAddParam();
    void OnEditParam();
    void OnDeleteParam();
    void OnDeleteAllParams();
    void OnParamListClick();

    // Submitting.
    void OnSubmit();
    void OnBrowserFailed(const QString& reason);
    void OnSubmitAll();
    void OnSubmitFailedAgain();
    void OnStop();
    void OnSaveResults();
    void ShowRunStatus();
    // Takes the list's lock for the runs about to start; false, having said who holds it,
    // when another run does.
    bool HoldList();
    // Lets go of the lock once nothing of the runs is on the wire.
    void ReleaseListWhenDone();

    // Data file.
    void OnLoadData();
    void OnSaveData();
    // True when the list was read (or there is none yet); a refused file is reported.
    bool LoadTargets();
    // True when the list was written; what went wrong is reported.
    bool SaveTargets();
    void OnOpenDataFolder();

    // Banner and About.
    void OnDownloadNow();
    void OnAbout();

    // The constructor's steps.
    void SetUpMenus();
    void SetUpFields();
    void SetUpLists();
    void ConnectCommands();

    // A field shows text as it is: the validator keeps out what the user types, not what the
    // list already holds.
    static void SetField(QLineEdit* edit, const std::string& text);
    static std::string FieldText(const QLineEdit* edit);
    CPostParam ParamFields() const;
    std::shared_ptr<CSubmitHost> SelectedTarget() const;
    int SelectedTargetRow() const;
    int SelectedParamRow() const;

    std::unique_ptr<Ui::QuillpostDlg> m_ui;
    CTargetStore m_store;
    // Also the target list's context menu.
    QMenu* m_fileMenu = nullptr;

    QList<QIcon> m_imageList;
    CBannerLink* m_banner = nullptr;
    CTextLink* m_promoLink = nullptr;
    CTextLink* m_productLink = nullptr;
    CTargetListModel m_targetList;
    CParamListModel m_paramList;
    QPushButton* m_starterButton = nullptr;
    QIcon m_hIcon;

    std::string m_lockFolder;
    std::unique_ptr<CListLock> m_listLock;

    std::unique_ptr<CBrowserLauncher> m_ownLauncher;
    CFormPoster m_poster;
    CSubmitRuns m_runs;
};
