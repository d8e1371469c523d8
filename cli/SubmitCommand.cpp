#include "cli/SubmitCommand.h"

#include "cli/CheckKeysCommand.h"
#include "cli/HistoryCommand.h"
#include "core/ListLock.h"
#include "core/PostLimits.h"
#include "core/ResultRecord.h"
#include "core/SubmitHost.h"
#include "runs/ListHolderText.h"
#include "runs/ProgramFolders.h"
#include "runs/ResultText.h"
#include "runs/TargetStore.h"
#include "runs/Translations.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QMetaObject>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace {

const int StopSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

// Written by the signal handler, read on the command's thread.
int g_signalPipe[2] = {-1, -1};
struct sigaction g_oldActions[std::size(StopSignals)];

// The standard streams that were closed when the program started.
bool g_closed[3] = {};

void OnStopSignal(int number)
{
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

// False, with the system's reason in error, when not every byte could be written.
bool Write(std::FILE* out, const std::string& bytes, int& error)
{
    const int fd = ::fileno(out);
    if (fd >= 0 && fd < 3 && g_closed[fd]) {
        error = EBADF;
        return false;
    }
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0)
        return true;
    error = errno != 0 ? errno : EIO;
    return false;
}

// For what nothing can be done about when it is lost: diagnostics, progress.
void Write(std::FILE* out, const std::string& bytes)
{
    int error = 0;
    Write(out, bytes, error);
}

// Diagnostics take one line, whatever the reason holds.
void SayError(const QString& text)
{
    QString line = QStringLiteral("quillpost: ") + text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    Write(stderr, line.toStdString() + '\n');
}

// What the window's runs are set up with, but for how long the record is waited for.
CPostSettings RunSettings(const CSubmitCommand::Settings& settings)
{
    CPostSettings post;
    post.m_record.m_writeWaitMs = static_cast<long>(settings.recordWait.count());
    return post;
}

// A line a target, whatever its URL holds.
QString OneLine(QString text)
{
    return CResultText::Printable(std::move(text));
}

} // namespace

void CSubmitCommand::GuardStandardStreams()
{
    // In order, so that each open takes the lowest number free: the stream's own.
    for (int fd = 0; fd < 3; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF)
            continue;
        g_closed[fd] = true;
        // Not closed on exec: it stands for a standard stream, which a child inherits.
        const int null = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
}

int CSubmitCommand::Run(int argc, char** argv)
{
    return Run(argc, argv, Settings());
}

int CSubmitCommand::Run(int argc, char** argv, const Settings& settings)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillpost"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLPOST_VERSION));
    // What people read follows their language; JSON and CSV are for programs and stay English.
    InstallTranslations(QLocale::system());

    Options options;
    QString error;
    if (!Parse(QCoreApplication::arguments(), options, error)) {
        SayError(error);
        Write(
            stderr, (UsageText() + tr("See quillpost --help.") + QLatin1Char('\n')).toStdString());
        return ExitUnusable;
    }
    if (options.help || options.version) {
        const QString text
            = options.help ? HelpText() : QStringLiteral("quillpost %1\n").arg(QUILLPOST_VERSION);
        int error = 0;
        if (Write(stdout, text.toStdString(), error))
            return ExitSucceeded;
        SayError(tr("The output could not be written: %1.")
                     .arg(QString::fromLocal8Bit(std::strerror(error))));
        return ExitUnusable;
    }
    if (options.checkKeys)
        return CCheckKeysCommand(options.format, CPostSettings()).Run(options.file);
    if (options.history)
        return CHistoryCommand(options.format).Run(options.since);
    CSubmitCommand command(options.format, settings);
    command.SetDryRun(options.dryRun);
    command.SetNotify(!options.noNotify);
    return command.SubmitAll(options.file);
}

bool CSubmitCommand::Print(const std::string& bytes)
{
    int error = 0;
    if (Write(stdout, bytes, error))
        return true;
    SayError(tr("The output could not be written: %1.")
                 .arg(QString::fromLocal8Bit(std::strerror(error))));
    return false;
}

