#include "app/HistoryDlg.h"

#include "app/HistoryDetails.h"
#include "core/net/Address.h"
#include "core/source/SourceAddress.h"
#include "core/target/SubmitHost.h"
#include "data/FileAccess.h"
#include "runs/ProgramFolders.h"
#include "runs/ResultText.h"
#include "ui/ClearButton.h"
#include "ui/ColumnFit.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

#include "ui_HistoryDlg.h"

#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>

#include <chrono>
#include <utility>

namespace {

// A window of its own, to be kept open beside the main window, resized and maximised.
constexpr Qt::WindowFlags WindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
    | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;

// What clearing a target's record came to.
struct CForgotten
{
    bool m_bOk = false;
    QString m_strWhy;
    // Where a damaged file was moved aside to, when it was.
    std::string m_strMovedTo;
};

// The addresses an entry of the log in file carried, as the details list them; the reason
// alone when they cannot be read.
QString CarriedOf(const std::string& file, std::int64_t entry)
{
    CPostHistory history;
    CText error;
    std::vector<CLoggedAddress> addresses;
    QList<CHistoryDetails::CCarried> carried;
    if (history.OpenToRead(file, error) != CPostHistory::ReadState::Opened
        || !history.AddressesOf(entry, addresses, error)) {
        return error.IsEmpty() ? QString() : CResultText::Translated(error);
    }
    carried.reserve(static_cast<qsizetype>(addresses.size()));
    for (const CLoggedAddress& address : addresses) {
        QString fate = CResultText::Fate(address.m_fate);
        if (!address.m_strReason.empty())
            fate += QStringLiteral(" · ")
                + CResultText::Printable(
                    CResultText::Logged(QString::fromStdString(address.m_strReason)));
        carried.push_back(
            {CResultText::Printable(QString::fromStdString(address.m_strAddress)), fate});
    }
    return CHistoryDetails::CarriedText(carried);
}

} // namespace

CHistoryDlg::CHistoryDlg(std::optional<CPostHistory::CTarget> target, QWidget* parent)
    : QDialog(parent, WindowFlags)
    , m_ui(std::make_unique<Ui::CHistoryDlg>())
    , m_target(std::move(target))
{
    m_ui->setupUi(this);
    m_ui->historyTable->setModel(&m_model);
    // Every column in sight as the dialog opens, the target's URL taking what the others leave
    // (a sixth of the list at the least): the time, outcome and status are short and shown
    // whole, a message or a list of addresses is cut (whole in its tooltip and the details).
    m_columns = new CColumnFit(m_ui->historyTable, CHistoryModel::UrlColumn,
        {{CHistoryModel::TimeColumn, 1.0 / 6}, {CHistoryModel::OutcomeColumn, 1.0 / 6},
            {CHistoryModel::StatusColumn, 1.0 / 5}, {CHistoryModel::MessageColumn, 1.0 / 5},
            {CHistoryModel::AddressesColumn, 1.0 / 10}});
    // The list takes what the details leave.
    m_ui->historySplitter->setStretchFactor(0, 1);
    m_ui->historySplitter->setStretchFactor(1, 0);
    //: The button at the end of the History's Filter field that empties it
    CClearButton::AddTo(m_ui->filterEdit, tr("Clear the filter"));
    //: The button at the end of the History's Page field that empties it
    CClearButton::AddTo(m_ui->pageEdit, tr("Clear the page"));
    connect(m_ui->filterEdit, &QLineEdit::textChanged, this, &CHistoryDlg::OnFilterChanged);
    connect(m_ui->pageEdit, &QLineEdit::textChanged, this, &CHistoryDlg::OnPageChanged);
    connect(m_ui->historyTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        &CHistoryDlg::OnSelectionChanged);
    // A reset (a new filter, or the entries in) leaves no row current.
    connect(&m_model, &QAbstractItemModel::modelReset, this, &CHistoryDlg::OnSelectionChanged);
    connect(m_ui->historyDetails, &CHistoryDetails::RunOnlyToggled, this, &CHistoryDlg::OnRunOnly);
    connect(m_ui->exportButton, &QPushButton::clicked, this, &CHistoryDlg::OnExport);
    connect(m_ui->forgetButton, &QPushButton::clicked, this, &CHistoryDlg::OnForget);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::close);
    if (m_target) {
        m_ui->forgetButton->setToolTip(
            tr("Clears the record of what was sent for %1: its next run is a first run again")
                .arg(QString::fromStdString(MaskPassword(m_target->m_strUrl))));
    }

    CText unknown;
    m_strFile = ProgramFolders::HistoryFile(unknown);
    if (m_strFile.empty()) {
        //: %1 says why no state folder is known, as "HOME is not set"
        m_strState = tr("There is no history: %1").arg(CResultText::Translated(unknown));
        ShowStatus();
        return;
    }
    m_strState = tr("Reading the history…");
    ShowStatus();
    m_job.Start(
        [file = m_strFile, first = m_target](
            const std::atomic<bool>& stop) { return CHistoryModel::Read(file, first, stop); },
        [this](CHistoryModel::CLoaded& loaded) { OnLoaded(loaded); });
}

