// CPostHistory's record of what was sent.
#include "core/history/PostHistory.h"

#include "core/history/PostHistorySql.h"

#include <sqlite3.h>

#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

using Time = CPostHistory::Time;

bool IsLater(const std::optional<std::int64_t>& a, const std::optional<std::int64_t>& b)
{
    return a && (!b || *a > *b);
}

// The entry that stands for each address: the one with the latest date, the first of equals.
std::unordered_map<std::string_view, std::size_t> Distinct(const std::vector<CSourceEntry>& entries)
{
    std::unordered_map<std::string_view, std::size_t> chosen;
    chosen.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto [it, added] = chosen.emplace(entries[i].m_strAddress, i);
        if (!added && IsLater(entries[i].m_modified, entries[it->second].m_modified))
            it->second = i;
    }
    return chosen;
}

} // namespace

using namespace PostHistorySql;

struct CPostHistory::CTargetRow
{
    std::int64_t m_id = 0;
    std::optional<Time> m_lastSuccess;
};

bool CPostHistory::FindTarget(const CTarget& target, std::optional<CTargetRow>& row, CText& error)
{
    row.reset();
    CSqliteStatement* find = Statement(FindTargetSql, error);
    if (!find)
        return false;
    CSqliteReset reset(*find);
    find->BindText(1, target.m_strUrl)
        .BindText(2, target.m_strBody)
        .BindText(3, target.m_strSource);
    const int rc = find->Step();
    if (rc == SQLITE_ROW) {
        row.emplace();
        row->m_id = find->Int64(0);
        // The last post, or the baseline while there is none since.
        if (!find->IsNull(2))
            row->m_lastSuccess = FromMillis(find->Int64(2));
        else if (!find->IsNull(1))
            row->m_lastSuccess = FromMillis(find->Int64(1));
    } else if (rc != SQLITE_DONE) {
        error = Failure(CannotRead);
        return false;
    }
    return true;
}

bool CPostHistory::TargetId(const CTarget& target, std::int64_t& id, CText& error)
{
    std::optional<CTargetRow> row;
    if (!FindTarget(target, row, error))
        return false;
    if (row) {
        id = row->m_id;
        return true;
    }
    CSqliteStatement* add = Statement(AddTargetSql, error);
    if (!add)
        return false;
    CSqliteReset reset(*add);
    add->BindText(1, target.m_strUrl).BindText(2, target.m_strBody).BindText(3, target.m_strSource);
    if (!Wrote(add->Step(), error))
        return false;
    id = m_db.LastInsertRowid();
    return true;
}

bool CPostHistory::Changes(const CTarget& target, const std::vector<CSourceEntry>& source,
    CChangeSet& changes, CText& error)
{
    changes = CChangeSet();
    std::optional<CTargetRow> row;
    if (!FindTarget(target, row, error))
        return false;
    // Per entry: whether it stands for its address, and whether that address is to be sent.
    enum : unsigned char
    {
        Duplicate,
        Send,
        Keep
    };
    std::vector<unsigned char> state(source.size(), Duplicate);
    const auto chosen = Distinct(source);
    for (const auto& [address, index] : chosen)
        state[index] = Send;

    if (row) {
        changes.m_bFirstRun = false;
        changes.m_lastSuccess = row->m_lastSuccess;
        // One pass over the target's record against the source held in memory: far fewer
        // steps into SQLite than a look-up per address.
        CSqliteStatement* sent = Statement(SentOfTargetSql, error);
        if (!sent)
            return false;
        CSqliteReset reset(*sent);
        sent->BindInt64(1, row->m_id);
        int rc;
        while ((rc = sent->Step()) == SQLITE_ROW) {
            const auto found = chosen.find(sent->Text(0));
            const bool checked = !sent->IsNull(2);
            const std::string_view page = checked ? sent->Text(2) : std::string_view();
            if (found == chosen.end()) {
                if (!checked)
                    changes.m_unlisted.emplace_back(sent->Text(0));
                continue;
            }
            const std::optional<std::int64_t>& modified = source[found->second].m_modified;
            const bool redated = modified && (sent->IsNull(1) || *modified > sent->Int64(1));
            // A page that was gone, or no longer listed, and is listed again is new again.
            if (page == "removed" || page == "unlisted")
                continue;
            if (checked)
                changes.m_leftOutBefore.push_back(
                    {found->second, FromMillis(sent->Int64(3)), redated});
            else if (!modified || !redated)
                state[found->second] = Keep;
        }
        if (rc != SQLITE_DONE) {
            error = Failure(CannotRead);
            return false;
        }
    }
    for (std::size_t i = 0; i < state.size(); ++i) {
        if (state[i] == Send)
            changes.m_changed.push_back(i);
    }
    return true;
}

