#include "app/QuillpostDlg.h"

#include "app/FieldValidator.h"
#include "app/HistoryDlg.h"
#include "app/IndexNowKeyDlg.h"
#include "app/StarterServices.h"
#include "core/IndexNow.h"
#include "core/ListLock.h"
#include "core/PostRequest.h"
#include "core/ResultRecord.h"
#include "data/FileAccess.h"
#include "runs/ListHolderText.h"
#include "runs/ResultText.h"
#include "ui/AboutDlg.h"
#include "ui/BannerLink.h"
#include "ui/FileDialog.h"
#include "ui/HelperLauncher.h"
#include "ui/LinkAddresses.h"
#include "ui/MessageBox.h"
#include "ui/ReportView.h"
#include "ui/Resources.h"
#include "ui/TextLink.h"
#include "ui/UrlOpener.h"

#include "ui_QuillpostDlg.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringList>
#include <QTableView>
#include <QUrl>

#include <limits>
#include <tuple>
#include <utility>

namespace {

// The program's main window: a top-level window of its own (window managers leave transient
// dialogs off the task bar and without a minimise box), with a title, system menu,
// minimise, maximise and close box, and a frame the user can resize: the lists take the room.
constexpr Qt::WindowFlags WindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
    | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;

QString ToQString(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

CQuillpostDlg::CQuillpostDlg(
    CDataLocation dataLocation, QWidget* parent, CBrowserLauncher* launcher)
    : QDialog(parent, WindowFlags)
    , m_ui(std::make_unique<Ui::QuillpostDlg>())
    , m_store(std::move(dataLocation))
    , m_imageList(StatusImages())
    , m_targetList(m_imageList)
    , m_paramList(m_imageList.value(ImageParam))
    , m_hIcon(ProgramIcon())
    , m_lockFolder(CListLock::UserFolder())
    , m_ownLauncher(launcher ? nullptr : std::make_unique<CHelperLauncher>())
    , m_poster(launcher ? launcher : m_ownLauncher.get())
    , m_runs(m_targetList, m_poster.Settings())
    , m_loader(m_store, m_targetList, this)
{
    m_ui->setupUi(this);
    m_banner = m_ui->bannerLabel;
    m_promoLink = m_ui->promoLinkLabel;
    m_productLink = m_ui->productLinkLabel;
    setWindowIcon(m_hIcon);
    SetUpMenus();
    SetUpFields();
    SetUpLists();
    ConnectCommands();
    m_ui->urlEdit->setFocus();
    LoadTargets();
}

// The fields take any text; the line edit's default limit would cut long values loaded from
// the data file the first time they pass through a field.
void CQuillpostDlg::SetUpFields()
{
    for (QLineEdit* edit :
        {m_ui->urlEdit, m_ui->changesEdit, m_ui->paramNameEdit, m_ui->paramValueEdit}) {
        edit->setMaxLength(std::numeric_limits<int>::max());
        edit->setValidator(new CFieldValidator(edit));
    }
    // A ping service's root, and a placeholder site standing for the user's own.
    SetField(m_ui->urlEdit, "http://ping.example/");
    SetField(m_ui->paramNameEdit, "furl");
    SetField(m_ui->paramValueEdit, "http://www.mysite.example/");
}

void CQuillpostDlg::SetUpLists()
{
    m_targetList.setObjectName(QStringLiteral("targetListModel"));
    m_paramList.setObjectName(QStringLiteral("paramListModel"));
    m_loader.setObjectName(QStringLiteral("targetLoader"));
    m_ui->targetList->setModel(&m_targetList);
    // The addresses leave room for the results, the kinds and the sitemaps or feeds, so all
    // show without scrolling sideways.
    m_ui->targetList->SetColumnWidths({370, 190, 70});
    m_ui->paramList->setModel(&m_paramList);
    m_ui->paramList->SetColumnWidths({300, 300});

    // The list's own context menu event comes on press on some platforms and on release on
    // others; the File menu opens on the release only, after the press moved the selection.
    m_ui->targetList->setContextMenuPolicy(Qt::PreventContextMenu);
    m_ui->targetList->viewport()->installEventFilter(this);

    // Over the empty target list: a start for a user without a list of services yet.
    m_starterButton = new QPushButton(tr("Add &well-known services"), m_ui->targetList->viewport());
    m_starterButton->setObjectName(QStringLiteral("addStarterServicesButton"));
    m_starterButton->setAccessibleDescription(
        tr("Adds a WebSub hub, XML-RPC ping services and IndexNow, for your own site's address "
           "and key to be put in"));
    QWidget::setTabOrder(m_ui->targetList, m_starterButton);
    connect(m_starterButton, &QPushButton::clicked, this, &CQuillpostDlg::OnAddStarterServices);
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(&m_targetList, signal, this, &CQuillpostDlg::ShowStarterButton);
    connect(&m_loader, &CTargetLoader::Finished, this, &CQuillpostDlg::OnLoadFinished);
    connect(
        &m_targetList, &QAbstractItemModel::modelReset, this, &CQuillpostDlg::ShowStarterButton);
    // A target gone from the list is gone from memory; its parameters stay shown until
    // another target is.
    connect(&m_targetList, &QAbstractItemModel::rowsAboutToBeRemoved, this,
        [this](const QModelIndex&, int first, int last) {
            for (int row = first; row <= last; ++row) {
                if (m_targetList.Record(row) == m_paramList.Record())
                    m_paramList.ReleaseRecord();
            }
        });
    connect(&m_targetList, &QAbstractItemModel::modelAboutToBeReset, &m_paramList,
        &CParamListModel::ReleaseRecord);
}

void CQuillpostDlg::ShowStarterButton()
{
    m_starterButton->adjustSize();
    const QRect viewport = m_ui->targetList->viewport()->rect();
    m_starterButton->move(viewport.center() - m_starterButton->rect().center());
    // Not over a list that is still loading.
    m_starterButton->setVisible(m_targetList.RowCount() == 0 && !m_loader.IsLoading());
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
        {m_ui->editParamButton, &CQuillpostDlg::OnEditParam},
        {m_ui->deleteParamButton, &CQuillpostDlg::OnDeleteParam},
        {m_ui->deleteAllParamsButton, &CQuillpostDlg::OnDeleteAllParams},
        {m_ui->downloadNowButton, &CQuillpostDlg::OnDownloadNow},
    };
    for (const auto& [button, handler] : buttons)
        connect(button, &QPushButton::clicked, this, handler);
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
    connect(m_ui->loadDataAction, &QAction::triggered, this, &CQuillpostDlg::OnLoadData);
    connect(m_ui->saveDataAction, &QAction::triggered, this, &CQuillpostDlg::OnSaveData);
    connect(m_ui->saveResultsAction, &QAction::triggered, this, &CQuillpostDlg::OnSaveResults);
    connect(m_ui->aboutAction, &QAction::triggered, this, &CQuillpostDlg::OnAbout);
    connect(m_ui->targetList, &QTableView::clicked, this, &CQuillpostDlg::OnTargetListClick);
    connect(m_ui->paramList, &QTableView::clicked, this, &CQuillpostDlg::OnParamListClick);
    connect(m_ui->targetList, &CReportView::ContextMenuKeyPressed, this,
        &CQuillpostDlg::OnTargetListRightClick);
    // A browser window that cannot come up is known only after Submit has returned.
    if (auto* helper = dynamic_cast<CHelperLauncher*>(m_poster.Launcher()))
        connect(helper, &CHelperLauncher::Failed, this, &CQuillpostDlg::OnBrowserFailed);
    connect(&m_runs, &CSubmitRuns::StatusChanged, this, &CQuillpostDlg::ShowRunStatus);
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

void CQuillpostDlg::SetUpMenus()
{
    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    m_fileMenu = menuBar->addMenu(tr("&File"));
    m_fileMenu->setObjectName(QStringLiteral("fileMenu"));
    m_fileMenu->addAction(m_ui->loadDataAction);
    m_fileMenu->addAction(m_ui->saveDataAction);
    //: Menu of the commands that post the targets
    QMenu* runMenu = menuBar->addMenu(tr("&Run"));
    runMenu->setObjectName(QStringLiteral("runMenu"));
    runMenu->addActions({m_ui->submitAction, m_ui->submitAllAction, m_ui->submitFailedAgainAction,
        m_ui->stopAction, m_ui->saveResultsAction});
    runMenu->addSeparator();
    runMenu->addActions({m_ui->historyAction, m_ui->indexNowKeyAction});
    connect(m_ui->historyAction, &QAction::triggered, this, &CQuillpostDlg::OnHistory);
    connect(m_ui->indexNowKeyAction, &QAction::triggered, this, &CQuillpostDlg::OnIndexNowKey);
    QMenu* helpMenu = menuBar->addMenu(tr("&Help"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    //: Shows the folder that holds the data file in the file manager
    QAction* openDataFolder = helpMenu->addAction(tr("&Open Data Folder"));
    openDataFolder->setObjectName(QStringLiteral("openDataFolderAction"));
    connect(openDataFolder, &QAction::triggered, this, &CQuillpostDlg::OnOpenDataFolder);
    helpMenu->addAction(m_ui->aboutAction);
    layout()->setMenuBar(menuBar);
}

bool CQuillpostDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->targetList->viewport() && event->type() == QEvent::Resize)
        ShowStarterButton();
    if (watched == m_ui->targetList->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton)
            OnTargetListRightClick(mouse->globalPosition().toPoint());
    }
    return QDialog::eventFilter(watched, event);
}

void CQuillpostDlg::SetField(QLineEdit* edit, const std::string& text)
{
    const QValidator* validator = edit->validator();
    edit->setValidator(nullptr);
    edit->setText(ToQString(text));
    edit->setValidator(validator);
    // Show the start of a long text, not its end.
    edit->setCursorPosition(0);
}

std::string CQuillpostDlg::FieldText(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

std::optional<std::string> CQuillpostDlg::ChangesField() const
{
    std::string changes = FieldText(m_ui->changesEdit);
    if (changes.empty())
        return std::nullopt;
    return changes;
}

CPostParam CQuillpostDlg::ParamFields() const
{
    return CPostParam(FieldText(m_ui->paramNameEdit), FieldText(m_ui->paramValueEdit));
}

int CQuillpostDlg::SelectedTargetRow() const
{
    return m_ui->targetList->FirstSelectedRow();
}

int CQuillpostDlg::SelectedParamRow() const
{
    return m_ui->paramList->FirstSelectedRow();
}

std::shared_ptr<CSubmitHost> CQuillpostDlg::SelectedTarget() const
{
    return m_targetList.Record(SelectedTargetRow());
}

void CQuillpostDlg::OnAddUrl()
{
    // After the loaded rows, as it would come after them in the file.
    m_loader.Finish();
    auto record = std::make_shared<CSubmitHost>();
    record->m_strUrl = FieldText(m_ui->urlEdit);
    record->m_strBodyKind = m_ui->bodyKindCombo->Kind();
    record->m_strChanges = ChangesField();
    const int row = m_targetList.RowCount();
    m_targetList.AppendRow(std::move(record));
    // Selects without moving the keyboard's current row: arrow keys go on from where the
    // user left them.
    m_ui->targetList->selectionModel()->select(m_targetList.index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ShowSelectedTarget();
}

void CQuillpostDlg::OnEditUrl()
{
    const int row = SelectedTargetRow();
    if (!m_targetList.Record(row))
        return;
    m_targetList.SetText(row, FieldText(m_ui->urlEdit));
    m_targetList.SetBodyKind(row, m_ui->bodyKindCombo->Kind());
    m_targetList.SetChanges(row, ChangesField());
    m_runs.TargetChanged(row);
}

void CQuillpostDlg::OnDeleteUrl()
{
    const int row = SelectedTargetRow();
    if (row < 0)
        return;
    m_targetList.RemoveRow(row);
    m_ui->targetList->selectionModel()->clearSelection();
}

void CQuillpostDlg::OnTargetListClick()
{
    ShowSelectedTarget();
}

void CQuillpostDlg::OnTargetListRightClick(const QPoint& globalPos)
{
    m_fileMenu->popup(globalPos);
}

void CQuillpostDlg::ShowSelectedTarget()
{
    const std::shared_ptr<CSubmitHost> record = SelectedTarget();
    if (!record)
        return;
    SetField(m_ui->urlEdit, record->m_strUrl);
    m_ui->bodyKindCombo->SetKind(record->m_strBodyKind);
    SetField(m_ui->changesEdit, record->m_strChanges.value_or(std::string()));
    m_paramList.SetRecord(record);
}

void CQuillpostDlg::ClearTargets()
{
    m_targetList.Clear();
}

// The parameter commands change the selected target's record. The list shows the target last
// shown, which is the same one unless the arrow keys moved the selection since; its rows
// follow the record they show.
void CQuillpostDlg::OnAddParam()
{
    const std::shared_ptr<CSubmitHost> record = SelectedTarget();
    if (!record)
        return;
    if (record == m_paramList.Record())
        m_paramList.AddParam(ParamFields());
    else
        record->AddParam(ParamFields());
    m_runs.TargetChanged(SelectedTargetRow());
}

void CQuillpostDlg::OnEditParam()
{
    const std::shared_ptr<CSubmitHost> record = SelectedTarget();
    const int row = SelectedParamRow();
    if (!record || row < 0)
        return;
    const CPostParam shown = m_paramList.Param(row);
    if (record == m_paramList.Record())
        m_paramList.EditParam(shown, ParamFields());
    else
        record->EditParam(shown, ParamFields());
    m_runs.TargetChanged(SelectedTargetRow());
}

void CQuillpostDlg::OnDeleteParam()
{
    const std::shared_ptr<CSubmitHost> record = SelectedTarget();
    const int row = SelectedParamRow();
    if (!record || row < 0)
        return;
    const CPostParam shown = m_paramList.Param(row);
    if (record == m_paramList.Record())
        m_paramList.DeleteParam(shown);
    else
        record->DeleteParam(shown);
    m_ui->paramList->selectionModel()->clearSelection();
    m_runs.TargetChanged(SelectedTargetRow());
}

void CQuillpostDlg::OnDeleteAllParams()
{
    const std::shared_ptr<CSubmitHost> record = SelectedTarget();
    if (!record)
        return;
    if (record == m_paramList.Record())
        m_paramList.DeleteAllParams();
    else
        record->DeleteAllParams();
    m_runs.TargetChanged(SelectedTargetRow());
}

void CQuillpostDlg::OnParamListClick()
{
    const int row = SelectedParamRow();
    if (row < 0)
        return;
    const CPostParam shown = m_paramList.Param(row);
    SetField(m_ui->paramNameEdit, shown.m_strName);
    SetField(m_ui->paramValueEdit, shown.m_strValue);
}

void CQuillpostDlg::done(int result)
{
    m_runs.Abort();
    m_loader.Cancel();
    m_listLock.reset();
    QDialog::done(result);
}

void CQuillpostDlg::OnSubmit()
{
    const std::shared_ptr<CSubmitHost> record = SelectedTarget();
    if (!record)
        return;
    // A target that cannot be posted opens nothing; the window says why, as it would for a
    // browser window that cannot come up.
    CPostRequest request;
    CText refusal;
    if (!PrepareRequest(*record, request, refusal)) {
        OnBrowserFailed(CResultText::Translated(refusal));
        return;
    }
    m_poster.SubmitInBrowser(*record);
}

void CQuillpostDlg::OnBrowserFailed(const QString& reason)
{
    CMessageBox::Warning(this, tr("The browser window cannot be opened: %1").arg(reason));
}

void CQuillpostDlg::OnSubmitAll()
{
    m_loader.Finish();
    if (!HoldList())
        return;
    m_runs.SubmitAll();
    // A run over no rows, or one that could not start, says nothing more.
    ReleaseListWhenDone();
}

void CQuillpostDlg::OnSubmitFailedAgain()
{
    m_loader.Finish();
    if (!HoldList())
        return;
    m_runs.SubmitFailedAgain();
    ReleaseListWhenDone();
}

bool CQuillpostDlg::HoldList()
{
    // The window's own runs share the lock it holds.
    if (m_listLock)
        return true;
    auto lock = std::make_unique<CListLock>(m_lockFolder, m_store.ListPath());
    std::string reason;
    switch (lock->TryTake(CListLock::Window, reason)) {
    case CListLock::Outcome::Taken:
        m_listLock = std::move(lock);
        return true;
    case CListLock::Outcome::Failed:
        // No lock can be had (no folder for it is known): the runs go on as they did before
        // there were locks, rather than never.
        return true;
    case CListLock::Outcome::Busy:
        break;
    }
    //: %1 names the run, as "the command line (process 4242, since 2026-12-08 14:45:07)"
    const QString text = tr("This list is being posted by %1: try again once it has ended.")
                             .arg(CListHolderText::Of(*lock));
    m_ui->runStatusLabel->setText(text);
    CMessageBox::Warning(this, text);
    return false;
}

void CQuillpostDlg::ReleaseListWhenDone()
{
    if (!m_runs.IsPosting())
        m_listLock.reset();
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
    // The command line's records, so a saved file reads like its output.
    std::string bytes = CsvHeader();
    for (int row = 0; row < m_targetList.RowCount(); ++row) {
        const CPostResult* result = m_targetList.Result(row);
        if (result && result->IsFinal())
            bytes += CsvLine(RecordOf(*result));
    }
    // As the data file is saved: whole or not at all, and never into a FIFO or a device.
    std::string reason;
    if (FileAccess::WriteFileSafely(QFile::encodeName(path).toStdString(), bytes, reason))
        return;
    CMessageBox::Warning(this,
        tr("The results were not saved to %1: %2.")
            .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(reason.c_str())));
}

void CQuillpostDlg::ShowRunStatus()
{
    ReleaseListWhenDone();
    m_ui->runStatusLabel->setText(m_runs.StatusText());
    m_ui->stopButton->setEnabled(m_runs.IsRunning());
    m_ui->stopAction->setEnabled(m_runs.IsRunning());
    m_ui->saveResultsAction->setEnabled(m_targetList.HasResults());
}

void CQuillpostDlg::OnLoadData()
{
    ClearTargets();
    LoadTargets();
}

void CQuillpostDlg::OnSaveData()
{
    SaveTargets();
}

void CQuillpostDlg::LoadTargets()
{
    m_loader.Start();
    ShowStarterButton();
}

void CQuillpostDlg::OnLoadFinished(const QString& message)
{
    ShowStarterButton();
    if (!message.isEmpty())
        CMessageBox::Warning(this, message);
    Q_EMIT LoadFinished();
}

bool CQuillpostDlg::SaveTargets()
{
    // Never half a list; and the store is the loader's until it is done.
    m_loader.Finish();
    TargetRecords records;
    records.reserve(static_cast<std::size_t>(m_targetList.RowCount()));
    for (int row = 0; row < m_targetList.RowCount(); ++row)
        records.push_back(m_targetList.Record(row));
    const CTargetStore::CSaved saved = m_store.Save(records);
    if (!saved.m_message.isEmpty())
        CMessageBox::Warning(this, saved.m_message);
    return saved.m_bOk;
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
            this, tr("The data folder cannot be shown: %1.").arg(ToQString(reason)));
        return;
    }
    CUrlOpener::Open(QUrl::fromLocalFile(m_store.Location().Folder()).toString(QUrl::FullyEncoded));
}

void CQuillpostDlg::OnAbout()
{
    CAboutDlg about(this);
    about.exec();
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
    const int row = SelectedTargetRow();
    const std::shared_ptr<CSubmitHost> record = m_targetList.Record(row);
    if (!record || !IsIndexNowTarget(*record))
        return;
    const quint64 id = m_targetList.Id(row);
    // As the parameter buttons change the target.
    const auto change = [this, record, id](
                            const std::optional<CPostParam>& oldParam, const CPostParam& newParam) {
        const bool shown = record == m_paramList.Record();
        if (oldParam && shown)
            m_paramList.EditParam(*oldParam, newParam);
        else if (oldParam)
            record->EditParam(*oldParam, newParam);
        else if (shown)
            m_paramList.AddParam(newParam);
        else
            record->AddParam(newParam);
        m_runs.TargetChanged(m_targetList.RowOfId(id));
    };
    auto* dlg = new CIndexNowKeyDlg(record, m_poster.Settings(), change, this);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->open();
}

void CQuillpostDlg::ShowKeyCommand()
{
    const std::shared_ptr<CSubmitHost> record = SelectedTarget();
    m_ui->indexNowKeyAction->setEnabled(record && IsIndexNowTarget(*record));
}
