#include "cli/SubmitCommand.h"

#include "cli/ListWait.h"
#include "cli/StopSignals.h"
#include "core/net/Address.h"
#include "core/net/PostLimits.h"
#include "core/system/ListLock.h"
#include "core/target/SubmitHost.h"
#include "core/text/ResultRecord.h"
#include "runs/AddressListing.h"
#include "runs/DesktopNotifier.h"
#include "runs/DryRun.h"
#include "runs/ProgramFolders.h"
#include "runs/ResultText.h"
#include "runs/SubmitRuns.h"
#include "runs/TargetList.h"
#include "runs/TargetStore.h"

#include <QCommandLineParser>
#include <QFile>
#include <QMetaObject>

#include <algorithm>
#include <string>
#include <utility>

#include <unistd.h>

namespace {

const QCommandLineOption DryRun(QStringLiteral("dry-run"));
const QCommandLineOption NoNotify(QStringLiteral("no-notify"));

// The outcome a line of text output starts with: a failure of any kind is "failed".
PostOutcome LineOutcome(PostOutcome outcome)
{
    switch (outcome) {
    case PostOutcome::Succeeded:
    case PostOutcome::Unchanged:
    case PostOutcome::Baseline:
    case PostOutcome::WouldPost:
        return outcome;
    default:
        return PostOutcome::Failed;
    }
}

QString LineWord(PostOutcome outcome)
{
    return CResultText::Translated(OutcomeLineWord(outcome));
}

} // namespace

CSubmitCommand::CSubmitCommand(const char* name, const CCommandSettings& settings)
    : CCommand(name, settings)
    , m_bShowProgress(::isatty(STDERR_FILENO) == 1)
{
}

CSubmitCommand::~CSubmitCommand() = default;

QList<QCommandLineOption> CSubmitCommand::Options() const
{
    return {FormatOption(), DryRun, NoNotify};
}

CSubmitCommand::CHelp CSubmitCommand::Help() const
{
    CHelp help;
    help.m_strUsage = tr("--submit-all [FILE] [--dry-run] [--no-notify] [--format=text|json|csv]");
    help.m_strOptions
        = tr("  --submit-all [FILE]     post every target of FILE, or of the list the window\n"
             "                          would load, print each result and a summary, and exit\n"
             "  --dry-run               with --submit-all: read the sources and check the key\n"
             "                          files as a run would, and print what would be posted\n"
             "                          (content_type, request_body) and, as text, each\n"
             "                          address it would announce or leave out, with why;\n"
             "                          nothing is posted\n"
             "  --no-notify             with --submit-all: no desktop notification when a\n"
             "                          target keeps failing or works again\n");
    help.m_strExits
        = tr("--submit-all: 0 when every target succeeded, had nothing to post, or there was\n"
             "none, 1 when one failed (or would fail, with --dry-run) or what was sent could\n"
             "not be recorded, 2 when the list could not be read, 75 when another run posted\n"
             "the list for 10 minutes, and 128 plus the signal's number when SIGHUP (129),\n"
             "SIGINT (130), SIGQUIT (131) or SIGTERM (143) stopped the run.\n");
    help.m_strExample = QStringLiteral("  quillpost --submit-all --dry-run --format=json\n");
    return help;
}

bool CSubmitCommand::Take(const QCommandLineParser& parser, QString& error)
{
    m_bDryRun = parser.isSet(DryRun);
    m_bNotify = !parser.isSet(NoNotify);
    return TakeList(parser.positionalArguments(), m_file, error) && TakeFormat(parser, error);
}

int CSubmitCommand::Run()
{
    // Before the list is read, so that a signal at any time ends the program as a stop.
    m_signals = std::make_unique<CStopSignals>();
    connect(m_signals.get(), &CStopSignals::Stopped, this, &CSubmitCommand::OnStopSignal);
    // Nothing is saved here, so no save keeps a refused file aside.
    CTargetStore store(ProgramFolders::DataLocation());
    const std::string path
        = m_file ? QFile::encodeName(*m_file).toStdString() : store.Location().LoadPath();
    // Read once the other run has ended: it may have been changed meanwhile. A dry run
    // changes nothing, so it waits for no one.
    if (!m_bDryRun) {
        switch (CListWait::Take(path, Settings(), *m_signals, m_listLock)) {
        case CListWait::Outcome::Held:
            break;
        case CListWait::Outcome::Busy:
            return ExitBusy;
        case CListWait::Outcome::Stopped:
            return *m_signals->Status();
        }
    }
    CTargetStore::CLoaded loaded = store.LoadToPost(m_file ? path : std::string());
    if (!loaded.m_bOk) {
        Say(loaded.m_strMessage);
        return ExitUnusable;
    }
    m_written.assign(loaded.m_records.size(), false);
    m_targets = std::make_unique<CTargetList>();
    m_targets->AppendRows(std::move(loaded.m_records));
    return Submit();
}

