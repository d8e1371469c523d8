#pragma once

// The main window: the user's list of submit targets, their parameters, and the commands that
// edit, save and post them.
//
// It only wires: the controls come from res/QuillpostDlg.ui; the targets are the rows of
// m_targetList, and m_paramList shows the parameters of the target last shown; the list's
// file is m_store's, and m_loader reads it into the list; the runs of Submit All are m_runs's,
// and Submit's browser window m_poster's. Each handler reads the fields it needs when it runs
// and passes the work on.
//
// The window shows before its list is in: the file is read off the window's thread and its
// rows come in over the first event-loop turns (IsLoading, LoadFinished). A command that needs
// the whole list (Add, Save Data, Submit All, Submit Failed Again) completes the load first,
// so it never acts on half of it; Load Data starts the load over.
//
// While its runs post, the window holds the lock of the list it last loaded or saved, as
// the command line does while it posts a list.

#include "app/ParamListModel.h"
#include "app/TargetListModel.h"
#include "core/FormPoster.h"
#include "runs/SubmitRuns.h"
#include "runs/TargetLoader.h"
#include "runs/TargetStore.h"

#include <QDialog>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <utility>

class CBannerLink;
class CHistoryDlg;
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

    // A load of the list's file is under way: some of its rows are still to come.
    bool IsLoading() const { return m_loader.IsLoading(); }

Q_SIGNALS:
    // Every row of the file loaded (at the start, or by Load Data) is in the list.
    void LoadFinished();

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

    // The post log, and an IndexNow target's key.
    void OnHistory();
    void OnIndexNowKey();
    // IndexNow Key... is there while an IndexNow target is selected.
    void ShowKeyCommand();

    // Data file.
    void OnLoadData();
    void OnSaveData();
    // Starts reading the list into the list; OnLoadFinished reports a refused file.
    void LoadTargets();
    void OnLoadFinished(const QString& message);
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
    // The Changes from field: an empty field is none.
    std::optional<std::string> ChangesField() const;
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
    QPointer<CHistoryDlg> m_history;

    std::string m_lockFolder;
    std::unique_ptr<CListLock> m_listLock;

    std::unique_ptr<CBrowserLauncher> m_ownLauncher;
    CFormPoster m_poster;
    CSubmitRuns m_runs;
    // Last: it goes first, waiting for a read under way before the store and the list go,
    // and leaves the window's children as it goes.
    CTargetLoader m_loader;
};
