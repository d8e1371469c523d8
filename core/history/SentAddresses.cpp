#include "core/history/SentAddresses.h"

#include "core/history/SqliteDatabase.h"
#include "core/source/SourceAddress.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct CRespelt
{
    std::int64_t m_target = 0;
    std::string m_strAddress;
    std::string m_strNormal;
};

// The row moved to its normal spelling, or merged into the row already there. SQLite's max()
// of a value and NULL is NULL, so a missing date yields to the other's.
const char* const MergeSql
    = "INSERT INTO sent(target, address, modified, sent_at, verdict)"
      " SELECT target, ?3, modified, sent_at, verdict FROM sent WHERE target = ?1 AND address = ?2"
      " ON CONFLICT(target, address) DO UPDATE SET"
      " modified = coalesce(max(modified, excluded.modified), modified, excluded.modified),"
      " verdict = CASE WHEN excluded.sent_at > sent_at THEN excluded.verdict ELSE verdict END,"
      " sent_at = max(sent_at, excluded.sent_at)";
const char* const DropSql = "DELETE FROM sent WHERE target = ?1 AND address = ?2";

} // namespace

int NormaliseSentAddresses(CSqliteDatabase& db)
{
    // Read whole before any row moves, so that no row is read twice.
    std::vector<CRespelt> respelt;
    CSqliteStatement read;
    int rc = db.Prepare("SELECT target, address FROM sent", read);
    std::string normal;
    while (rc == SQLITE_OK) {
        const int step = read.Step();
        if (step != SQLITE_ROW) {
            rc = step == SQLITE_DONE ? SQLITE_OK : step;
            break;
        }
        const std::string_view address = read.Text(1);
        if (NormalAddress(address, normal) && normal != address)
            respelt.push_back({read.Int64(0), std::string(address), normal});
    }
    read.Reset();

    CSqliteStatement merge;
    CSqliteStatement drop;
    if (rc == SQLITE_OK)
        rc = db.Prepare(MergeSql, merge);
    if (rc == SQLITE_OK)
        rc = db.Prepare(DropSql, drop);
    for (const CRespelt& row : respelt) {
        if (rc != SQLITE_OK)
            break;
        for (CSqliteStatement* statement : {&merge, &drop}) {
            const CSqliteReset reset(*statement);
            statement->BindInt64(1, row.m_target).BindText(2, row.m_strAddress);
            if (statement == &merge)
                statement->BindText(3, row.m_strNormal);
            const int step = statement->Step();
            if (step != SQLITE_DONE) {
                rc = step;
                break;
            }
        }
    }
    return rc;
}
