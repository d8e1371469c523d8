// CPostHistory's post log and what it keeps for the runs to come.
#include "core/history/PostHistory.h"

#include "core/history/PostHistorySql.h"
#include "core/source/SourceAddress.h"
#include "core/text/Utf8.h"

#include <sqlite3.h>

#include <limits>

using namespace PostHistorySql;

bool CPostHistory::NextRun(std::int64_t& run, CText& error)
{
    if (!Statement(CountRunSql, error) || !Statement(LastRunSql, error))
        return false;
    return InTransaction(error, [&] {
        CSqliteStatement& count = m_statements[CountRunSql];
        CSqliteStatement& last = m_statements[LastRunSql];
        CSqliteReset resetCount(count);
        CSqliteReset resetLast(last);
        if (count.Step() != SQLITE_DONE || last.Step() != SQLITE_ROW) {
            error = Failure(CannotWrite);
            return false;
        }
        run = last.Int64(0);
        last.Reset();
        return true;
    });
}

bool CPostHistory::Log(const std::vector<CPostLogEntry>& entries, CText& error)
{
    CSqliteStatement* add = Statement(AddLogSql, error);
    if (!add)
        return false;
    return InTransaction(error, [&] {
        for (const CPostLogEntry& entry : entries) {
            CSqliteReset reset(*add);
            add->BindInt64(1, Millis(entry.m_time))
                .BindInt64(2, entry.m_run)
                .BindText(3, entry.m_strUrl)
                .BindText(4, entry.m_strBody)
                .BindText(5, entry.m_strChanges)
                .BindText(6, OutcomeWord(entry.m_outcome))
                .BindInt64(7, entry.m_status)
                .BindText(8, entry.m_strReason)
                .BindText(9, FirstCharacters(entry.m_strServiceMessage, ServiceMessageLength))
                .BindDouble(10, entry.m_seconds)
                .BindInt64(11, entry.m_addresses);
            if (!Wrote(add->Step(), error)
                || !Wrote(
                    m_addressLog.Add(m_db, m_db.LastInsertRowid(), entry.m_addressLog), error))
                return false;
        }
        return true;
    });
}

bool CPostHistory::Prune(Time now, CText& error)
{
    if (!Statement(PruneByTimeSql, error) || !Statement(PruneByCountSql, error))
        return false;
    return InTransaction(error, [&] {
        const auto oldest = now - std::chrono::hours(24 * KeptDays);
        CSqliteStatement& byTime = m_statements[PruneByTimeSql];
        CSqliteStatement& byCount = m_statements[PruneByCountSql];
        CSqliteReset resetTime(byTime);
        CSqliteReset resetCount(byCount);
        return Wrote(m_addressLog.Prune(
                         m_db, Millis(oldest), KeptEntries, m_limits.m_maxLoggedAddresses),
                   error)
            && Wrote(byTime.BindInt64(1, Millis(oldest)).Step(), error)
            && Wrote(byCount.BindInt64(1, KeptEntries).Step(), error);
    });
}

bool CPostHistory::ReadLog(
    std::optional<Time> since, const std::function<void(const CPostLogEntry&)>& each, CText& error)
{
    CSqliteStatement* read = Statement(ReadLogSql, error);
    if (!read)
        return false;
    CSqliteReset reset(*read);
    read->BindInt64(1, since ? Millis(*since) : std::numeric_limits<std::int64_t>::min());
    // One entry, refilled row by row, so that its strings keep their buffers.
    CPostLogEntry entry;
    int rc;
    while ((rc = read->Step()) == SQLITE_ROW) {
        ReadLogColumns(*read, 0, entry);
        each(entry);
    }
    if (rc != SQLITE_DONE) {
        error = Failure(CannotRead);
        return false;
    }
    return true;
}

bool CPostHistory::RecentOutcomes(const std::string& url, const std::string& body,
    const std::string& changes, std::size_t runs, std::vector<CRunOutcomes>& outcomes, CText& error)
{
    outcomes.clear();
    CSqliteStatement* recent = Statement(RecentOutcomesSql, error);
    if (!recent)
        return false;
    CSqliteReset reset(*recent);
    const auto limit = static_cast<std::int64_t>(
        std::min<std::size_t>(runs, std::numeric_limits<std::int64_t>::max()));
    recent->BindText(1, url).BindText(2, body).BindText(3, changes).BindInt64(4, limit);
    int rc;
    while ((rc = recent->Step()) == SQLITE_ROW) {
        const std::int64_t run = recent->Int64(0);
        if (outcomes.empty() || outcomes.back().m_run != run)
            outcomes.push_back({run, {}});
        outcomes.back().m_outcomes.push_back(
            OutcomeOf(recent->Text(1)).value_or(PostOutcome::Failed));
    }
    if (rc != SQLITE_DONE) {
        error = Failure(CannotRead);
        return false;
    }
    return true;
}

