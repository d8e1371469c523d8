#pragma once

// The main window: the whole user interface of the program.
//
// How it is put together:
// - Controls come from res/QuillpostDlg.ui, in layouts: the banner strip, the target group
//   (Url row over the target list), the parameter group (field row over the parameter list)
//   and the status row. The window opens at the form's size and may be resized or
//   maximised; the two lists take the room, the target list the larger share, and their
//   last column fills the width. Tab order follows the layout, top to bottom.
//   The menu bar is made here and set on the dialog's layout above the controls; its "File"
//   menu doubles as the target list's context menu. The "Run" menu repeats the submit
//   buttons and adds Submit Failed Again and Stop, which also sit as buttons beside the
//   status line under the lists, and Save Results, which writes the rows' results as CSV;
//   F5 is Submit All and Shift+F5 Stop. Each Alt+letter of the
//   menu titles, buttons and field labels reaches one control only (Delete All has none).
// - m_targetList is the target list itself: a model whose rows own their target records
//   (std::shared_ptr<CSubmitHost>) and carry a status image and a stable row id. The
//   targetList view only shows it. m_paramList holds the parameter rows of the target that
//   was last shown; they are display only, the parameters live in the records.
// - m_url, m_paramName and m_paramValue are the values behind the three edit fields, and
//   m_bodyKind the one behind the Kind chooser beside the Url field; ReadFields copies the
//   fields into them and WriteFields copies them back. Each handler does so at a fixed point
//   of its work and nowhere else.
// - Over the empty target list sits the "Add well-known services" button (m_starterButton),
//   a child of the list's viewport shown only while the list has no row; the services it
//   appends join no run under way.
// - A left click in a list or Space on its current row (the view's clicked signal), and a
//   right button release on the target list's viewport or the Menu key or Shift+F10 in it,
//   are the only triggers of ShowSelectedTarget, OnParamListClick and the context menu;
//   selection moved by the arrow keys deliberately shows nothing new.
// - The banner strip: bannerLabel, productLinkLabel and promoLinkLabel are promoted in the
//   form to the link controls of ui/ (m_banner, m_productLink, m_promoLink); they and
//   "Download Now!" open the maker's pages through CUrlOpener. Help > About runs CAboutDlg.
// - Where the data file is read and written comes with the constructor (CDataLocation);
//   LoadTargets runs at the end of construction, SaveTargets only on "Save Data...".
//   Help > Open Data Folder shows the folder that holds it through CUrlOpener.
// - Submit hands the selected record to m_poster, which opens a browser window through the
//   launcher given to the constructor (the browser helper's by default); a target that cannot
//   be posted opens none, and the warning says why. Submit All hands
//   the rows to m_runs (CSubmitRuns), which keeps the runs, posts copies of the rows and
//   marks the rows as the results come back; the handlers that change a target tell it so,
//   and its status shows in runStatusLabel, a CStatusLabel that screen readers follow. Stop
//   is enabled only while a run lasts.
//   Closing the window aborts every run.
// - From Submit All or Submit Failed Again until nothing of the runs is in flight any more,
//   the window holds the lock (m_listLock, a CListLock) of the list it last loaded or saved
//   (m_listPath), as the command line holds it while it posts that list. While another run
//   holds it, the submit commands say which run that is, in the status line and a message
//   box, and start nothing.

#include "app/SubmitRuns.h"
#include "app/TargetListModel.h"
#include "core/FormPoster.h"
#include "data/DataFile.h"
#include "data/DataLocation.h"

#include <QDialog>
#include <QIcon>
#include <QList>
#include <QStandardItemModel>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

class CBannerLink;
class CListLock;
class CTextLink;
class CBrowserLauncher;
class QAbstractItemView;
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
    // Fields.
    void ReadFields();
    void WriteFields();

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
    // Edit and Delete: change runs on the selected target's record and the selected
    // parameter row (as shown there), when there are both.
    void ChangeSelectedParam(
        const std::function<void(CSubmitHost& record, int row, const CPostParam& shown)>& change);

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
    bool LoadTargets();
    bool SaveTargets();
    void WarnAboutDataFile(const QString& text);
    void OnOpenDataFolder();

    // Banner and About.
    void OnDownloadNow();
    void OnAbout();

    // The constructor's steps.
    void SetUpMenus();
    void SetUpFields();
    void SetUpLists();
    void ConnectCommands();
    void AppendParamRow(const std::string& name, const std::string& value);
    // The name and value a parameter row shows.
    CPostParam ParamRow(int row) const;
    int SelectedTargetRow() const;
    int SelectedParamRow() const;

    static int FirstSelectedRow(const QAbstractItemView* view);

    std::unique_ptr<Ui::QuillpostDlg> m_ui;
    CDataLocation m_dataLocation;
    // What the data file was when it was last loaded or saved.
    CDataFile m_dataFile;
    // Also the target list's context menu.
    QMenu* m_fileMenu = nullptr;

    QList<QIcon> m_imageList;
    CBannerLink* m_banner = nullptr;
    CTextLink* m_promoLink = nullptr;
    CTextLink* m_productLink = nullptr;
    CTargetListModel m_targetList;
    QStandardItemModel m_paramList;
    std::string m_paramValue;
    std::string m_paramName;
    std::string m_url;
    // The value behind the body kind chooser: none for a form.
    std::optional<std::string> m_bodyKind;
    QPushButton* m_starterButton = nullptr;
    QIcon m_hIcon;

    // The file the rows were last loaded from or saved to: the list the runs post.
    std::string m_listPath;
    std::string m_lockFolder;
    std::unique_ptr<CListLock> m_listLock;

    std::unique_ptr<CBrowserLauncher> m_ownLauncher;
    CFormPoster m_poster;
    CSubmitRuns m_runs;
};
