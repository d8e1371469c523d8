#include "app/QuillpostDlg.h"

#include "app/DataFileCommands.h"
#include "app/HistoryDlg.h"
#include "app/IndexNowKeyDlg.h"
#include "app/ListContextMenu.h"
#include "app/MainMenuBar.h"
#include "app/PreviewDlg.h"
#include "app/SetUpSiteDlg.h"
#include "app/StarterButton.h"
#include "app/TargetColumnFit.h"
#include "app/TargetFields.h"
#include "core/indexnow/IndexNow.h"
#include "core/post/PostRequest.h"
#include "runs/DesktopNotifier.h"
#include "runs/ResultText.h"
#include "runs/ResultsFile.h"
#include "runs/StarterServices.h"
#include "ui/AboutDlg.h"
#include "ui/FileDialog.h"
#include "ui/HelperLauncher.h"
#include "ui/LinkAddresses.h"
#include "ui/MessageBox.h"
#include "ui/ReportView.h"
#include "ui/Resources.h"
#include "ui/UrlOpener.h"

#include "ui_QuillpostDlg.h"

#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QUrl>

#include <algorithm>
#include <limits>
#include <tuple>
#include <utility>

CQuillpostDlg::CQuillpostDlg(
    CDataLocation dataLocation, QWidget* parent, CBrowserLauncher* launcher)
    : QDialog(parent, MainWindowFlags)
    , m_ui(std::make_unique<Ui::QuillpostDlg>())
    , m_store(std::move(dataLocation))
    , m_imageList(StatusImages())
    , m_targetList(m_imageList)
    , m_paramList(m_imageList.value(ImageParam))
    , m_params(m_paramList)
    , m_hIcon(ProgramIcon())
    , m_ownLauncher(launcher ? nullptr : std::make_unique<CHelperLauncher>())
    , m_poster(launcher ? launcher : m_ownLauncher.get())
    , m_runs(m_targetList, m_poster.Settings())
    , m_browserSubmit(m_poster.Launcher(), m_poster.Settings())
    , m_loader(m_store, m_targetList, this)
{
    m_ui->setupUi(this);
    m_banner = m_ui->bannerLabel;
    m_promoLink = m_ui->promoLinkLabel;
    m_productLink = m_ui->productLinkLabel;
    setWindowIcon(m_hIcon);
    m_fields = std::make_unique<CTargetFields>(m_ui->urlEdit, m_ui->bodyKindCombo,
        m_ui->changesEdit, m_ui->checkPagesCheckBox, m_ui->paramNameEdit, m_ui->paramValueEdit);
    SetUpControls();
    ConnectCommands();
    m_ui->urlEdit->setFocus();
    OnLoadData();
}

void CQuillpostDlg::SetUpControls()
{
    auto* menuBar = new CMainMenuBar(*m_ui, this);
    layout()->setMenuBar(menuBar);
    new CListContextMenu(m_ui->targetList, menuBar->FileMenu());
    connect(menuBar->OpenDataFolderAction(), &QAction::triggered, this,
        &CQuillpostDlg::OnOpenDataFolder);
    m_targetList.setObjectName(QStringLiteral("targetListModel"));
    m_paramList.setObjectName(QStringLiteral("paramListModel"));
    m_loader.setObjectName(QStringLiteral("targetLoader"));
    m_ui->targetList->setModel(&m_targetList);
    // Fitted to the rows once a load is in, and to rows added after it: never on a result, nor
    // slice by slice while a long list comes in.
    auto* columns = new CTargetColumnFit(m_ui->targetList);
    connect(this, &CQuillpostDlg::LoadFinished, columns, &CColumnFit::Fit);
    connect(&m_targetList, &QAbstractItemModel::rowsInserted, columns, [this, columns] {
        if (!IsLoading())
            columns->Fit();
    });
    m_ui->paramList->setModel(&m_paramList);
    m_ui->paramList->SetColumnWidths({300, 300});

    // Before the data file's commands: the button is in place when a refused file is reported.
    m_starterButton = new CStarterButton(m_ui->targetList, m_targetList, m_loader);
    connect(m_starterButton, &QPushButton::clicked, this, &CQuillpostDlg::OnAddStarterServices);
    m_dataFile = std::make_unique<CDataFileCommands>(m_store, m_loader, m_targetList, this);
    connect(m_dataFile.get(), &CDataFileCommands::Loaded, this, &CQuillpostDlg::LoadFinished);
    m_paramList.FollowTargets(m_targetList);
}

void CQuillpostDlg::OnAddStarterServices()
{
    m_loader.Finish();
    m_runs.AppendRowsOutsideRuns(StarterServices());
}