bool CPostHistory::LastSuccess(
    const CTarget& target, std::optional<Time>& lastSuccess, CText& error)
{
    lastSuccess.reset();
    std::optional<CTargetRow> row;
    if (!FindTarget(target, row, error))
        return false;
    if (row)
        lastSuccess = row->m_lastSuccess;
    return true;
}

bool CPostHistory::SentOf(
    const CTarget& target, const std::string& address, std::optional<CSent>& sent, CText& error)
{
    sent.reset();
    std::optional<CTargetRow> row;
    if (!FindTarget(target, row, error))
        return false;
    if (!row)
        return true;
    CSqliteStatement* one = Statement(SentOneSql, error);
    if (!one)
        return false;
    CSqliteReset reset(*one);
    one->BindInt64(1, row->m_id).BindText(2, address);
    const int rc = one->Step();
    if (rc == SQLITE_ROW) {
        sent.emplace();
        if (!one->IsNull(0))
            sent->m_modified = one->Int64(0);
        sent->m_sentAt = FromMillis(one->Int64(1));
        sent->m_strVerdict = one->Text(2);
    } else if (rc != SQLITE_DONE) {
        error = Failure(CannotRead);
        return false;
    }
    return true;
}

bool CPostHistory::PutSent(std::int64_t targetId, const std::vector<CSourceEntry>& entries,
    const std::string& verdict, Time now, CText& error, const char* page)
{
    CSqliteStatement* put = Statement(PutSentSql, error);
    if (!put)
        return false;
    // In the order of the table's key, which keeps a large baseline's pages filling up one
    // after the other.
    const auto chosen = Distinct(entries);
    std::vector<std::pair<std::string_view, std::size_t>> ordered(chosen.begin(), chosen.end());
    std::sort(ordered.begin(), ordered.end());
    const std::int64_t sentAt = Millis(now);
    for (const auto& [address, index] : ordered) {
        CSqliteReset reset(*put);
        put->BindInt64(1, targetId).BindText(2, address).BindInt64(4, sentAt).BindText(5, verdict);
        if (page)
            put->BindText(6, page);
        else
            put->BindNull(6);
        if (entries[index].m_modified)
            put->BindInt64(3, *entries[index].m_modified);
        else
            put->BindNull(3);
        if (!Wrote(put->Step(), error))
            return false;
    }
    return true;
}

bool CPostHistory::RecordBaseline(
    const CTarget& target, const std::vector<CSourceEntry>& source, Time now, CText& error)
{
    if (!Statement(ClearSentSql, error) || !Statement(SetBaselineSql, error))
        return false;
    return InTransaction(error, [&] {
        std::int64_t id = 0;
        if (!TargetId(target, id, error))
            return false;
        {
            CSqliteStatement& clear = m_statements[ClearSentSql];
            CSqliteReset reset(clear);
            if (!Wrote(clear.BindInt64(1, id).Step(), error))
                return false;
        }
        if (!PutSent(id, source, OutcomeWord(PostOutcome::Baseline), now, error))
            return false;
        CSqliteStatement& baseline = m_statements[SetBaselineSql];
        CSqliteReset reset(baseline);
        return Wrote(baseline.BindInt64(1, id).BindInt64(2, Millis(now)).Step(), error);
    });
}

bool CPostHistory::RecordSent(const CTarget& target, const std::vector<CSourceEntry>& sent,
    const std::string& verdict, Time now, CText& error)
{
    CSqliteStatement* lastPost = Statement(SetLastPostSql, error);
    if (!lastPost)
        return false;
    return InTransaction(error, [&] {
        std::int64_t id = 0;
        if (!TargetId(target, id, error) || !PutSent(id, sent, verdict, now, error))
            return false;
        CSqliteReset reset(*lastPost);
        return Wrote(lastPost->BindInt64(1, id).BindInt64(2, Millis(now)).Step(), error);
    });
}

bool CPostHistory::RecordChecked(
    const CTarget& target, const std::vector<CCheckedAddress>& checked, Time now, CText& error)
{
    if (checked.empty())
        return true;
    return InTransaction(error, [&] {
        std::int64_t id = 0;
        if (!TargetId(target, id, error))
            return false;
        for (const CCheckedAddress& address : checked) {
            if (!PutSent(id, {address.m_entry}, address.m_strReason, now, error,
                    address.m_strPage.c_str()))
                return false;
        }
        return true;
    });
}

bool CPostHistory::Forget(const CTarget& target, CText& error)
{
    if (!Statement(ClearSentSql, error) || !Statement(DeleteTargetSql, error))
        return false;
    return InTransaction(error, [&] {
        std::optional<CTargetRow> row;
        if (!FindTarget(target, row, error))
            return false;
        if (!row)
            return true;
        for (const int id : {ClearSentSql, DeleteTargetSql}) {
            CSqliteStatement& statement = m_statements[id];
            CSqliteReset reset(statement);
            if (!Wrote(statement.BindInt64(1, row->m_id).Step(), error))
                return false;
        }
        return true;
    });
}