CHistoryDlg::~CHistoryDlg()
{
    m_ui->historyTable->setModel(nullptr);
}

CPostHistory::CTarget CHistoryDlg::TargetOf(const CSubmitHost& host)
{
    return {host.m_strUrl, host.m_strBodyKind.value_or("form"), host.m_strChanges.value_or("")};
}

void CHistoryDlg::OnLoaded(CHistoryModel::CLoaded& loaded)
{
    m_bHasRecord = loaded.m_state == CPostHistory::ReadState::Opened;
    switch (loaded.m_state) {
    case CPostHistory::ReadState::NoRecord:
        m_strState = tr("No posts are recorded yet.");
        break;
    case CPostHistory::ReadState::Unreadable:
        m_strState = loaded.m_strWhy;
        break;
    case CPostHistory::ReadState::Opened:
        m_strState.clear();
        break;
    }
    m_model.SetEntries(std::move(loaded));
    m_columns->Fit();
    ShowStatus();
}

void CHistoryDlg::OnFilterChanged(const QString& text)
{
    m_model.SetFilter(text);
    ShowStatus();
}

void CHistoryDlg::OnPageChanged(const QString& text)
{
    const QString typed = text.trimmed();
    std::string page;
    if (!typed.isEmpty() && !NormalAddress(typed.toStdString(), page))
        //: In the History window, while its Page field holds no address to look for
        m_strPageState = tr("Not a page's whole http or https address");
    // Another spelling of the same page asks nothing new.
    if (page == m_strPage && !page.empty()) {
        ShowStatus();
        return;
    }
    m_strPage = page;
    ++m_pageAsked;
    if (typed.isEmpty()) {
        m_pageJob.Stop();
        m_strPageState.clear();
        m_model.ClearPage();
    } else if (page.empty()) {
        m_pageJob.Stop();
        m_model.SetPage(CHistoryModel::CLoaded());
    } else if (m_strFile.empty()) {
        m_strPageState = m_strState;
    } else {
        m_strPageState = tr("Reading the history…");
        ReadPage();
    }
    ShowStatus();
}

void CHistoryDlg::ReadPage()
{
    // Its end reads the page asked for by then.
    if (m_pageJob.IsBusy()) {
        m_pageJob.Stop();
        return;
    }
    m_pageJob.Start(
        [file = m_strFile, page = m_strPage, first = m_target](const std::atomic<bool>& stop) {
            return CHistoryModel::ReadPage(file, page, first, stop);
        },
        [this, asked = m_pageAsked](
            CHistoryModel::CLoaded& loaded) { OnPageLoaded(loaded, asked); });
}

void CHistoryDlg::OnPageLoaded(CHistoryModel::CLoaded& loaded, unsigned asked)
{
    if (asked != m_pageAsked) {
        if (!m_strPage.empty())
            ReadPage();
        return;
    }
    if (loaded.m_state == CPostHistory::ReadState::Unreadable)
        m_strPageState = loaded.m_strWhy;
    else if (loaded.m_entries.empty())
        //: In the History window: the page whose address is in its Page field is in no post
        m_strPageState = tr("Never sent");
    else
        m_strPageState.clear();
    m_model.SetPage(std::move(loaded));
    m_columns->Fit();
    ShowStatus();
}

void CHistoryDlg::OnSelectionChanged()
{
    const CHistoryModel::CEntry* entry
        = m_model.EntryAt(m_ui->historyTable->selectionModel()->currentIndex().row());
    m_ui->historyDetails->ShowEntry(m_model, entry);
    m_carried = entry && !m_strFile.empty() ? entry->m_id : 0;
    if (m_carried != 0)
        ReadCarried();
}

