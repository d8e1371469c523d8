#include "app/HistoryModel.h"

#include "core/net/Address.h"
#include "core/post/PostResult.h"
#include "core/text/ResultRecord.h"
#include "core/text/TimeText.h"
#include "runs/ResultText.h"

#include <QFont>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <utility>

CHistoryModel::CHistoryModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

CHistoryModel::~CHistoryModel() = default;

CHistoryModel::CLoaded CHistoryModel::Read(const std::string& path,
    const std::optional<CPostHistory::CTarget>& first, const std::atomic<bool>& stop)
{
    CLoaded loaded;
    CPostHistory history;
    CText error;
    loaded.m_state = history.OpenToRead(path, error);
    if (loaded.m_state != CPostHistory::ReadState::Opened) {
        loaded.m_strWhy = CResultText::Translated(error);
        return loaded;
    }
    // A handful of outcomes, each translated once and its text shared by every entry.
    std::vector<std::pair<PostOutcome, QString>> outcomes;
    const auto outcomeText = [&outcomes](PostOutcome outcome) {
        for (const auto& [known, text] : outcomes) {
            if (known == outcome)
                return text;
        }
        return outcomes.emplace_back(outcome, CResultText::Translated(OutcomeName(outcome))).second;
    };
    // Body kinds, sources and reasons repeat from entry to entry: each field keeps the texts
    // it saw last, so that most entries share them rather than each make its own.
    struct CRecent
    {
        std::vector<std::pair<std::string, QString>> m_texts;
        QString operator()(const std::string& text)
        {
            if (text.empty())
                return QString();
            for (const auto& [seen, shared] : m_texts) {
                if (seen == text)
                    return shared;
            }
            QString made = QString::fromStdString(text);
            if (m_texts.size() < 16)
                m_texts.emplace_back(text, made);
            return made;
        }
    };
    CRecent bodies;
    CRecent sources;
    CRecent reasons;
    const std::string firstUrl = first ? MaskPassword(first->m_strUrl) : std::string();
    // The log comes oldest first: the target's entries and the others apart, each to be
    // turned round at the end.
    std::vector<CEntry> others;
    std::vector<CEntry>& ofTarget = loaded.m_entries;
    const bool read = history.ReadLog(
        std::nullopt,
        [&](const CPostLogEntry& log) {
            if (stop)
                return;
            CEntry entry;
            entry.m_time = log.m_time;
            entry.m_run = log.m_run;
            entry.m_outcome = log.m_outcome;
            entry.m_strOutcome = outcomeText(log.m_outcome);
            entry.m_strUrl = QString::fromStdString(log.m_strUrl);
            entry.m_strBody = bodies(log.m_strBody);
            entry.m_strChanges = sources(log.m_strChanges);
            entry.m_status = log.m_status;
            entry.m_strReason = reasons(log.m_strReason);
            entry.m_strMessage = QString::fromStdString(log.m_strServiceMessage);
            entry.m_seconds = log.m_seconds;
            entry.m_addresses = log.m_addresses;
            entry.m_bOfTarget = first && log.m_strUrl == firstUrl
                && log.m_strBody == first->m_strBody && log.m_strChanges == first->m_strSource;
            (entry.m_bOfTarget ? ofTarget : others).push_back(std::move(entry));
        },
        error);
    if (!read || stop) {
        loaded.m_state = CPostHistory::ReadState::Unreadable;
        loaded.m_strWhy = CResultText::Translated(error);
        loaded.m_entries.clear();
        return loaded;
    }
    ofTarget.reserve(ofTarget.size() + others.size());
    std::reverse(ofTarget.begin(), ofTarget.end());
    ofTarget.insert(ofTarget.end(), std::make_move_iterator(others.rbegin()),
        std::make_move_iterator(others.rend()));
    return loaded;
}

void CHistoryModel::SetEntries(std::vector<CEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    Refilter();
    endResetModel();
}

void CHistoryModel::SetFilter(const QString& text)
{
    if (text == m_strFilter)
        return;
    beginResetModel();
    m_strFilter = text;
    Refilter();
    endResetModel();
}

void CHistoryModel::SetRun(std::optional<std::int64_t> run)
{
    if (run == m_run)
        return;
    beginResetModel();
    m_run = run;
    Refilter();
    endResetModel();
}

