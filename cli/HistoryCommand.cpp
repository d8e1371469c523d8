#include "cli/HistoryCommand.h"

#include "core/net/Address.h"
#include "core/post/PostOutcome.h"
#include "core/post/PostResult.h"
#include "core/source/SourceAddress.h"
#include "core/text/ResultRecord.h"
#include "core/text/TimeText.h"
#include "runs/ProgramFolders.h"
#include "runs/ResultText.h"

#include <QCommandLineParser>
#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTime>
#include <QTimeZone>

#include <algorithm>
#include <chrono>

namespace {

// Written out whenever this much has gathered: a long log is not held in memory, nor written
// a line at a time.
constexpr std::size_t WriteSize = 64 * 1024;

const QCommandLineOption Since(QStringLiteral("since"), QString(), QStringLiteral("since"));
const QCommandLineOption Page(QStringLiteral("page"), QString(), QStringLiteral("url"));

QString LineWord(PostOutcome outcome)
{
    return CResultText::Translated(OutcomeLineWord(outcome));
}

constexpr AddressFate Fates[]
    = {AddressFate::Sent, AddressFate::Removed, AddressFate::Baseline, AddressFate::LeftOut};

} // namespace

std::optional<CHistoryCommand::Time> CHistoryCommand::SinceOf(const QString& text, Time now)
{
    using std::chrono::milliseconds;
    // The clock holds some 292 years either side of 1970; a time beyond it stands at its end.
    const auto clamped = [](qint64 millis) {
        const qint64 least
            = std::chrono::duration_cast<milliseconds>(Time::min().time_since_epoch()).count() + 1;
        const qint64 most
            = std::chrono::duration_cast<milliseconds>(Time::max().time_since_epoch()).count() - 1;
        return Time(milliseconds(std::clamp(millis, least, most)));
    };
    // Anchored at the text's very end: "$" would also take a trailing line feed.
    static const QRegularExpression duration(
        QRegularExpression::anchoredPattern(QStringLiteral("(\\d{1,6})([dhm])")));
    if (const QRegularExpressionMatch match = duration.match(text); match.hasMatch()) {
        const qint64 count = match.captured(1).toLongLong();
        const QChar unit = match.captured(2).front();
        const qint64 minutes = unit == QLatin1Char('d') ? count * 24 * 60
            : unit == QLatin1Char('h')                  ? count * 60
                                                        : count;
        return clamped(std::chrono::duration_cast<milliseconds>(now.time_since_epoch()).count()
            - minutes * 60 * 1000);
    }
    static const QRegularExpression date(QRegularExpression::anchoredPattern(
        QStringLiteral("(\\d{4})-(\\d{2})-(\\d{2})(?:T(\\d{2}):(\\d{2})(?::(\\d{2}))?Z)?")));
    const QRegularExpressionMatch match = date.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate day(
        match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    const QTime time = match.capturedLength(4) == 0
        ? QTime(0, 0)
        : QTime(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt());
    if (!day.isValid() || !time.isValid())
        return std::nullopt;
    return clamped(QDateTime(day, time, QTimeZone::utc()).toMSecsSinceEpoch());
}

CHistoryCommand::CHistoryCommand(const char* name, const CCommandSettings& settings)
    : CCommand(name, settings)
{
}

QList<QCommandLineOption> CHistoryCommand::Options() const
{
    return {FormatOption(), Since, Page};
}

CHistoryCommand::CHelp CHistoryCommand::Help() const
{
    CHelp help;
    help.m_strUsage = tr("--history [--page=URL] [--since=DURATION|DATE] [--format=text|json|csv]");
    help.m_strOptions
        = tr("  --history               print the post log, oldest first\n"
             "  --page=URL              only the times the page was sent, removed, recorded\n"
             "                          at a baseline or left out, newest first\n"
             "  --since=DURATION|DATE   only the log from 7d, 12h or 30m ago, or from a UTC\n"
             "                          date such as 2026-12-01 or 2026-12-01T10:00:00Z\n");
    help.m_strExits = tr("--history: 0, or 2 when the log cannot be read; with --page, 1 when the\n"
                         "page was never sent, recorded or left out.\n");
    help.m_strExample = QStringLiteral("  quillpost --history --since=7d --format=json\n"
                                       "  quillpost --history --page=https://example.com/new\n");
    return help;
}

bool CHistoryCommand::Take(const QCommandLineParser& parser, QString& error)
{
    if (const QStringList files = parser.positionalArguments(); !files.isEmpty()) {
        error = tr("--history reads no list: '%1' was given.").arg(files.front());
        return false;
    }
    if (parser.isSet(Since)) {
        const QString when = parser.value(Since);
        m_since = SinceOf(when, std::chrono::system_clock::now());
        if (!m_since) {
            error = tr("--since takes 7d, 12h, 30m, 2026-12-01 or 2026-12-01T10:00:00Z, not '%1'.")
                        .arg(when);
            return false;
        }
    }
    if (const QStringList pages = parser.values(Page); !pages.isEmpty()) {
        const std::string page = pages.front().toStdString();
        std::string normal;
        if (pages.size() > 1) {
            error = tr("One --page at a time: '%1' and '%2' were given.")
                        .arg(QString::fromStdString(MaskPassword(page)),
                            QString::fromStdString(MaskPassword(pages[1].toStdString())));
            return false;
        }
        if (!NormalAddress(page, normal)) {
            error = tr("--page takes a page's whole http or https address, not '%1'.")
                        .arg(QString::fromStdString(MaskPassword(page)));
            return false;
        }
        m_page = page;
    }
    return TakeFormat(parser, error);
}

int CHistoryCommand::Run()
{
    CText unknown;
    const std::string path = ProgramFolders::HistoryFile(unknown);
    if (path.empty()) {
        //: %1 says why no state folder is known, as "HOME is not set"
        Say(tr("The history cannot be found: %1.").arg(CResultText::Translated(unknown)));
        return ExitUnusable;
    }
    return Read(path);
}

int CHistoryCommand::Read(const std::string& path)
{
    CPostHistory history;
    CText error;
    const CPostHistory::ReadState state = history.OpenToRead(path, error);
    const auto unreadable = [&] {
        Say(tr("The history %1 could not be read: %2.")
                .arg(QString::fromStdString(path), CResultText::Translated(error)));
        return ExitUnusable;
    };
    if (state == CPostHistory::ReadState::Unreadable)
        return unreadable();
    if (OutputFormat() == Format::Csv)
        Out(m_page ? FieldsOf(CPageEvent()).CsvHeader() : FieldsOf(CPostLogEntry()).CsvHeader());
    std::size_t found = 0;
    bool read = true;
    if (state == CPostHistory::ReadState::Opened && m_page) {
        read = history.PageLog(
            *m_page, m_since,
            [&](const CPageEvent& event) {
                ++found;
                Write(event);
            },
            error);
    } else if (state == CPostHistory::ReadState::Opened) {
        read = history.ReadLog(
            m_since, [this](const CPostLogEntry& entry) { Write(entry); }, error);
    }
    if (!read) {
        Out(std::string(), true);
        return unreadable();
    }
    const bool never = m_page && found == 0;
    if (never && OutputFormat() == Format::Text)
        Out(tr("Never sent").toStdString() + '\n');
    if (!Out(std::string(), true))
        return ExitUnusable;
    return never ? ExitFailed : ExitSucceeded;
}

template <class Record> void CHistoryCommand::Write(const Record& record)
{
    if (OutputFormat() == Format::Text)
        Out(TextLine(record).toStdString() + '\n');
    else if (OutputFormat() == Format::Json)
        Out(FieldsOf(record).JsonLine());
    else
        Out(FieldsOf(record).CsvLine());
}

QString CHistoryCommand::OutcomeText(const CPostLogEntry& entry) const
{
    QString status = QString::fromStdString(StatusLine(entry.m_status, entry.m_strReason));
    if (!entry.m_strServiceMessage.empty())
        status += QStringLiteral(" · ") + QString::fromStdString(entry.m_strServiceMessage);
    qsizetype width = 0;
    for (const PostOutcome outcome :
        {PostOutcome::Succeeded, PostOutcome::Failed, PostOutcome::NotPosted, PostOutcome::Stopped,
            PostOutcome::Unchanged, PostOutcome::Baseline})
        width = std::max(width, LineWord(outcome).size());
    return LineWord(entry.m_outcome).leftJustified(width) + QStringLiteral("  ")
        + CResultText::Printable(status);
}

QString CHistoryCommand::TextLine(const CPostLogEntry& entry) const
{
    return QString::fromStdString(LocalStamp(entry.m_time)) + QStringLiteral("  ")
        + OutcomeText(entry) + QStringLiteral("  ")
        + CResultText::Printable(QString::fromStdString(MaskPassword(entry.m_strUrl)));
}

QString CHistoryCommand::TextLine(const CPageEvent& event) const
{
    const CLoggedAddress& page = event.m_address;
    qsizetype width = 0;
    for (const AddressFate fate : Fates)
        width = std::max(width, CResultText::Fate(fate).size());
    // A baseline's post sent nothing: its outcome would only say "baseline" again.
    QString what;
    if (page.m_fate == AddressFate::LeftOut)
        what = CResultText::Printable(QString::fromStdString(page.m_strReason));
    else if (page.m_fate != AddressFate::Baseline)
        what = OutcomeText(event.m_entry);
    if (!what.isEmpty())
        what += QStringLiteral("  ");
    return QString::fromStdString(LocalStamp(event.m_entry.m_time)) + QStringLiteral("  ")
        + CResultText::Fate(page.m_fate).leftJustified(width) + QStringLiteral("  ") + what
        + CResultText::Printable(QString::fromStdString(MaskPassword(event.m_entry.m_strUrl)));
}

bool CHistoryCommand::Out(const std::string& bytes, bool flush)
{
    if (OutputLost())
        return false;
    m_strPending += bytes;
    if (!flush && m_strPending.size() < WriteSize)
        return true;
    const bool written = Emit(stdout, m_strPending);
    m_strPending.clear();
    return written;
}
