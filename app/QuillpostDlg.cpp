#include "app/QuillpostDlg.h"

#include "app/DataFileMessages.h"
#include "app/FieldValidator.h"
#include "app/ListHolderText.h"
#include "app/ResultRecords.h"
#include "app/ResultText.h"
#include "app/StarterServices.h"
#include "core/ListLock.h"
#include "core/PostRequest.h"
#include "data/FileAccess.h"
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
#include <QStandardItem>
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
    , m_dataLocation(std::move(dataLocation))
    , m_imageList(StatusImages())
    , m_targetList(m_imageList)
    , m_paramValue("http://www.mysite.example/")
    , m_paramName("furl")
    , m_url("http://ping.example/")
    , m_hIcon(ProgramIcon())
    , m_lockFolder(CListLock::UserFolder())
    , m_ownLauncher(launcher ? nullptr : std::make_unique<CHelperLauncher>())
    , m_poster(launcher ? launcher : m_ownLauncher.get())
    , m_runs(m_targetList, m_poster.Settings())
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
    // A browser window that cannot come up is known only after Submit has returned.
    if (auto* helper = dynamic_cast<CHelperLauncher*>(launcher ? launcher : m_ownLauncher.get()))
        connect(helper, &CHelperLauncher::Failed, this, &CQuillpostDlg::OnBrowserFailed);
    connect(&m_runs, &CSubmitRuns::StatusChanged, this, &CQuillpostDlg::ShowRunStatus);

    WriteFields();
    m_ui->urlEdit->setFocus();
    LoadTargets();
}

// The fields take any text; the line edit's default limit would cut long values loaded from
// the data file the first time they pass through a field.
void CQuillpostDlg::SetUpFields()
{
    for (QLineEdit* edit : {m_ui->urlEdit, m_ui->paramNameEdit, m_ui->paramValueEdit}) {
        edit->setMaxLength(std::numeric_limits<int>::max());
        edit->setValidator(new CFieldValidator(edit));
    }
}

void CQuillpostDlg::SetUpLists()
{
    m_targetList.setObjectName(QStringLiteral("targetListModel"));
    m_paramList.setObjectName(QStringLiteral("paramListModel"));
    m_paramList.setColumnCount(2);
    m_paramList.setHorizontalHeaderLabels({tr("Parameter Name"), tr("Parameter Value")});
    m_ui->targetList->setModel(&m_targetList);
    // The addresses leave room for the results, so both show without scrolling sideways.
    m_ui->targetList->SetColumnWidths({370, 270});
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
    connect(
        &m_targetList, &QAbstractItemModel::modelReset, this, &CQuillpostDlg::ShowStarterButton);
}

void CQuillpostDlg::ShowStarterButton()
{
    m_starterButton->adjustSize();
    const QRect viewport = m_ui->targetList->viewport()->rect();
    m_starterButton->move(viewport.center() - m_starterButton->rect().center());
    m_starterButton->setVisible(m_targetList.RowCount() == 0);
}