void CHistoryDlg::ReadCarried()
{
    // A post carries up to 10,000 addresses: a selection moved on meanwhile reads its own
    // once this read ends.
    if (m_carriedJob.IsBusy()) {
        m_carriedJob.Stop();
        return;
    }
    m_carriedJob.Start([file = m_strFile, entry = m_carried](
                           const std::atomic<bool>&) { return CarriedOf(file, entry); },
        [this, entry = m_carried](const QString& carried) {
            if (entry == m_carried)
                m_ui->historyDetails->ShowCarried(carried);
            else if (m_carried != 0)
                ReadCarried();
        });
}

void CHistoryDlg::OnRunOnly(bool only, std::int64_t run)
{
    // Filtering keeps the entries where they are: the one selected is found again by its
    // address.
    const CHistoryModel::CEntry* selected
        = m_model.EntryAt(m_ui->historyTable->selectionModel()->currentIndex().row());
    m_model.SetRun(only ? std::optional(run) : std::nullopt);
    // The post the user was looking at stays selected, in sight, whichever the list shows.
    for (int row = 0; selected && row < m_model.rowCount(); ++row) {
        if (m_model.EntryAt(row) == selected) {
            m_ui->historyTable->selectRow(row);
            m_ui->historyTable->scrollTo(m_model.index(row, 0));
            break;
        }
    }
    m_ui->historyDetails->SetRunOnly(m_model.Run().has_value());
    ShowStatus();
}

void CHistoryDlg::OnExport()
{
    const QString path = CFileDialog::SaveFileName(this, tr("Export History"),
        QDir(QDir::homePath()).filePath(QStringLiteral("quillpost-history.csv")),
        tr("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    // As the data file is saved: whole or not at all, and never into a FIFO or a device.
    std::string reason;
    if (!FileAccess::WriteFileSafely(
            QFile::encodeName(path).toStdString(), m_model.ShownCsv(), reason)) {
        CMessageBox::Warning(this,
            tr("The history was not exported to %1: %2.")
                .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(reason.c_str())));
    }
}

void CHistoryDlg::OnForget()
{
    if (!m_target || !m_bHasRecord)
        return;
    const bool started = m_job.Start(
        [file = m_strFile, target = *m_target](const std::atomic<bool>&) {
            CForgotten forgotten;
            CPostHistory history;
            CText error;
            forgotten.m_bOk = history.Open(file, std::chrono::system_clock::now(),
                                  forgotten.m_strMovedTo, error)
                && history.Forget(target, error);
            if (!forgotten.m_bOk)
                forgotten.m_strWhy = CResultText::Translated(error);
            return forgotten;
        },
        [this](CForgotten& forgotten) {
            if (forgotten.m_bOk) {
                //: After Forget this target in the History window
                m_strForgotten = tr("%1 is forgotten: its next run is a first run again.")
                                     .arg(QString::fromStdString(MaskPassword(m_target->m_strUrl)));
            } else {
                m_strForgotten = forgotten.m_strWhy;
            }
            if (!forgotten.m_strMovedTo.empty()) {
                m_strForgotten += QLatin1Char(' ')
                    + tr("The damaged history file was moved aside to %1.")
                          .arg(QString::fromStdString(forgotten.m_strMovedTo));
            }
            ShowStatus();
        });
    if (started) {
        m_strForgotten.clear();
        ShowStatus();
    }
}

void CHistoryDlg::ShowStatus()
{
    const bool page = !m_ui->pageEdit->text().trimmed().isEmpty();
    QString state = page ? m_strPageState : m_strState;
    if (state.isEmpty() && (page || m_bHasRecord)) {
        const auto shown = static_cast<std::size_t>(m_model.rowCount());
        state = shown == m_model.EntryCount()
            //: How many posts the History window lists
            ? tr("Posts: %1").arg(CResultText::Count(shown))
            //: How many posts the History window lists through its filter, of how many
            : tr("Posts: %1 of %2")
                  .arg(CResultText::Count(shown), CResultText::Count(m_model.EntryCount()));
    }
    m_ui->historyStatusLabel->setText(
        m_strForgotten.isEmpty() ? state : state + QLatin1Char('\n') + m_strForgotten);
    m_ui->forgetButton->setEnabled(m_target && m_bHasRecord && !m_job.IsBusy());
    m_ui->exportButton->setEnabled(m_model.rowCount() > 0);
}
