#include "cli/SubmitCommand.h"

#include "core/PostLimits.h"
#include "core/ResultRecord.h"
#include "core/SubmitHost.h"
#include "runs/ProgramFolders.h"
#include "runs/ResultText.h"
#include "runs/TargetStore.h"
#include "runs/Translations.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <iterator>
#include <string>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace {

const int StopSignals[] = {SIGINT, SIGTERM};

// Written by the signal handler, read on the command's thread.
int g_signalPipe[2] = {-1, -1};
struct sigaction g_oldActions[2];

void OnStopSignal(int number)
{
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

void Write(std::FILE* out, const std::string& bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fflush(out);
}

// Diagnostics take one line, whatever the reason holds.
void SayError(const QString& text)
{
    QString line = QStringLiteral("quillpost: ") + text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    Write(stderr, line.toStdString() + '\n');
}

// A line a target, whatever its URL holds.
QString OneLine(QString text)
{
    return CResultText::Printable(std::move(text));
}

} // namespace

int CSubmitCommand::Run(int argc, char** argv)
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
    if (options.help) {
        Write(stdout, HelpText().toStdString());
        return ExitSucceeded;
    }
    if (options.version) {
        Write(stdout, QStringLiteral("quillpost %1\n").arg(QUILLPOST_VERSION).toStdString());
        return ExitSucceeded;
    }
    CSubmitCommand command(options.format);
    return command.SubmitAll(options.file);
}

bool CSubmitCommand::Parse(const QStringList& arguments, Options& options, QString& error)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption submitAll(QStringLiteral("submit-all"));
    const QCommandLineOption format(QStringLiteral("format"), QString(), QStringLiteral("format"));
    parser.addOptions({help, version, submitAll, format});
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    options.submitAll = parser.isSet(submitAll);
    const QStringList files = parser.positionalArguments();
    if (options.help || options.version)
        return true;
    if (!options.submitAll) {
        error = parser.isSet(format)
            ? tr("--format goes with --submit-all.")
            : tr("'%1' is no option; a list to post follows --submit-all.").arg(files.value(0));
        return false;
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
    return tr("Usage: quillpost\n"
              "  or:  quillpost --submit-all [FILE] [--format=text|json|csv]\n");
}

QString CSubmitCommand::HelpText()
{
    return UsageText()
        + tr("Without options, open the window that keeps the list of submit targets.\n"
             "\n"
             "  --submit-all [FILE]     post every target of FILE, or of the list the window\n"
             "                          would load, print each result and a summary, and exit\n"
             "  --format=text|json|csv  how results are printed (default text); json and csv\n"
             "                          are in English, with the summary on standard error\n"
             "  -h, --help              print this help and exit\n"
             "      --version           print the version and exit\n"
             "\n"
             "Exit status: 0 when every target succeeded or there was none, 1 when one\n"
             "failed, 2 when the list could not be read or the command line is wrong, 130\n"
             "when SIGINT or SIGTERM stopped the run.\n");
}

CSubmitCommand::CSubmitCommand(Format format)
    : m_format(format)
    , m_summaryOut(format == Format::Text ? stdout : stderr)
    , m_showProgress(::isatty(STDERR_FILENO) == 1)
    // What the window's runs are set up with.
    , m_runs(m_targets, CPostSettings())
{
    connect(&m_runs, &CSubmitRuns::RowDecided, this, &CSubmitCommand::WriteRow);
    connect(&m_runs, &CSubmitRuns::StatusChanged, this, &CSubmitCommand::OnStatusChanged);

    // Before the list is read, so that a signal at any time ends the program as a stop.
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_signals = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
    connect(m_signals.get(), &QSocketNotifier::activated, this, &CSubmitCommand::OnSignal);
    struct sigaction action = {};
    action.sa_handler = &OnStopSignal;
    sigemptyset(&action.sa_mask);
    // The first signal stops the run; should that hang, the next one ends the program.
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

int CSubmitCommand::SubmitAll(const std::optional<QString>& file)
{
    // Nothing is saved here, so no save keeps a refused file aside.
    CTargetStore store(ProgramFolders::DataLocation());
    CTargetStore::CLoaded loaded
        = store.LoadToPost(file ? QFile::encodeName(*file).toStdString() : std::string());
    if (!loaded.m_bOk) {
        SayError(loaded.m_message);
        return ExitUnusable;
    }
    m_written.assign(loaded.m_records.size(), false);
    m_targets.AppendRows(std::move(loaded.m_records));

    if (m_format == Format::Csv)
        Write(stdout, CsvHeader());
    m_runs.SubmitAll();
    if (!m_finished && !m_runs.IsRunning())
        Finish();
    if (!m_finished)
        m_loop.exec();
    // A signal that came while the list was read, when the run then ended without waiting.
    TakeSignals();
    if (m_signalled)
        return ExitStopped;
    return m_anyFailed ? ExitFailed : ExitSucceeded;
}

void CSubmitCommand::OnSignal()
{
    if (TakeSignals())
        m_runs.Stop();
}

bool CSubmitCommand::TakeSignals()
{
    char bytes[16];
    bool any = false;
    while (g_signalPipe[0] >= 0 && ::read(g_signalPipe[0], bytes, sizeof bytes) > 0)
        any = true;
    m_signalled = m_signalled || any;
    return any;
}

void CSubmitCommand::OnStatusChanged()
{
    if (m_runs.IsRunning())
        ShowProgress(m_runs.StatusText());
    else if (!m_finished)
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
    const QString summary = m_runs.StatusText();
    if (!summary.isEmpty())
        Write(m_summaryOut, summary.toStdString() + '\n');
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
    m_anyFailed = m_anyFailed || !result->m_bSuccess;
    ClearProgress();
    switch (m_format) {
    case Format::Text: {
        //: A target's outcome at the start of its line of output
        const QString succeeded = tr("succeeded");
        //: A target's outcome at the start of its line of output
        const QString failed = tr("failed");
        // The outcomes line up in a column one wider than the longer word.
        const auto width = std::max(succeeded.size(), failed.size()) + 1;
        const QString line = (result->m_bSuccess ? succeeded : failed).leftJustified(width)
            + QLatin1Char(' ') + CResultText::Summary(*result) + QStringLiteral("  ")
            + OneLine(QString::fromStdString(MaskPassword(record->m_strUrl)));
        Write(stdout, line.toStdString() + '\n');
        break;
    }
    case Format::Json:
        Write(stdout, JsonLine(RecordOf(*record, *result)));
        break;
    case Format::Csv:
        Write(stdout, CsvLine(RecordOf(*record, *result)));
        break;
    }
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
