#include "core/history/AddressLog.h"

#include "core/history/SqliteDatabase.h"

#include <sqlite3.h>

#include <iterator>
#include <string>

namespace {

enum Sql
{
    AddSql,
    PruneByTimeSql,
    PruneByCountSql,
    PruneAddressesSql,
    PageSql,
    OfEntrySql,
    SqlCount
};

std::string SqlText(int id)
{
    switch (id) {
    case AddSql:
        return "INSERT INTO address_log(log, address, fate, reason) VALUES(?1, ?2, ?3, ?4)";
    case PruneByTimeSql:
        return "DELETE FROM address_log WHERE log IN (SELECT id FROM log WHERE time < ?1)";
    case PruneByCountSql:
        return "DELETE FROM address_log WHERE log IN"
               " (SELECT id FROM log ORDER BY time DESC, id DESC LIMIT -1 OFFSET ?1)";
    case PruneAddressesSql:
        // Ids only grow, so that those below the newest ones' are the oldest; counting the
        // rows themselves would read them all.
        return "DELETE FROM address_log WHERE id <= (SELECT max(id) FROM address_log) - ?1";
    case PageSql:
        return std::string("SELECT a.fate, a.reason, ") + LogColumns
            + " FROM address_log AS a JOIN log ON log.id = a.log"
              " WHERE a.address = ?1 AND log.time >= ?2 ORDER BY log.time DESC, log.id DESC";
    case OfEntrySql:
        return "SELECT address, fate, reason FROM address_log WHERE log = ?1 ORDER BY id";
    default:
        return std::string();
    }
}

void ReadAddress(const CSqliteStatement& row, int first, CLoggedAddress& address)
{
    // A word of a later program reads as left out, which promises nothing went.
    address.m_fate = FateOf(row.Text(first)).value_or(AddressFate::LeftOut);
    address.m_strReason.assign(row.Text(first + 1));
}

} // namespace

CAddressLog::CAddressLog() = default;
CAddressLog::CAddressLog(CAddressLog&&) noexcept = default;
CAddressLog& CAddressLog::operator=(CAddressLog&&) noexcept = default;
CAddressLog::~CAddressLog() = default;

void CAddressLog::Close()
{
    m_statements.clear();
}

CSqliteStatement* CAddressLog::Statement(CSqliteDatabase& db, int id, int& rc)
{
    if (m_statements.empty())
        m_statements.resize(SqlCount);
    CSqliteStatement& statement = m_statements[id];
    rc = SQLITE_OK;
    if (!statement.IsPrepared())
        rc = db.Prepare(SqlText(id).c_str(), statement);
    return rc == SQLITE_OK ? &statement : nullptr;
}

int CAddressLog::Add(
    CSqliteDatabase& db, std::int64_t entry, const std::vector<CLoggedAddress>& addresses)
{
    int rc = SQLITE_DONE;
    CSqliteStatement* add = addresses.empty() ? nullptr : Statement(db, AddSql, rc);
    if (!addresses.empty() && !add)
        return rc;
    for (const CLoggedAddress& address : addresses) {
        CSqliteReset reset(*add);
        rc = add->BindInt64(1, entry)
                 .BindText(2, address.m_strAddress)
                 .BindText(3, FateWord(address.m_fate))
                 .BindText(4, address.m_strReason)
                 .Step();
        if (rc != SQLITE_DONE)
            return rc;
    }
    return SQLITE_DONE;
}

int CAddressLog::Prune(CSqliteDatabase& db, std::int64_t oldestMillis, std::int64_t keptEntries,
    std::int64_t keptAddresses)
{
    const std::pair<int, std::int64_t> steps[] = {
        {PruneByTimeSql, oldestMillis},
        {PruneByCountSql, keptEntries},
        {PruneAddressesSql, keptAddresses},
    };
    for (const auto& [id, bound] : steps) {
        int rc;
        CSqliteStatement* prune = Statement(db, id, rc);
        if (!prune)
            return rc;
        CSqliteReset reset(*prune);
        rc = prune->BindInt64(1, bound).Step();
        if (rc != SQLITE_DONE)
            return rc;
    }
    return SQLITE_DONE;
}

int CAddressLog::Page(CSqliteDatabase& db, const std::string& address, std::int64_t sinceMillis,
    const std::function<void(const CPageEvent&)>& each)
{
    int rc;
    CSqliteStatement* page = Statement(db, PageSql, rc);
    if (!page)
        return rc;
    CSqliteReset reset(*page);
    page->BindText(1, address).BindInt64(2, sinceMillis);
    CPageEvent event;
    event.m_address.m_strAddress = address;
    while ((rc = page->Step()) == SQLITE_ROW) {
        ReadAddress(*page, 0, event.m_address);
        ReadLogColumns(*page, 2, event.m_entry);
        each(event);
    }
    return rc;
}

int CAddressLog::OfEntry(
    CSqliteDatabase& db, std::int64_t entry, std::vector<CLoggedAddress>& addresses)
{
    addresses.clear();
    int rc;
    CSqliteStatement* of = Statement(db, OfEntrySql, rc);
    if (!of)
        return rc;
    CSqliteReset reset(*of);
    of->BindInt64(1, entry);
    while ((rc = of->Step()) == SQLITE_ROW) {
        CLoggedAddress address;
        address.m_strAddress.assign(of->Text(0));
        ReadAddress(*of, 1, address);
        addresses.push_back(std::move(address));
    }
    return rc;
}
