#include "cli/HistoryCommand.h"

#include "core/PostOutcome.h"
#include "core/ResultRecord.h"
#include "core/Utf8.h"
#include "runs/ProgramFolders.h"
#include "runs/ResultText.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTime>
#include <QTimeZone>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Written out whenever this much has gathered: a long log is not held in memory, nor written
// a line at a time.
constexpr std::size_t WriteSize = 64 * 1024;

nlohmann::ordered_json Fields(const CPostLogEntry& entry)
{
    const double seconds = std::round(entry.m_seconds * 1000) / 1000;
    // The log keeps URLs masked already; masked again, as a log from an older version
    // may not have been. It keeps a source as the list has it, to know the target by.
    return {
        {"time", IsoUtc(entry.m_time)},
        {"run", entry.m_run},
        {"url", ShownUtf8(MaskPassword(entry.m_strUrl))},
        {"body", ShownUtf8(entry.m_strBody)},
        {"changes", ShownUtf8(MaskPassword(entry.m_strChanges))},
        {"outcome", OutcomeWord(entry.m_outcome)},
        {"success", entry.m_bSuccess},
        {"status", entry.m_status},
        {"reason", ShownUtf8(entry.m_strReason)},
        {"service_message", ShownUtf8(entry.m_strServiceMessage)},
        {"seconds", seconds},
        {"addresses", entry.m_addresses},
    };
}

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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

CHistoryCommand::CHistoryCommand(CSubmitCommand::Format format)
    : m_format(format)
{
}

int CHistoryCommand::Run(std::optional<Time> since)
{
    CText unknown;
    const std::string path = ProgramFolders::HistoryFile(unknown);
    if (path.empty()) {
        //: %1 says why no state folder is known, as "HOME is not set"
        CSubmitCommand::Say(
            tr("The history cannot be found: %1.").arg(CResultText::Translated(unknown)));
        return CSubmitCommand::ExitUnusable;
    }
    return Run(path, since);
}

int CHistoryCommand::Run(const std::string& path, std::optional<Time> since)
{
    CPostHistory history;
    CText error;
    const CPostHistory::ReadState state = history.OpenToRead(path, error);
    if (state == CPostHistory::ReadState::Unreadable) {
        CSubmitCommand::Say(tr("The history %1 could not be read: %2.")
                                .arg(QString::fromStdString(path), CResultText::Translated(error)));
        return CSubmitCommand::ExitUnusable;
    }
    if (m_format == CSubmitCommand::Format::Csv)
        Out(CsvHeader());
    if (state == CPostHistory::ReadState::Opened) {
        const bool read = history.ReadLog(
            since,
            [this](const CPostLogEntry& entry) {
                switch (m_format) {
                case CSubmitCommand::Format::Text:
                    Out(TextLine(entry).toStdString() + '\n');
                    break;
                case CSubmitCommand::Format::Json:
                    Out(JsonLine(entry));
                    break;
                case CSubmitCommand::Format::Csv:
                    Out(CsvLine(entry));
                    break;
                }
            },
            error);
        if (!read) {
            Out(std::string(), true);
            CSubmitCommand::Say(
                tr("The history %1 could not be read: %2.")
                    .arg(QString::fromStdString(path), CResultText::Translated(error)));
            return CSubmitCommand::ExitUnusable;
        }
    }
    return Out(std::string(), true) ? CSubmitCommand::ExitSucceeded : CSubmitCommand::ExitUnusable;
}

std::string CHistoryCommand::CsvHeader()
{
    std::vector<std::string> names;
    const nlohmann::ordered_json fields = Fields(CPostLogEntry());
    for (const auto& item : fields.items())
        names.push_back(item.key());
    return CsvRecord(names);
}

std::string CHistoryCommand::CsvLine(const CPostLogEntry& entry)
{
    std::vector<std::string> values;
    const nlohmann::ordered_json fields = Fields(entry);
    for (const auto& value : fields)
        values.push_back(value.is_string() ? value.get_ref<const std::string&>() : value.dump());
    return CsvRecord(values);
}

std::string CHistoryCommand::JsonLine(const CPostLogEntry& entry)
{
    return Fields(entry).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
        + '\n';
}

QString CHistoryCommand::TextLine(const CPostLogEntry& entry) const
{
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(
        std::chrono::duration_cast<std::chrono::milliseconds>(entry.m_time.time_since_epoch())
            .count());
    QString status = entry.m_status != 0 ? QString::number(entry.m_status) : QString();
    if (!entry.m_strReason.empty())
        status
            += (status.isEmpty() ? QString() : QStringLiteral(" ")) + FromUtf8(entry.m_strReason);
    if (!entry.m_strServiceMessage.empty())
        status += QStringLiteral(" · ") + FromUtf8(entry.m_strServiceMessage);
    // The outcomes line up in a column as wide as the widest of them.
    qsizetype width = 0;
    for (const PostOutcome outcome :
        {PostOutcome::Succeeded, PostOutcome::Failed, PostOutcome::NotPosted, PostOutcome::Stopped,
            PostOutcome::Unchanged, PostOutcome::Baseline})
        width = std::max(width, OutcomeText(outcome).size());
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral("  ")
        + OutcomeText(entry.m_outcome).leftJustified(width) + QStringLiteral("  ")
        + CResultText::Printable(status) + QStringLiteral("  ")
        + CResultText::Printable(FromUtf8(MaskPassword(entry.m_strUrl)));
}

QString CHistoryCommand::OutcomeText(PostOutcome outcome) const
{
    switch (outcome) {
    case PostOutcome::Waiting:
        //: The outcome of a post at the start of a line of quillpost --history
        return tr("waiting");
    case PostOutcome::Succeeded:
        //: The outcome of a post at the start of a line of quillpost --history
        return tr("succeeded");
    case PostOutcome::Failed:
        //: The outcome of a post at the start of a line of quillpost --history
        return tr("failed");
    case PostOutcome::NotPosted:
        //: The outcome of a post at the start of a line of quillpost --history
        return tr("not posted");
    case PostOutcome::Stopped:
        //: The outcome of a post at the start of a line of quillpost --history
        return tr("stopped");
    case PostOutcome::Unchanged:
        //: The outcome of a post at the start of a line of quillpost --history
        return tr("unchanged");
    case PostOutcome::Baseline:
        //: A first run that only recorded the site's addresses, in quillpost --history
        return tr("baseline");
    case PostOutcome::WouldPost:
        break;
    }
    return QString::fromLatin1(OutcomeWord(outcome));
}

bool CHistoryCommand::Out(const std::string& bytes, bool flush)
{
    if (m_bLost)
        return false;
    m_strPending += bytes;
    if (!flush && m_strPending.size() < WriteSize)
        return true;
    m_bLost = !CSubmitCommand::Print(m_strPending);
    m_strPending.clear();
    return !m_bLost;
}
