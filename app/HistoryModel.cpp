#include "app/HistoryModel.h"

#include "core/net/Address.h"
#include "core/post/PostResult.h"
#include "core/source/SourceAddress.h"
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

namespace {

// Makes the list's entries from the log's, sharing the texts that repeat among them.
class CEntryMaker
{
public:
    CEntryMaker(std::vector<QString>& texts, const std::optional<CPostHistory::CTarget>& first)
        : m_bodies{texts, {}}
        , m_sources{texts, {}}
        , m_reasons{texts, {}}
        , m_first(first)
        , m_strFirstUrl(first ? MaskPassword(first->m_strUrl) : std::string())
    {
        texts.emplace_back();
    }

    CHistoryModel::CEntry operator()(const CPostLogEntry& log)
    {
        CHistoryModel::CEntry entry;
        entry.m_id = log.m_id;
        entry.m_time = log.m_time;
        entry.m_run = log.m_run;
        entry.m_outcome = log.m_outcome;
        entry.m_strOutcome = OutcomeText(log.m_outcome);
        entry.m_strUrl = QString::fromStdString(log.m_strUrl);
        entry.m_body = m_bodies(log.m_strBody);
        entry.m_changes = m_sources(log.m_strChanges);
        entry.m_status = log.m_status;
        entry.m_reason = m_reasons(log.m_strReason);
        entry.m_strMessage = QString::fromStdString(log.m_strServiceMessage);
        entry.m_seconds = log.m_seconds;
        entry.m_addresses = log.m_addresses;
        entry.m_bOfTarget = m_first && log.m_strUrl == m_strFirstUrl
            && log.m_strBody == m_first->m_strBody && log.m_strChanges == m_first->m_strSource;
        return entry;
    }

    // What became of the page in an entry, its reason among the shared texts.
    void SetFate(CHistoryModel::CEntry& entry, const CLoggedAddress& page)
    {
        entry.m_fate = page.m_fate;
        entry.m_pageReason = m_reasons(page.m_strReason);
    }

private:
    // Body kinds, sources and reasons repeat from entry to entry: each field keeps the texts
    // it saw last, so that most entries point at one text rather than each make its own.
    struct CRecent
    {
        std::vector<QString>& m_texts;
        std::vector<std::pair<std::string, std::uint32_t>> m_seen;
        std::uint32_t operator()(const std::string& text)
        {
            if (text.empty())
                return 0;
            for (const auto& [seen, index] : m_seen) {
                if (seen == text)
                    return index;
            }
            const auto index = static_cast<std::uint32_t>(m_texts.size());
            m_texts.push_back(QString::fromStdString(text));
            if (m_seen.size() < 16)
                m_seen.emplace_back(text, index);
            return index;
        }
    };

    // A handful of outcomes, each translated once and its text shared by every entry.
    QString OutcomeText(PostOutcome outcome)
    {
        for (const auto& [known, text] : m_outcomes) {
            if (known == outcome)
                return text;
        }
        return m_outcomes.emplace_back(outcome, CResultText::Translated(OutcomeName(outcome)))
            .second;
    }

    CRecent m_bodies;
    CRecent m_sources;
    CRecent m_reasons;
    std::vector<std::pair<PostOutcome, QString>> m_outcomes;
    const std::optional<CPostHistory::CTarget>& m_first;
    const std::string m_strFirstUrl;
};

// Opens the file at path to read into loaded; false, with loaded saying why, when there is
// nothing to read.
bool OpenToRead(CPostHistory& history, const std::string& path, CHistoryModel::CLoaded& loaded)
{
    CText error;
    loaded.m_state = history.OpenToRead(path, error);
    if (loaded.m_state == CPostHistory::ReadState::Unreadable)
        loaded.m_strWhy = CResultText::Translated(error);
    return loaded.m_state == CPostHistory::ReadState::Opened;
}

// A read that failed, or was stopped, shows nothing.
void Unread(CHistoryModel::CLoaded& loaded, const CText& error)
{
    loaded.m_state = CPostHistory::ReadState::Unreadable;
    loaded.m_strWhy = CResultText::Translated(error);
    loaded.m_entries.clear();
}

} // namespace

CHistoryModel::CLoaded CHistoryModel::Read(const std::string& path,
    const std::optional<CPostHistory::CTarget>& first, const std::atomic<bool>& stop)
{
    CLoaded loaded;
    CPostHistory history;
    if (!OpenToRead(history, path, loaded))
        return loaded;
    CEntryMaker make(loaded.m_texts, first);
    // The log comes oldest first: the target's entries and the others apart, each to be
    // turned round at the end.
    std::vector<CEntry> others;
    std::vector<CEntry>& ofTarget = loaded.m_entries;
    CText error;
    const bool read = history.ReadLog(
        std::nullopt,
        [&](const CPostLogEntry& log) {
            if (stop)
                return;
            CEntry entry = make(log);
            (entry.m_bOfTarget ? ofTarget : others).push_back(std::move(entry));
        },
        error);
    if (!read || stop) {
        Unread(loaded, error);
        return loaded;
    }
    ofTarget.reserve(ofTarget.size() + others.size());
    std::reverse(ofTarget.begin(), ofTarget.end());
    ofTarget.insert(ofTarget.end(), std::make_move_iterator(others.rbegin()),
        std::make_move_iterator(others.rend()));
    return loaded;
}

