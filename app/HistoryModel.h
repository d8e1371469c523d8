#pragma once

#include "core/history/PostHistory.h"
#include "core/post/PostOutcome.h"

#include <QAbstractTableModel>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The post log as the History window lists it, a row an entry: when, the outcome, the target's
// URL, the status and reason, the service's message and how many addresses went. Or, for one
// page, every entry the page is in, its outcome saying what became of the page.
//
// The log is read whole off the window's thread (Read) into a vector the model then takes in
// one go, so that a log of 100,000 entries opens as fast as SQLite reads it. The filter keeps
// a list of the rows it lets through, made again on each change.
class CHistoryModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        TimeColumn = 0,
        OutcomeColumn,
        UrlColumn,
        StatusColumn,
        MessageColumn,
        AddressesColumn,
        ColumnCount
    };

    // An entry as the list and its details show it, its texts made once when the log is read.
    struct CEntry
    {
        // The log's number of the entry, by which its addresses are read.
        std::int64_t m_id = 0;
        std::chrono::system_clock::time_point m_time;
        std::int64_t m_run = 0;
        std::int64_t m_addresses = 0;
        double m_seconds = 0;
        long m_status = 0;
        PostOutcome m_outcome = PostOutcome::Failed;
        // An entry of the target asked for, shown in bold.
        bool m_bOfTarget = false;
        // The body kind, the source whose changes the target posts and the reason are few
        // texts shared by many entries: indices into the texts read with them (Text), so an
        // entry stays small and is copied without touching them.
        std::uint32_t m_body = 0;
        std::uint32_t m_changes = 0;
        std::uint32_t m_reason = 0;
        // What became of the page asked for, and why it was left out (a shared text); none in
        // the whole log.
        std::optional<AddressFate> m_fate;
        std::uint32_t m_pageReason = 0;
        QString m_strOutcome;
        QString m_strUrl;
        QString m_strMessage;
    };

    struct CLoaded
    {
        CPostHistory::ReadState m_state = CPostHistory::ReadState::NoRecord;
        // Why the file cannot be read, in the user's language.
        QString m_strWhy;
        // Newest first; the entries of the target asked for before all others.
        std::vector<CEntry> m_entries;
        // The texts the entries' indices point at; the first one empty.
        std::vector<QString> m_texts;
        // The page whose times these are, as NormalAddress writes it; empty for the log.
        std::string m_strPage;
    };

    explicit CHistoryModel(QObject* parent = nullptr);
    ~CHistoryModel() override;

    // Reads the log of the history file at path, without changing anything in it. first: a
    // target whose entries come first (the log's URLs have their passwords masked; the
    // target's is masked to compare). Safe on any thread; a raised stop ends it early with
    // no entries.
    static CLoaded Read(const std::string& path, const std::optional<CPostHistory::CTarget>& first,
        const std::atomic<bool>& stop);

    // Reads every time page is in the log of the file at path, newest first, as Read reads
    // the log; a page NormalAddress refuses finds nothing.
    static CLoaded ReadPage(const std::string& path, const std::string& page,
        const std::optional<CPostHistory::CTarget>& first, const std::atomic<bool>& stop);

    // Shows the log's entries read, in their order; kept aside while a page's times show.
    void SetEntries(CLoaded&& loaded);
    // Shows a page's times (ReadPage) instead of the log, through the same filter and run.
    void SetPage(CLoaded&& page);
    // Shows the log again.
    void ClearPage();
    // Shows only the entries whose URL, outcome or service message holds text, whatever the
    // case; all of them for an empty text.
    void SetFilter(const QString& text);
    // Shows only the entries of one run as well; of every run without one.
    void SetRun(std::optional<std::int64_t> run);
    std::optional<std::int64_t> Run() const { return m_run; }
    // Of the log or the page shown, filtered or not.
    std::size_t EntryCount() const { return Shown().m_entries.size(); }
    // How many of the log's entries belong to run.
    std::size_t RunSize(std::int64_t run) const;
    // The entry a row shows; null for a row that is not there.
    const CEntry* EntryAt(int row) const;
    // One of an entry's shared texts: Text(entry.m_body).
    const QString& Text(std::uint32_t index) const;
    // "503 Service Unavailable", or the reason alone for a post that got no answer.
    QString StatusText(const CEntry& entry) const;
    // The rows shown as the command line's CSV writes the log: its header, then oldest first;
    // a page's times as it writes them for the page, newest first.
    std::string ShownCsv() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bool Passes(const CEntry& entry) const;
    void Refilter();
    // The outcome, or what became of the page.
    QString OutcomeText(const CEntry& entry) const;
    // When, in local time as the user's language writes it.
    QString TimeText(const CEntry& entry) const;

    // As the post log keeps it.
    CPostLogEntry LogEntryOf(const CEntry& entry) const;

    const CLoaded& Shown() const { return m_bPage ? m_page : m_log; }

    CLoaded m_log;
    CLoaded m_page;
    bool m_bPage = false;
    // Indices into the entries of the log or page of the rows shown, in order.
    std::vector<int> m_shown;
    QString m_strFilter;
    std::optional<std::int64_t> m_run;
};