void CSubmitCommand::Say(const QString& reason)
{
    SayError(reason);
}

bool CSubmitCommand::Parse(const QStringList& arguments, Options& options, QString& error)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption submitAll(QStringLiteral("submit-all"));
    const QCommandLineOption checkKeys(QStringLiteral("check-keys"));
    const QCommandLineOption history(QStringLiteral("history"));
    const QCommandLineOption format(QStringLiteral("format"), QString(), QStringLiteral("format"));
    const QCommandLineOption since(QStringLiteral("since"), QString(), QStringLiteral("since"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"));
    const QCommandLineOption noNotify(QStringLiteral("no-notify"));
    parser.addOptions(
        {help, version, submitAll, checkKeys, history, format, since, dryRun, noNotify});
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    options.submitAll = parser.isSet(submitAll);
    options.checkKeys = parser.isSet(checkKeys);
    options.history = parser.isSet(history);
    const QStringList files = parser.positionalArguments();
    if (options.help || options.version)
        return true;
    if (int(options.submitAll) + int(options.checkKeys) + int(options.history) > 1) {
        error = tr("--submit-all, --check-keys and --history go one at a time.");
        return false;
    }
    options.dryRun = parser.isSet(dryRun);
    options.noNotify = parser.isSet(noNotify);
    // An option without its command names the command it goes with.
    if ((options.dryRun || options.noNotify) && !options.submitAll) {
        error = tr("--dry-run and --no-notify go with --submit-all.");
        return false;
    }
    if (parser.isSet(since) && !options.history) {
        error = tr("--since goes with --history.");
        return false;
    }
    if (!options.submitAll && !options.checkKeys && !options.history) {
        error = parser.isSet(format)
            ? tr("--format goes with --submit-all, --check-keys or --history.")
            : tr("'%1' is no option; a list to post follows --submit-all.").arg(files.value(0));
        return false;
    }
    // A script's empty "$LIST" names no list: it must not post the one the window would load.
    if (!files.isEmpty() && files.front().isEmpty()) {
        error = tr("An empty FILE names no list; leave it out for the list the window would "
                   "load.");
        return false;
    }
    if (options.history && !files.isEmpty()) {
        error = tr("--history reads no list: '%1' was given.").arg(files.front());
        return false;
    }
    if (parser.isSet(since)) {
        const QString when = parser.value(since);
        options.since = CHistoryCommand::SinceOf(when, std::chrono::system_clock::now());
        if (!options.since) {
            error = tr("--since takes 7d, 12h, 30m, 2026-12-01 or 2026-12-01T10:00:00Z, not '%1'.")
                        .arg(when);
            return false;
        }
    }
    if (files.size() > 1) {
        error = tr("One list at a time: '%1' and '%2' were given.").arg(files[0], files[1]);
        return false;
    }
    if (!files.isEmpty())
        options.file = files.front();
    const QString kind = parser.value(format);
    if (kind == QLatin1String("json"))
        options.format = Format::Json;
    else if (kind == QLatin1String("csv"))
        options.format = Format::Csv;
    else if (parser.isSet(format) && kind != QLatin1String("text")) {
        error = tr("--format takes text, json or csv, not '%1'.").arg(kind);
        return false;
    }
    return true;
}

QString CSubmitCommand::UsageText()
{
    return tr(
        "Usage: quillpost\n"
        "  or:  quillpost --submit-all [FILE] [--dry-run] [--no-notify] [--format=text|json|csv]\n"
        "  or:  quillpost --check-keys [FILE] [--format=text|json|csv]\n"
        "  or:  quillpost --history [--since=DURATION|DATE] [--format=text|json|csv]\n");
}

QString CSubmitCommand::HelpText()
{
    return UsageText()
        + tr("Without options, open the window that keeps the list of submit targets.\n"
             "\n"
             "  --submit-all [FILE]     post every target of FILE, or of the list the window\n"
             "                          would load, print each result and a summary, and exit\n"
             "  --dry-run               with --submit-all: read the sources and check the key\n"
             "                          files as a run would, and print what would be posted\n"
             "                          (content_type, request_body); nothing is posted\n"
             "  --no-notify             with --submit-all: no desktop notification when a\n"
             "                          target keeps failing or works again\n"
             "  --check-keys [FILE]     fetch the key file of every IndexNow target of FILE, or\n"
             "                          of that list, and print whether it holds the key;\n"
             "                          nothing is posted\n"
             "  --history               print the post log, oldest first\n"
             "  --since=DURATION|DATE   only the log from 7d, 12h or 30m ago, or from a UTC\n"
             "                          date such as 2026-12-01 or 2026-12-01T10:00:00Z\n"
             "  --format=text|json|csv  how results are printed (default text); json and csv\n"
             "                          are in English, with the summary on standard error\n"
             "  -h, --help              print this help and exit\n"
             "      --version           print the version and exit\n"
             "\n"
             "Exit status: 0 when every target succeeded, had nothing to post, or there was\n"
             "none, 1 when one failed (or would fail, with --dry-run) or what was sent could\n"
             "not be recorded, 2 when the list could not be read, the command line is wrong\n"
             "or the results could not be written, 75 when another run posted the list for\n"
             "10 minutes, and 128 plus the signal's number when SIGHUP (129), SIGINT (130),\n"
             "SIGQUIT (131) or SIGTERM (143) stopped the run. --check-keys exits 1 when a key\n"
             "file fails; --history exits 2 when the log cannot be read.\n"
             "\n"
             "Examples:\n"
             "  quillpost --submit-all --dry-run --format=json\n"
             "  quillpost --check-keys --format=csv > keys.csv\n"
             "  quillpost --history --since=7d --format=json\n");
}

CSubmitCommand::CSubmitCommand(Format format, const Settings& settings)
    : m_format(format)
    , m_settings(settings)
    , m_summaryOut(format == Format::Text ? stdout : stderr)
    , m_showProgress(::isatty(STDERR_FILENO) == 1)
    , m_runs(m_targets, RunSettings(settings))
{
    // No tooltips here to tell when a target last succeeded.
    m_runs.SetShowLastSuccesses(false);
    connect(&m_runs, &CSubmitRuns::RowDecided, this, &CSubmitCommand::WriteRow);
    connect(&m_runs, &CSubmitRuns::StatusChanged, this, &CSubmitCommand::OnStatusChanged);

    // Before the list is read, so that a signal at any time ends the program as a stop.
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_signals = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
    connect(m_signals.get(), &QSocketNotifier::activated, this, &CSubmitCommand::OnSignal);
    struct sigaction action = {};
    action.sa_handler = &OnStopSignal;
    // One handler at a time, so that the numbers reach the pipe in the order the signals
    // were taken; otherwise a second one taken at once would run first, on top of the first.
    sigemptyset(&action.sa_mask);
    for (const int number : StopSignals)
        sigaddset(&action.sa_mask, number);
    // The first signal stops the run; should that hang, the same one again ends the program.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < std::size(StopSignals); ++i)
        ::sigaction(StopSignals[i], &action, &g_oldActions[i]);
}

CSubmitCommand::~CSubmitCommand()
{
    if (!m_signals)
        return;
    for (std::size_t i = 0; i < std::size(StopSignals); ++i)
        ::sigaction(StopSignals[i], &g_oldActions[i], nullptr);
    m_signals.reset();
    for (int& fd : g_signalPipe) {
        ::close(fd);
        fd = -1;
    }
}

void CSubmitCommand::SetDryRun(bool dry)
{
    m_bDryRun = dry;
    m_runs.SetDryRun(dry);
}

CResultRecord CSubmitCommand::Record(const CPostResult& result) const
{
    CResultRecord record = RecordOf(result);
    record.m_bDryRun = m_bDryRun;
    return record;
}

int CSubmitCommand::SubmitAll(const std::optional<QString>& file)
{
    // Nothing is saved here, so no save keeps a refused file aside.
    CTargetStore store(ProgramFolders::DataLocation());
    const std::string path
        = file ? QFile::encodeName(*file).toStdString() : store.Location().LoadPath();
    // Read once the other run has ended: it may have been changed meanwhile. A dry run
    // changes nothing, so it waits for no one.
    if (!m_bDryRun && !HoldList(path))
        return m_endStatus.value_or(ExitBusy);
    CTargetStore::CLoaded loaded = store.LoadToPost(file ? path : std::string());
    if (!loaded.m_bOk) {
        SayError(loaded.m_message);
        return ExitUnusable;
    }
    m_written.assign(loaded.m_records.size(), false);
    m_targets.AppendRows(std::move(loaded.m_records));

    if (m_format == Format::Csv && !Emit(stdout, CsvHeader(m_bDryRun)))
        return ExitUnusable;
    m_runs.SubmitAll();
    if (!m_finished && !m_runs.IsRunning() && !m_runs.IsRecording())
        Finish();
    if (!m_finished)
        m_loop.exec();
    // A signal that came while the list was read, when the run then ended without waiting.
    TakeSignals();
    if (m_endStatus)
        return *m_endStatus;
    return m_anyFailed ? ExitFailed : ExitSucceeded;
}

bool CSubmitCommand::HoldList(const std::string& path)
{
    // No list and nowhere to keep one: there is nothing to post, nor to keep apart.
    if (path.empty())
        return true;
    m_listLock = std::make_unique<CListLock>(CListLock::UserFolder(), path);
    std::string reason;
    CListLock::Outcome outcome = m_listLock->TryTake(CListLock::CommandLine, reason);
    if (outcome == CListLock::Outcome::Busy) {
        SayError(tr("This list is being posted by %1; waiting for it to end.")
                     .arg(CListHolderText::Of(*m_listLock)));
        // In the event loop, so that a stop signal ends the wait.
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            outcome = m_listLock->TryTake(CListLock::CommandLine, reason);
            if (outcome != CListLock::Outcome::Busy)
                m_loop.quit();
        });
        poll.start(m_settings.lockPoll);
        QTimer deadline;
        deadline.setSingleShot(true);
        connect(&deadline, &QTimer::timeout, &m_loop, &QEventLoop::quit);
        deadline.start(m_settings.lockWait);
        m_waitingForList = true;
        TakeSignals();
        if (!m_endStatus)
            m_loop.exec();
        m_waitingForList = false;
    }
    if (m_endStatus)
        return false;
    if (outcome == CListLock::Outcome::Busy) {
        SayError(tr("This list is still being posted by %1; nothing was posted.")
                     .arg(CListHolderText::Of(*m_listLock)));
        return false;
    }
    // Where no lock can be had the list is posted all the same, as before there were locks.
    if (outcome == CListLock::Outcome::Failed)
        SayError(tr("Runs of this list are not kept apart: %1.")
                     .arg(QString::fromLocal8Bit(reason.c_str())));
    return true;
}