CHistoryModel::CLoaded CHistoryModel::ReadPage(const std::string& path, const std::string& page,
    const std::optional<CPostHistory::CTarget>& first, const std::atomic<bool>& stop)
{
    CLoaded loaded;
    NormalAddress(page, loaded.m_strPage);
    CPostHistory history;
    if (loaded.m_strPage.empty() || !OpenToRead(history, path, loaded))
        return loaded;
    CEntryMaker make(loaded.m_texts, first);
    CText error;
    const bool read = history.PageLog(
        loaded.m_strPage, std::nullopt,
        [&](const CPageEvent& event) {
            if (stop)
                return;
            CEntry entry = make(event.m_entry);
            make.SetFate(entry, event.m_address);
            loaded.m_entries.push_back(std::move(entry));
        },
        error);
    if (!read || stop)
        Unread(loaded, error);
    return loaded;
}

void CHistoryModel::SetEntries(CLoaded&& loaded)
{
    // Kept aside while the list shows a page's times.
    if (m_bPage) {
        m_log = std::move(loaded);
        return;
    }
    beginResetModel();
    m_log = std::move(loaded);
    Refilter();
    endResetModel();
}

void CHistoryModel::SetPage(CLoaded&& page)
{
    beginResetModel();
    m_page = std::move(page);
    m_bPage = true;
    Refilter();
    endResetModel();
}

void CHistoryModel::ClearPage()
{
    if (!m_bPage)
        return;
    beginResetModel();
    m_bPage = false;
    m_page = CLoaded();
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
    return static_cast<std::size_t>(std::count_if(m_log.m_entries.begin(), m_log.m_entries.end(),
        [run](const CEntry& entry) { return entry.m_run == run; }));
}

bool CHistoryModel::Passes(const CEntry& entry) const
{
    if (m_run && entry.m_run != *m_run)
        return false;
    return m_strFilter.isEmpty() || entry.m_strUrl.contains(m_strFilter, Qt::CaseInsensitive)
        || OutcomeText(entry).contains(m_strFilter, Qt::CaseInsensitive)
        || entry.m_strMessage.contains(m_strFilter, Qt::CaseInsensitive);
}

void CHistoryModel::Refilter()
{
    const std::vector<CEntry>& entries = Shown().m_entries;
    m_shown.clear();
    m_shown.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (Passes(entries[i]))
            m_shown.push_back(static_cast<int>(i));
    }
}

const CHistoryModel::CEntry* CHistoryModel::EntryAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    return &Shown().m_entries[static_cast<std::size_t>(m_shown[static_cast<std::size_t>(row)])];
}

std::string CHistoryModel::ShownCsv() const
{
    const std::vector<CEntry>& entries = Shown().m_entries;
    const auto entry
        = [&entries](int row) -> const CEntry& { return entries[static_cast<std::size_t>(row)]; };
    // A page's times as the command line writes them, newest first, as the list shows them.
    if (m_bPage) {
        std::string csv = FieldsOf(CPageEvent()).CsvHeader();
        for (const int row : m_shown) {
            const CEntry& shown = entry(row);
            const CLoggedAddress page{m_page.m_strPage, shown.m_fate.value_or(AddressFate::Sent),
                Text(shown.m_pageReason).toStdString()};
            csv += FieldsOf(CPageEvent{LogEntryOf(shown), page}).CsvLine();
        }
        return csv;
    }
    // The rows in the order the log keeps them: the list shows them newest first, a target's
    // first; each part in the log's order turned round.
    std::vector<int> rows(m_shown.rbegin(), m_shown.rend());
    std::stable_sort(rows.begin(), rows.end(),
        [&entry](int a, int b) { return entry(a).m_time < entry(b).m_time; });
    std::string csv = FieldsOf(CPostLogEntry()).CsvHeader();
    for (const int row : rows)
        csv += FieldsOf(LogEntryOf(entry(row))).CsvLine();
    return csv;
}

const QString& CHistoryModel::Text(std::uint32_t index) const
{
    static const QString none;
    const std::vector<QString>& texts = Shown().m_texts;
    return index < texts.size() ? texts[index] : none;
}

QString CHistoryModel::StatusText(const CEntry& entry) const
{
    return CResultText::Logged(
        QString::fromStdString(StatusLine(entry.m_status, Text(entry.m_reason).toStdString())));
}

CPostLogEntry CHistoryModel::LogEntryOf(const CEntry& entry) const
{
    CPostLogEntry log;
    log.m_time = entry.m_time;
    log.m_run = entry.m_run;
    log.m_strUrl = entry.m_strUrl.toStdString();
    log.m_strBody = Text(entry.m_body).toStdString();
    log.m_strChanges = Text(entry.m_changes).toStdString();
    log.m_outcome = entry.m_outcome;
    log.m_status = entry.m_status;
    log.m_strReason = Text(entry.m_reason).toStdString();
    log.m_strServiceMessage = entry.m_strMessage.toStdString();
    log.m_seconds = entry.m_seconds;
    log.m_addresses = entry.m_addresses;
    return log;
}

QString CHistoryModel::OutcomeText(const CEntry& entry) const
{
    if (!entry.m_fate)
        return entry.m_strOutcome;
    const QString fate = CResultText::Fate(*entry.m_fate);
    // As the command line says it: a baseline's outcome would only say "baseline" again, and
    // a page left out was left out whatever the post came to.
    switch (*entry.m_fate) {
    case AddressFate::Baseline:
        return fate;
    case AddressFate::LeftOut: {
        const QString& reason = Text(entry.m_pageReason);
        if (reason.isEmpty())
            return fate;
        return fate + QStringLiteral(" · ") + CResultText::Printable(CResultText::Logged(reason));
    }
    default:
        return fate + QStringLiteral(" · ") + entry.m_strOutcome;
    }
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
        return OutcomeText(*entry);
    case UrlColumn:
        return entry->m_strUrl;
    case StatusColumn:
        return StatusText(*entry);
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