void CQuillpostDlg::OnAddStarterServices()
{
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

void CQuillpostDlg::ReadFields()
{
    m_url = m_ui->urlEdit->text().toStdString();
    m_bodyKind = m_ui->bodyKindCombo->Kind();
    m_paramName = m_ui->paramNameEdit->text().toStdString();
    m_paramValue = m_ui->paramValueEdit->text().toStdString();
}

void CQuillpostDlg::WriteFields()
{
    const std::pair<QLineEdit*, const std::string*> fields[] = {
        {m_ui->urlEdit, &m_url},
        {m_ui->paramNameEdit, &m_paramName},
        {m_ui->paramValueEdit, &m_paramValue},
    };
    for (const auto& [edit, value] : fields) {
        // The validator keeps out what the user brings in; a value that is already in the
        // list (a line break from the data file) is shown as it is, so an Edit keeps it.
        const QValidator* validator = edit->validator();
        edit->setValidator(nullptr);
        edit->setText(ToQString(*value));
        edit->setValidator(validator);
        // Show the start of a long text, not its end.
        edit->setCursorPosition(0);
    }
    m_ui->bodyKindCombo->SetKind(m_bodyKind);
}

int CQuillpostDlg::FirstSelectedRow(const QAbstractItemView* view)
{
    int first = -1;
    for (const QModelIndex& index : view->selectionModel()->selectedIndexes()) {
        if (first < 0 || index.row() < first)
            first = index.row();
    }
    return first;
}

int CQuillpostDlg::SelectedTargetRow() const
{
    return FirstSelectedRow(m_ui->targetList);
}

int CQuillpostDlg::SelectedParamRow() const
{
    return FirstSelectedRow(m_ui->paramList);
}

void CQuillpostDlg::AppendParamRow(const std::string& name, const std::string& value)
{
    auto* nameItem = new QStandardItem(m_imageList.value(ImageParam), ToQString(name));
    auto* valueItem = new QStandardItem(ToQString(value));
    for (QStandardItem* item : {nameItem, valueItem})
        item->setEditable(false);
    m_paramList.appendRow({nameItem, valueItem});
}

CPostParam CQuillpostDlg::ParamRow(int row) const
{
    return CPostParam(m_paramList.item(row, 0)->text().toStdString(),
        m_paramList.item(row, 1)->text().toStdString());
}

void CQuillpostDlg::OnAddUrl()
{
    ReadFields();
    auto record = std::make_shared<CSubmitHost>();
    record->m_strUrl = m_url;
    record->m_strBodyKind = m_bodyKind;
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
    ReadFields();
    const int row = SelectedTargetRow();
    if (row < 0)
        return;
    const std::shared_ptr<CSubmitHost> record = m_targetList.Record(row);
    if (!record)
        return;
    m_targetList.SetText(row, m_url);
    m_targetList.SetBodyKind(row, m_bodyKind);
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
    ReadFields();
    const int row = SelectedTargetRow();
    if (row < 0)
        return;
    m_url = m_targetList.Text(row);
    const std::shared_ptr<CSubmitHost> record = m_targetList.Record(row);
    m_bodyKind = record ? record->m_strBodyKind : std::nullopt;
    WriteFields();
    if (!record)
        return;
    m_paramList.removeRows(0, m_paramList.rowCount());
    // On a position of its own, leaving the record's cursor where it is.
    CSubmitHost::ParamPosition pos;
    CPostParam param;
    for (bool more = record->GetFirstParam(pos, param); more;
         more = record->GetNextParam(pos, param))
        AppendParamRow(param.m_strName, param.m_strValue);
}

void CQuillpostDlg::ClearTargets()
{
    m_targetList.Clear();
}

void CQuillpostDlg::OnAddParam()
{
    ReadFields();
    const std::shared_ptr<CSubmitHost> record = m_targetList.Record(SelectedTargetRow());
    if (!record)
        return;
    AppendParamRow(m_paramName, m_paramValue);
    record->AddParam(CPostParam(m_paramName, m_paramValue));
    m_runs.TargetChanged(SelectedTargetRow());
}

void CQuillpostDlg::OnEditParam()
{
    ReadFields();
    ChangeSelectedParam([this](CSubmitHost& record, int row, const CPostParam& shown) {
        m_paramList.item(row, 0)->setText(ToQString(m_paramName));
        m_paramList.item(row, 1)->setText(ToQString(m_paramValue));
        record.EditParam(shown, CPostParam(m_paramName, m_paramValue));
    });
}

void CQuillpostDlg::OnDeleteParam()
{
    ChangeSelectedParam([this](CSubmitHost& record, int row, const CPostParam& shown) {
        m_paramList.removeRow(row);
        m_ui->paramList->selectionModel()->clearSelection();
        record.DeleteParam(shown);
    });
}

void CQuillpostDlg::ChangeSelectedParam(
    const std::function<void(CSubmitHost& record, int row, const CPostParam& shown)>& change)
{
    const int target = SelectedTargetRow();
    const std::shared_ptr<CSubmitHost> record = m_targetList.Record(target);
    const int row = SelectedParamRow();
    if (!record || row < 0)
        return;
    change(*record, row, ParamRow(row));
    m_runs.TargetChanged(target);
}

void CQuillpostDlg::OnDeleteAllParams()
{
    const std::shared_ptr<CSubmitHost> record = m_targetList.Record(SelectedTargetRow());
    if (!record)
        return;
    record->DeleteAllParams();
    m_paramList.removeRows(0, m_paramList.rowCount());
    m_runs.TargetChanged(SelectedTargetRow());
}

void CQuillpostDlg::OnParamListClick()
{
    ReadFields();
    const int row = SelectedParamRow();
    if (row < 0)
        return;
    CPostParam shown = ParamRow(row);
    m_paramName = std::move(shown.m_strName);
    m_paramValue = std::move(shown.m_strValue);
    WriteFields();
}

void CQuillpostDlg::done(int result)
{
    m_runs.Abort();
    m_listLock.reset();
    QDialog::done(result);
}

void CQuillpostDlg::OnSubmit()
{
    ReadFields();
    const std::shared_ptr<CSubmitHost> record = m_targetList.Record(SelectedTargetRow());
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
    ReadFields();
    if (!HoldList())
        return;
    m_runs.SubmitAll();
    // A run over no rows, or one that could not start, says nothing more.
    ReleaseListWhenDone();
}

void CQuillpostDlg::OnSubmitFailedAgain()
{
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
    auto lock = std::make_unique<CListLock>(m_lockFolder, m_listPath);
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
        if (result && result->m_bFinal)
            bytes += CsvLine(RecordOf(*m_targetList.Record(row), *result));
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

void CQuillpostDlg::WarnAboutDataFile(const QString& text)
{
    CMessageBox::Warning(this, text);
}

bool CQuillpostDlg::LoadTargets()
{
    const std::string path = m_dataLocation.LoadPath();
    DataFileOutcome outcome = m_dataFile.Load(path);
    m_listPath = path;
    m_targetList.AppendRows(std::move(outcome.records));
    // No file is the normal first start. A file that is there but unusable is reported,
    // with what the next save does with it; a starting list read from elsewhere is never
    // saved over, so nothing happens to it.
    const QString text = CDataFileMessages::Load(outcome, path, m_dataLocation.SavePath());
    if (!text.isEmpty())
        WarnAboutDataFile(text);
    return true;
}

bool CQuillpostDlg::SaveTargets()
{
    TargetRecords records;
    records.reserve(static_cast<std::size_t>(m_targetList.RowCount()));
    for (int row = 0; row < m_targetList.RowCount(); ++row)
        records.push_back(m_targetList.Record(row));
    // The user's own folder is made on the first save; where it cannot be, or is not known,
    // nothing is saved and the outcome says why.
    const std::string path = m_dataLocation.SavePath();
    DataFileOutcome outcome;
    if (m_dataLocation.MakeFolder(outcome.reason))
        outcome = m_dataFile.Save(path, records);
    // From now on the rows are that list's, also for a command line run.
    if (outcome.ok)
        m_listPath = path;
    const QString text = CDataFileMessages::Save(outcome, path);
    if (!text.isEmpty())
        WarnAboutDataFile(text);
    return true;
}

void CQuillpostDlg::OnDownloadNow()
{
    CUrlOpener::Open(QString::fromLatin1(LinkAddresses::kDownload));
}

void CQuillpostDlg::OnOpenDataFolder()
{
    // A file manager cannot show a folder that is not there yet; asking for it makes it.
    std::string reason;
    if (!m_dataLocation.MakeFolder(reason)) {
        WarnAboutDataFile(tr("The data folder cannot be shown: %1.").arg(ToQString(reason)));
        return;
    }
    CUrlOpener::Open(QUrl::fromLocalFile(m_dataLocation.Folder()).toString(QUrl::FullyEncoded));
}

void CQuillpostDlg::OnAbout()
{
    CAboutDlg about(this);
    about.exec();
}