void CSubmitCommand::OnSignal()
{
    if (!TakeSignals())
        return;
    if (m_waitingForList)
        m_loop.quit();
    else
        m_runs.Stop();
}

bool CSubmitCommand::TakeSignals()
{
    char bytes[16];
    bool any = false;
    for (ssize_t got;
         g_signalPipe[0] >= 0 && (got = ::read(g_signalPipe[0], bytes, sizeof bytes)) > 0;) {
        // The first signal read is the first that came.
        if (!any)
            EndWith(SignalStatus(static_cast<unsigned char>(bytes[0])));
        any = true;
    }
    return any;
}

void CSubmitCommand::EndWith(int status)
{
    if (!m_endStatus)
        m_endStatus = status;
}

void CSubmitCommand::OnStatusChanged()
{
    if (m_runs.IsRunning())
        ShowProgress(m_runs.StatusText());
    // The program ends once what the run sent is recorded, or could not be.
    else if (!m_finished && !m_runs.IsRecording())
        Finish();
}

void CSubmitCommand::Finish()
{
    m_finished = true;
    // Rows decided without a post, when no post could be made at all.
    for (int row = 0; row < m_targets.RowCount(); ++row) {
        if (!m_written[static_cast<std::size_t>(row)] && m_targets.Result(row))
            WriteRow(row);
    }
    ClearProgress();
    // A success that is not recorded is sent again next run: the run did not do all it should.
    if (const QString notRecorded = m_runs.NotRecorded(); !notRecorded.isEmpty()) {
        m_anyFailed = true;
        SayError(notRecorded);
    }
    const QString summary = m_runs.StatusText();
    if (!summary.isEmpty())
        Emit(m_summaryOut, summary.toStdString() + '\n');
    if (m_loop.isRunning())
        m_loop.quit();
}