bool CPostHistory::LastLogId(std::int64_t& id, CText& error)
{
    CSqliteStatement* last = Statement(LastLogIdSql, error);
    if (!last)
        return false;
    CSqliteReset reset(*last);
    if (last->Step() != SQLITE_ROW) {
        error = Failure(CannotRead);
        return false;
    }
    id = last->Int64(0);
    return true;
}

bool CPostHistory::AfterFailure(std::int64_t run, std::int64_t afterId,
    std::set<std::tuple<std::string, std::string, std::string>>& targets, CText& error)
{
    targets.clear();
    CSqliteStatement* after = Statement(AfterFailureSql, error);
    if (!after)
        return false;
    CSqliteReset reset(*after);
    after->BindInt64(1, run).BindInt64(2, afterId);
    int rc;
    while ((rc = after->Step()) == SQLITE_ROW) {
        targets.emplace(
            std::string(after->Text(0)), std::string(after->Text(1)), std::string(after->Text(2)));
    }
    if (rc != SQLITE_DONE) {
        error = Failure(CannotRead);
        return false;
    }
    return true;
}

bool CPostHistory::Untold(std::vector<CStreakAlert>& alerts, CText& error)
{
    alerts.clear();
    CSqliteStatement* untold = Statement(UntoldSql, error);
    if (!untold)
        return false;
    CSqliteReset reset(*untold);
    int rc;
    while ((rc = untold->Step()) == SQLITE_ROW) {
        alerts.push_back({std::string(untold->Text(0)), std::string(untold->Text(1)),
            std::string(untold->Text(2)), untold->Int64(3) != 0, std::string(untold->Text(4))});
    }
    if (rc != SQLITE_DONE) {
        error = Failure(CannotRead);
        return false;
    }
    return true;
}

bool CPostHistory::KeepUntold(const std::vector<CStreakAlert>& alerts, CText& error)
{
    if (!Statement(ClearUntoldSql, error) || !Statement(AddUntoldSql, error))
        return false;
    return InTransaction(error, [&] {
        CSqliteStatement& clear = m_statements[ClearUntoldSql];
        CSqliteStatement& add = m_statements[AddUntoldSql];
        CSqliteReset resetClear(clear);
        if (!Wrote(clear.Step(), error))
            return false;
        for (const CStreakAlert& alert : alerts) {
            CSqliteReset resetAdd(add);
            add.BindText(1, alert.m_strUrl)
                .BindText(2, alert.m_strBody)
                .BindText(3, alert.m_strChanges)
                .BindInt64(4, alert.m_bFailing ? 1 : 0)
                .BindText(5, alert.m_strReason);
            if (!Wrote(add.Step(), error))
                return false;
        }
        return true;
    });
}

bool CPostHistory::LastLoggedSuccess(const std::string& url, const std::string& body,
    const std::string& changes, std::optional<Time>& lastSuccess, CText& error)
{
    lastSuccess.reset();
    CSqliteStatement* last = Statement(LastLoggedSuccessSql, error);
    if (!last)
        return false;
    CSqliteReset reset(*last);
    last->BindText(1, url).BindText(2, body).BindText(3, changes);
    if (last->Step() != SQLITE_ROW) {
        error = Failure(CannotRead);
        return false;
    }
    if (!last->IsNull(0))
        lastSuccess = FromMillis(last->Int64(0));
    return true;
}

bool CPostHistory::PageLog(const std::string& page, std::optional<Time> since,
    const std::function<void(const CPageEvent&)>& each, CText& error)
{
    std::string normal;
    if (!IsOpen(error))
        return false;
    if (!NormalAddress(page, normal))
        return true;
    const int rc = m_addressLog.Page(
        m_db, normal, since ? Millis(*since) : std::numeric_limits<std::int64_t>::min(), each);
    if (rc == SQLITE_DONE)
        return true;
    error = Failure(CannotRead);
    return false;
}

bool CPostHistory::AddressesOf(
    std::int64_t entry, std::vector<CLoggedAddress>& addresses, CText& error)
{
    if (!IsOpen(error))
        return false;
    if (m_addressLog.OfEntry(m_db, entry, addresses) == SQLITE_DONE)
        return true;
    error = Failure(CannotRead);
    return false;
}