int CSubmitCommand::Submit()
{
    // What the window's runs are set up with, but for how long the record is waited for.
    CPostSettings post;
    post.m_record.m_writeWaitMs = static_cast<long>(Settings().m_recordWait.count());
    if (m_bDryRun) {
        m_runs = std::make_unique<CDryRun>(*m_targets, post);
    } else {
        auto runs = std::make_unique<CSubmitRuns>(*m_targets, post);
        // No tooltips here to tell when a target last succeeded.
        runs->SetShowLastSuccesses(false);
        // Told from the worker's thread, which waits for the desktop within a bound.
        if (m_bNotify)
            connect(runs.get(), &CSubmitRuns::AlertsDue, this, &CDesktopNotifier::Tell,
                Qt::DirectConnection);
        m_runs = std::move(runs);
    }
    connect(m_runs.get(), &CListRuns::RowDecided, this, &CSubmitCommand::WriteRow);
    connect(m_runs.get(), &CListRuns::StatusChanged, this, &CSubmitCommand::OnStatusChanged);

    if (OutputFormat() == Format::Csv) {
        CResultRecord none;
        none.m_bDryRun = m_bDryRun;
        if (!Emit(stdout, FieldsOf(none).CsvHeader()))
            return ExitUnusable;
    }
    m_runs->SubmitAll();
    if (!m_bFinished && !m_runs->IsRunning() && !m_runs->IsRecording())
        Finish();
    if (!m_bFinished)
        m_loop.exec();
    // A signal that came while the list was read, when the run then ended without waiting.
    if (m_signals->Take())
        EndWith(*m_signals->Status());
    if (m_endStatus)
        return *m_endStatus;
    return m_bAnyFailed ? ExitFailed : ExitSucceeded;
}

void CSubmitCommand::OnStopSignal()
{
    EndWith(*m_signals->Status());
    // Before the runs there is only the wait for the list, which ends on its own.
    if (m_runs)
        m_runs->Stop();
}

void CSubmitCommand::EndWith(int status)
{
    if (!m_endStatus)
        m_endStatus = status;
}

void CSubmitCommand::OnOutputLost()
{
    // Posting on would only lose more: the run ends as a Stop ends it. Not from within the
    // runs' report of a row, which goes on after this returns.
    EndWith(ExitUnusable);
    QMetaObject::invokeMethod(
        this, [this] { m_runs->Stop(); }, Qt::QueuedConnection);
}

void CSubmitCommand::OnStatusChanged()
{
    if (m_runs->IsRunning())
        ShowProgress(m_runs->StatusText());
    // The program ends once what the run sent is recorded, or could not be.
    else if (!m_bFinished && !m_runs->IsRecording())
        Finish();
}

void CSubmitCommand::Finish()
{
    m_bFinished = true;
    // Rows decided without a post, when no post could be made at all.
    for (int row = 0; row < m_targets->RowCount(); ++row) {
        if (!m_written[static_cast<std::size_t>(row)] && m_targets->Result(row))
            WriteRow(row);
    }
    ClearProgress();
    // A success that is not recorded is sent again next run: the run did not do all it should.
    if (const QString notRecorded = m_runs->NotRecorded(); !notRecorded.isEmpty()) {
        m_bAnyFailed = true;
        Say(notRecorded);
    }
    const QString summary = m_runs->StatusText();
    // After the results in text, beside them otherwise.
    if (!summary.isEmpty())
        Emit(OutputFormat() == Format::Text ? stdout : stderr, summary.toStdString() + '\n');
    if (m_loop.isRunning())
        m_loop.quit();
}

void CSubmitCommand::WriteRow(int row)
{
    const std::shared_ptr<CSubmitHost> record = m_targets->Record(row);
    const CPostResult* result = m_targets->Result(row);
    if (!record || !result)
        return;
    m_written[static_cast<std::size_t>(row)] = true;
    m_bAnyFailed = m_bAnyFailed || IsFailure(result->m_outcome);
    ClearProgress();
    if (OutputFormat() == Format::Text) {
        QString lines = TextLine(*result, record->m_strUrl) + QLatin1Char('\n');
        // A dry run says what becomes of each address, under its target.
        if (m_bDryRun) {
            for (const QString& line : CAddressListing::Lines(*result))
                lines += QStringLiteral("  ") + line + QLatin1Char('\n');
        }
        Emit(stdout, lines.toStdString());
        return;
    }
    CResultRecord output = RecordOf(*result);
    output.m_bDryRun = m_bDryRun;
    const COutputFields fields = FieldsOf(output);
    Emit(stdout, OutputFormat() == Format::Json ? fields.JsonLine() : fields.CsvLine());
}

QString CSubmitCommand::TextLine(const CPostResult& result, const std::string& url) const
{
    // The outcomes line up in a column one wider than the longest word.
    qsizetype width = 0;
    for (const PostOutcome outcome : {PostOutcome::Succeeded, PostOutcome::Failed,
             PostOutcome::Unchanged, PostOutcome::Baseline, PostOutcome::WouldPost}) {
        if (outcome != PostOutcome::WouldPost || m_bDryRun)
            width = std::max(width, LineWord(outcome).size());
    }
    return LineWord(LineOutcome(result.m_outcome)).leftJustified(width + 1) + QLatin1Char(' ')
        + CResultText::Summary(result) + QStringLiteral("  ")
        + CResultText::Printable(QString::fromStdString(MaskPassword(url)));
}

void CSubmitCommand::ShowProgress(const QString& status)
{
    if (!m_bShowProgress)
        return;
    // Back to the start of the line, the status, and away with what a longer one left.
    WriteAnyway(stderr, (QStringLiteral("\r") + status + QStringLiteral("\x1b[K")).toStdString());
    m_bProgressShown = true;
}

void CSubmitCommand::ClearProgress()
{
    if (!m_bProgressShown)
        return;
    WriteAnyway(stderr, "\r\x1b[K");
    m_bProgressShown = false;
}