void CSubmitCommand::WriteRow(int row)
{
    const std::shared_ptr<CSubmitHost> record = m_targets.Record(row);
    const CPostResult* result = m_targets.Result(row);
    if (!record || !result)
        return;
    m_written[static_cast<std::size_t>(row)] = true;
    m_anyFailed = m_anyFailed || IsFailure(result->m_outcome);
    ClearProgress();
    switch (m_format) {
    case Format::Text: {
        //: A target's outcome at the start of its line of output
        const QString succeeded = tr("succeeded");
        //: A target's outcome at the start of its line of output
        const QString failed = tr("failed");
        //: A target's outcome at the start of its line of output: nothing changed on its site
        const QString unchanged = tr("unchanged");
        //: A target's outcome at the start of its line of output: its first run, which only
        //: recorded its site's addresses
        const QString baseline = tr("baseline");
        // The outcomes line up in a column one wider than the longest word.
        // A dry run's word is the one of its machine output.
        const QString wouldPost = QString::fromLatin1(OutcomeWord(PostOutcome::WouldPost));
        const auto width = std::max({succeeded.size(), failed.size(), unchanged.size(),
                               baseline.size(), m_bDryRun ? wouldPost.size() : 0})
            + 1;
        const QString word = result->Succeeded()          ? succeeded
            : result->m_outcome == PostOutcome::WouldPost ? wouldPost
            : result->m_outcome == PostOutcome::Unchanged ? unchanged
            : result->m_outcome == PostOutcome::Baseline  ? baseline
                                                          : failed;
        const QString line = word.leftJustified(width) + QLatin1Char(' ')
            + CResultText::Summary(*result) + QStringLiteral("  ")
            + OneLine(QString::fromStdString(MaskPassword(record->m_strUrl)));
        Emit(stdout, line.toStdString() + '\n');
        break;
    }
    case Format::Json:
        Emit(stdout, JsonLine(Record(*result)));
        break;
    case Format::Csv:
        Emit(stdout, CsvLine(Record(*result)));
        break;
    }
}

bool CSubmitCommand::Emit(std::FILE* out, const std::string& bytes)
{
    bool& lost = out == stdout ? m_stdoutLost : m_stderrLost;
    int error = 0;
    if (lost)
        return false;
    if (Write(out, bytes, error))
        return true;
    // Posting on would only lose more: the run ends as a Stop ends it.
    lost = true;
    SayError(tr("The output could not be written: %1.")
                 .arg(QString::fromLocal8Bit(std::strerror(error))));
    EndWith(ExitUnusable);
    // Not from within the runs' report of a row, which goes on after this returns.
    QMetaObject::invokeMethod(
        this, [this] { m_runs.Stop(); }, Qt::QueuedConnection);
    return false;
}

void CSubmitCommand::ShowProgress(const QString& status)
{
    if (!m_showProgress)
        return;
    // Back to the start of the line, the status, and away with what a longer one left.
    Write(stderr, (QStringLiteral("\r") + status + QStringLiteral("\x1b[K")).toStdString());
    m_progressShown = true;
}

void CSubmitCommand::ClearProgress()
{
    if (!m_progressShown)
        return;
    Write(stderr, "\r\x1b[K");
    m_progressShown = false;
}