void CQuillpostDlg::ConnectCommands()
{
    using Handler = void (CQuillpostDlg::*)();
    const std::pair<QPushButton*, Handler> buttons[] = {
        {m_ui->addUrlButton, &CQuillpostDlg::OnAddUrl},
        {m_ui->editUrlButton, &CQuillpostDlg::OnEditUrl},
        {m_ui->deleteUrlButton, &CQuillpostDlg::OnDeleteUrl},
        {m_ui->addParamButton, &CQuillpostDlg::OnAddParam},
        {m_ui->deleteAllParamsButton, &CQuillpostDlg::OnDeleteAllParams},
        {m_ui->downloadNowButton, &CQuillpostDlg::OnDownloadNow},
    };
    for (const auto& [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, handler);
    connect(
        m_ui->editParamButton, &QPushButton::clicked, this, [this] { ChangeSelectedParam(false); });
    connect(m_ui->deleteParamButton, &QPushButton::clicked, this,
        [this] { ChangeSelectedParam(true); });
    // The submit commands are buttons and items of the Run menu alike.
    const std::tuple<QPushButton*, QAction*, Handler> runCommands[] = {
        {m_ui->submitButton, m_ui->submitAction, &CQuillpostDlg::OnSubmit},
        {m_ui->submitAllButton, m_ui->submitAllAction, &CQuillpostDlg::OnSubmitAll},
        {m_ui->submitFailedAgainButton, m_ui->submitFailedAgainAction,
            &CQuillpostDlg::OnSubmitFailedAgain},
        {m_ui->stopButton, m_ui->stopAction, &CQuillpostDlg::OnStop},
    };
    for (const auto& [button, action, handler] : runCommands) {
        connect(button, &QPushButton::clicked, this, handler);
        connect(action, &QAction::triggered, this, handler);
    }
    const std::pair<QAction*, Handler> actions[] = {
        {m_ui->loadDataAction, &CQuillpostDlg::OnLoadData},
        {m_ui->saveDataAction, &CQuillpostDlg::OnSaveData},
        {m_ui->saveResultsAction, &CQuillpostDlg::OnSaveResults},
        {m_ui->previewAction, &CQuillpostDlg::OnPreview},
        {m_ui->historyAction, &CQuillpostDlg::OnHistory},
        {m_ui->setUpSiteAction, &CQuillpostDlg::OnSetUpSite},
        {m_ui->indexNowKeyAction, &CQuillpostDlg::OnIndexNowKey},
        {m_ui->aboutAction, &CQuillpostDlg::OnAbout},
    };
    for (const auto& [action, handler] : actions)
        connect(action, &QAction::triggered, this, handler);
    connect(m_ui->targetList, &QTableView::clicked, this, &CQuillpostDlg::ShowSelectedTarget);
    connect(m_ui->paramList, &QTableView::clicked, this, &CQuillpostDlg::OnParamListClick);
    // A browser window that cannot come up is known only after Submit has returned.
    if (auto* helper = dynamic_cast<CHelperLauncher*>(m_poster.Launcher()))
        connect(helper, &CHelperLauncher::Failed, this, &CQuillpostDlg::OnBrowserFailed);
    connect(&m_runs, &CSubmitRuns::StatusChanged, this, &CQuillpostDlg::ShowRunStatus);
    connect(&m_runs, &CSubmitRuns::StatusChanged, this, &CQuillpostDlg::ShowRunProgress);
    // A target that keeps failing, or works again, is told to the desktop from the worker's
    // thread, which waits for the desktop within the notifier's budget.
    connect(&m_runs, &CSubmitRuns::AlertsDue, this, &CDesktopNotifier::Tell, Qt::DirectConnection);
    connect(&m_browserSubmit, &CBrowserSubmit::Failed, this, &CQuillpostDlg::OnBrowserFailed);
    // IndexNow Key... follows the selection and what the selected row holds.
    connect(m_ui->targetList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &CQuillpostDlg::ShowKeyCommand);
    connect(&m_targetList, &QAbstractItemModel::dataChanged, this, &CQuillpostDlg::ShowKeyCommand);
    connect(&m_targetList, &QAbstractItemModel::modelReset, this, &CQuillpostDlg::ShowKeyCommand);
}

CQuillpostDlg::~CQuillpostDlg()
{
    // The views go with the dialog's children, after the models; detach them first.
    m_ui->targetList->setModel(nullptr);
    m_ui->paramList->setModel(nullptr);
}

std::shared_ptr<CSubmitHost> CQuillpostDlg::SelectedTarget() const
{
    return m_targetList.Record(m_ui->targetList->FirstSelectedRow());
}

void CQuillpostDlg::OnAddUrl()
{
    // After the loaded rows, as it would come after them in the file.
    m_loader.Finish();
    const int row = m_targetList.RowCount();
    m_targetList.AppendRow(m_fields->Target());
    m_ui->targetList->SelectRow(row);
    ShowSelectedTarget();
}

void CQuillpostDlg::OnEditUrl()
{
    const int row = m_ui->targetList->FirstSelectedRow();
    if (!m_targetList.Record(row))
        return;
    m_fields->WriteTo(m_targetList, row);
    m_runs.TargetChanged(row);
}

void CQuillpostDlg::OnDeleteUrl()
{
    const int row = m_ui->targetList->FirstSelectedRow();
    if (row < 0)
        return;
    m_targetList.RemoveRow(row);
    m_ui->targetList->selectionModel()->clearSelection();
}

void CQuillpostDlg::ShowSelectedTarget()
{
    const std::shared_ptr<CSubmitHost> record = SelectedTarget();
    if (!record)
        return;
    m_fields->ShowTarget(*record);
    m_paramList.SetRecord(record);
}

// The parameter commands change the selected target's record.
void CQuillpostDlg::OnAddParam()
{
    const std::shared_ptr<CSubmitHost> record = SelectedTarget();
    if (!record)
        return;
    m_params.Add(record, m_fields->Param());
    m_runs.TargetChanged(m_ui->targetList->FirstSelectedRow());
}

void CQuillpostDlg::ChangeSelectedParam(bool remove)
{
    const std::shared_ptr<CSubmitHost> record = SelectedTarget();
    const int row = m_ui->paramList->FirstSelectedRow();
    if (!record || row < 0)
        return;
    const CPostParam shown = m_paramList.Param(row);
    if (remove) {
        m_params.Delete(record, shown);
        m_ui->paramList->selectionModel()->clearSelection();
    } else {
        m_params.Edit(record, shown, m_fields->Param());
    }
    m_runs.TargetChanged(m_ui->targetList->FirstSelectedRow());
}

void CQuillpostDlg::OnDeleteAllParams()
{
    const std::shared_ptr<CSubmitHost> record = SelectedTarget();
    if (!record)
        return;
    m_params.DeleteAll(record);
    m_runs.TargetChanged(m_ui->targetList->FirstSelectedRow());
}

void CQuillpostDlg::OnParamListClick()
{
    if (const int row = m_ui->paramList->FirstSelectedRow(); row >= 0)
        m_fields->ShowParam(m_paramList.Param(row));
}

void CQuillpostDlg::done(int result)
{
    m_runs.Abort();
    m_loader.Cancel();
    m_listLock.Release();
    QDialog::done(result);
}

void CQuillpostDlg::OnSubmit()
{
    const std::shared_ptr<CSubmitHost> record = SelectedTarget();
    if (!record)
        return;
    // What cannot be posted opens nothing, saying why; a target with changes posts a run's.
    CPostRequest request;
    if (CText refusal; !PrepareRequest(*record, request, refusal))
        OnBrowserFailed(CResultText::Translated(refusal));
    else if (record->m_strChanges || request.m_bIndexNow)
        m_browserSubmit.Submit(*record);
    else
        m_poster.SubmitInBrowser(*record);
}

void CQuillpostDlg::OnBrowserFailed(const QString& reason)
{
    CMessageBox::Warning(this, tr("The browser window cannot be opened: %1").arg(reason));
}

void CQuillpostDlg::OnSubmitAll()
{
    if (HoldList())
        m_runs.SubmitAll();
    // A run over no rows, or one that could not start, says nothing more.
    ReleaseListWhenDone();
}

void CQuillpostDlg::OnSubmitFailedAgain()
{
    if (HoldList())
        m_runs.SubmitFailedAgain();
    ReleaseListWhenDone();
}

bool CQuillpostDlg::HoldList()
{
    // The runs post the whole list, never half of it.
    m_loader.Finish();
    const QString refusal = m_listLock.Hold(m_store.ListPath());
    if (refusal.isEmpty())
        return true;
    m_ui->runStatusLabel->setText(refusal);
    CMessageBox::Warning(this, refusal);
    return false;
}

void CQuillpostDlg::ReleaseListWhenDone()
{
    if (!m_runs.IsPosting())
        m_listLock.Release();
}

void CQuillpostDlg::OnStop()
{
    m_runs.Stop();
}

void CQuillpostDlg::OnSaveResults()
{
    const QString path = CFileDialog::SaveFileName(this, tr("Save Results"),
        QDir(QDir::homePath()).filePath(QStringLiteral("quillpost-results.csv")),
        tr("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    const QString refusal = CResultsFile::Write(m_targetList, path);
    if (!refusal.isEmpty())
        CMessageBox::Warning(this, refusal);
}

void CQuillpostDlg::ShowRunStatus()
{
    ReleaseListWhenDone();
    m_ui->runStatusLabel->setText(m_runs.StatusText());
    m_ui->stopButton->setEnabled(m_runs.IsRunning());
    m_ui->stopAction->setEnabled(m_runs.IsRunning());
    m_ui->saveResultsAction->setEnabled(m_targetList.HasResults());
}

void CQuillpostDlg::ShowRunProgress()
{
    QProgressBar* bar = m_ui->runProgressBar;
    bar->setVisible(m_runs.IsRunning());
    if (!m_runs.IsRunning())
        return;
    const CSubmitRuns::CProgress progress = m_runs.Progress();
    if (progress.m_bGrowing) {
        // No end to show while the total may still grow.
        bar->setRange(0, 0);
        return;
    }
    const auto bounded = [](std::size_t count) {
        return int(std::min<std::size_t>(count, std::numeric_limits<int>::max()));
    };
    bar->setRange(0, bounded(progress.m_known));
    bar->setValue(bounded(progress.m_done));
}

void CQuillpostDlg::OnLoadData()
{
    m_dataFile->Load();
    m_starterButton->Update();
}

void CQuillpostDlg::OnSaveData()
{
    m_dataFile->Save();
}

void CQuillpostDlg::OnDownloadNow()
{
    CUrlOpener::Open(QString::fromLatin1(LinkAddresses::kDownload));
}

void CQuillpostDlg::OnOpenDataFolder()
{
    // A file manager cannot show a folder that is not there yet; asking for it makes it.
    std::string reason;
    if (!m_store.Location().MakeFolder(reason)) {
        CMessageBox::Warning(
            this, tr("The data folder cannot be shown: %1.").arg(QString::fromStdString(reason)));
        return;
    }
    CUrlOpener::Open(QUrl::fromLocalFile(m_store.Location().Folder()).toString(QUrl::FullyEncoded));
}

void CQuillpostDlg::OnAbout()
{
    CAboutDlg(this).exec();
}

void CQuillpostDlg::OnPreview()
{
    CPreviewDlg::Open(m_targetList.Records(), m_poster.Settings(), this);
}

void CQuillpostDlg::OnHistory()
{
    const std::shared_ptr<CSubmitHost> record = SelectedTarget();
    // One History window at a time, listing for the row selected when it was opened.
    if (m_history)
        m_history->close();
    m_history = new CHistoryDlg(
        record ? std::optional(CHistoryDlg::TargetOf(*record)) : std::nullopt, this);
    m_history->setAttribute(Qt::WA_DeleteOnClose);
    m_history->show();
}

void CQuillpostDlg::OnIndexNowKey()
{
    const int row = m_ui->targetList->FirstSelectedRow();
    const std::shared_ptr<CSubmitHost> record = m_targetList.Record(row);
    if (!record || !IsIndexNowTarget(*record))
        return;
    const auto change = [this, record, id = m_targetList.Id(row)](
                            const std::optional<CPostParam>& oldParam, const CPostParam& newParam) {
        m_params.Change(record, oldParam, newParam);
        m_runs.TargetChanged(m_targetList.RowOfId(id));
    };
    auto* dlg = new CIndexNowKeyDlg(record, m_poster.Settings(), change, this);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->open();
}

void CQuillpostDlg::OnSetUpSite()
{
    const auto list = [this] {
        m_loader.Finish();
        return m_targetList.Records();
    };
    const auto add = [this](const std::vector<CSiteTarget>& chosen) {
        // The IndexNow target is selected, for its key file to be saved and uploaded next.
        int selected = m_targetList.RowCount();
        bool indexNow = false;
        std::vector<std::shared_ptr<CSubmitHost>> records;
        for (const CSiteTarget& made : chosen) {
            if (made.m_kind == CSiteTarget::Kind::IndexNow && !indexNow) {
                selected += static_cast<int>(records.size());
                indexNow = true;
            }
            records.push_back(made.m_target);
        }
        m_runs.AppendRowsOutsideRuns(std::move(records));
        m_ui->targetList->SelectRow(selected);
        ShowSelectedTarget();
        if (indexNow)
            OnIndexNowKey();
    };
    auto* dlg = new CSetUpSiteDlg(CDiscoverySettings(), list, add, this);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->open();
}

void CQuillpostDlg::ShowKeyCommand()
{
    const std::shared_ptr<CSubmitHost> record = SelectedTarget();
    m_ui->indexNowKeyAction->setEnabled(record && IsIndexNowTarget(*record));
}
