#pragma once

// The main window: the user's list of submit targets and their parameters, the commands that
// edit, load, save and post them, and which of those commands the list's state allows. It
// shows before its list is in: the file's rows come in over the first event-loop turns
// (IsLoading, LoadFinished).

#include "app/ParamEditor.h"
#include "app/ParamListModel.h"
#include "app/TargetListModel.h"
#include "core/post/FormPoster.h"
#include "runs/BrowserSubmit.h"
#include "runs/RunListLock.h"
#include "runs/SubmitRuns.h"
#include "runs/TargetLoader.h"
#include "runs/TargetStore.h"

#include <QDialog>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QString>

#include <memory>
#include <string>
#include <utility>

class CBannerLink;
class CDataFileCommands;
class CHistoryDlg;
class CStarterButton;
class CTargetFields;
class CTextLink;
class CBrowserLauncher;

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
    void SetLockFolder(std::string folder) { m_listLock.SetFolder(std::move(folder)); }

    // A load of the list's file is under way: some of its rows are still to come.
    bool IsLoading() const { return m_loader.IsLoading(); }

Q_SIGNALS:
    // Every row of the file loaded (at the start, or by Load Data) is in the list.
    void LoadFinished();

private:
    // Target list.
    void OnAddUrl();
    void OnEditUrl();
    void OnDeleteUrl();
    void ShowSelectedTarget();
    void OnAddStarterServices();

    // Parameter list.
    void OnAddParam();
    // Edit or Delete: the parameter row selected, of the target selected.
    void ChangeSelectedParam(bool remove);
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
    // The bar beside the status line, there while a run lasts.
    void ShowRunProgress();
    // Completes the load and takes the list's lock for the runs about to start; false, having
    // said who holds it, when another run does.
    bool HoldList();
    // Lets go of the lock once nothing of the runs is on the wire.
    void ReleaseListWhenDone();

    // The post log, and an IndexNow target's key.
    void OnPreview();
    void OnHistory();
    void OnSetUpSite();
    void OnIndexNowKey();
    // IndexNow Key... is there while an IndexNow target is selected.
    void ShowKeyCommand();

    // Data file.
    void OnLoadData();
    void OnSaveData();
    void OnOpenDataFolder();

    // Banner and About.
    void OnDownloadNow();
    void OnAbout();

    // The constructor's steps.
    void SetUpControls();
    void ConnectCommands();

    std::shared_ptr<CSubmitHost> SelectedTarget() const;

    std::unique_ptr<Ui::QuillpostDlg> m_ui;
    CTargetStore m_store;

    QList<QIcon> m_imageList;
    CBannerLink* m_banner = nullptr;
    CTextLink* m_promoLink = nullptr;
    CTextLink* m_productLink = nullptr;
    CTargetListModel m_targetList;
    CParamListModel m_paramList;
    CParamEditor m_params;
    std::unique_ptr<CTargetFields> m_fields;
    std::unique_ptr<CDataFileCommands> m_dataFile;
    CStarterButton* m_starterButton = nullptr;
    QIcon m_hIcon;
    QPointer<CHistoryDlg> m_history;

    CRunListLock m_listLock;

    std::unique_ptr<CBrowserLauncher> m_ownLauncher;
    CFormPoster m_poster;
    CSubmitRuns m_runs;
    CBrowserSubmit m_browserSubmit;
    // Last: it goes first, waiting for a read under way before the store and the list go,
    // and leaves the window's children as it goes.
    CTargetLoader m_loader;
};