std::size_t CHistoryModel::RunSize(std::int64_t run) const
{
    return static_cast<std::size_t>(std::count_if(m_entries.begin(), m_entries.end(),
        [run](const CEntry& entry) { return entry.m_run == run; }));
}

bool CHistoryModel::Passes(const CEntry& entry) const
{
    if (m_run && entry.m_run != *m_run)
        return false;
    return m_strFilter.isEmpty() || entry.m_strUrl.contains(m_strFilter, Qt::CaseInsensitive)
        || entry.m_strOutcome.contains(m_strFilter, Qt::CaseInsensitive)
        || entry.m_strMessage.contains(m_strFilter, Qt::CaseInsensitive);
}

void CHistoryModel::Refilter()
{
    m_shown.clear();
    m_shown.reserve(m_entries.size());
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (Passes(m_entries[i]))
            m_shown.push_back(static_cast<int>(i));
    }
}

const CHistoryModel::CEntry* CHistoryModel::EntryAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    return &m_entries[static_cast<std::size_t>(m_shown[static_cast<std::size_t>(row)])];
}

std::string CHistoryModel::ShownCsv() const
{
    // The rows in the order the log keeps them: the list shows them newest first, a target's
    // first; each part in the log's order turned round.
    std::vector<int> rows(m_shown.rbegin(), m_shown.rend());
    std::stable_sort(rows.begin(), rows.end(), [this](int a, int b) {
        return m_entries[static_cast<std::size_t>(a)].m_time
            < m_entries[static_cast<std::size_t>(b)].m_time;
    });
    std::string csv = FieldsOf(CPostLogEntry()).CsvHeader();
    for (const int row : rows)
        csv += FieldsOf(m_entries[static_cast<std::size_t>(row)].LogEntry()).CsvLine();
    return csv;
}

QString CHistoryModel::CEntry::StatusText() const
{
    return QString::fromStdString(StatusLine(m_status, m_strReason.toStdString()));
}

CPostLogEntry CHistoryModel::CEntry::LogEntry() const
{
    CPostLogEntry entry;
    entry.m_time = m_time;
    entry.m_run = m_run;
    entry.m_strUrl = m_strUrl.toStdString();
    entry.m_strBody = m_strBody.toStdString();
    entry.m_strChanges = m_strChanges.toStdString();
    entry.m_outcome = m_outcome;
    entry.m_status = m_status;
    entry.m_strReason = m_strReason.toStdString();
    entry.m_strServiceMessage = m_strMessage.toStdString();
    entry.m_seconds = m_seconds;
    entry.m_addresses = m_addresses;
    return entry;
}

QString CHistoryModel::TimeText(const CEntry& entry) const
{
    return CResultText::Translated(LocalTime(entry.m_time));
}

int CHistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int CHistoryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CHistoryModel::data(const QModelIndex& index, int role) const
{
    const CEntry* entry = EntryAt(index.row());
    if (!entry)
        return QVariant();
    if (role == Qt::FontRole && entry->m_bOfTarget) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::TextAlignmentRole && index.column() == AddressesColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return QVariant();
    switch (index.column()) {
    case TimeColumn:
        return TimeText(*entry);
    case OutcomeColumn:
        return entry->m_strOutcome;
    case UrlColumn:
        return entry->m_strUrl;
    case StatusColumn:
        return entry->StatusText();
    case MessageColumn:
        return entry->m_strMessage;
    case AddressesColumn:
        return CResultText::Count(
            static_cast<std::size_t>(std::max<qint64>(entry->m_addresses, 0)));
    default:
        return QVariant();
    }
}

QVariant CHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case TimeColumn:
        //: Heading of the History window's column of when a post was made
        return tr("Time");
    case OutcomeColumn:
        return tr("Outcome");
    case UrlColumn:
        return tr("URL");
    case StatusColumn:
        //: Heading of the History window's column of the service's status and reason, or why
        //: the post got no answer: "503 Service Unavailable"
        return tr("Status");
    case MessageColumn:
        //: Heading of the History window's column of what the service said in its answer
        return tr("Service Message");
    case AddressesColumn:
        //: Heading of the History window's column of how many of the site's addresses a post
        //: carried
        return tr("Addresses");
    default:
        return QVariant();
    }
}
