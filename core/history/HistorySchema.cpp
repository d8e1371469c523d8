#include "core/history/HistorySchema.h"

#include "core/history/SentAddresses.h"

#include <sqlite3.h>

#include <iterator>

namespace {

// Step by step from an empty file: migration n takes user_version n to n + 1, in a
// transaction of its own. A step, once released, is never changed; a new one is added.
const char* const Migrations[] = {
    // The record: a target's baseline and last post are what its last success is told
    // from. Addresses are kept by target, one row each, in the order of the key.
    "CREATE TABLE target("
    " id INTEGER PRIMARY KEY,"
    " url TEXT NOT NULL,"
    " body TEXT NOT NULL,"
    " source TEXT NOT NULL,"
    " baseline INTEGER,"
    " last_post INTEGER,"
    " UNIQUE(url, body, source));"
    "CREATE TABLE sent("
    " target INTEGER NOT NULL,"
    " address TEXT NOT NULL,"
    " modified INTEGER,"
    " sent_at INTEGER NOT NULL,"
    " verdict TEXT NOT NULL,"
    " PRIMARY KEY(target, address)) WITHOUT ROWID;"
    // The post log, times in milliseconds since 1970 UTC. The run counter is kept apart
    // from the log, whose pruning must not make run numbers go back.
    "CREATE TABLE log("
    " id INTEGER PRIMARY KEY,"
    " time INTEGER NOT NULL,"
    " run INTEGER NOT NULL,"
    " url TEXT NOT NULL,"
    " body TEXT NOT NULL,"
    " changes TEXT NOT NULL,"
    " outcome TEXT NOT NULL,"
    " success INTEGER NOT NULL,"
    " status INTEGER NOT NULL,"
    " reason TEXT NOT NULL,"
    " service_message TEXT NOT NULL,"
    " seconds REAL NOT NULL,"
    " addresses INTEGER NOT NULL);"
    "CREATE INDEX log_by_time ON log(time);"
    "CREATE INDEX log_by_target ON log(url, body, changes, run);"
    "CREATE TABLE run_counter(value INTEGER NOT NULL);"
    "INSERT INTO run_counter VALUES(0);"
    "PRAGMA user_version = 1;",
    // Word of a target's streak that no run has told yet, by the target's key in the log, in
    // the order it was found.
    "CREATE TABLE untold("
    " url TEXT NOT NULL,"
    " body TEXT NOT NULL,"
    " changes TEXT NOT NULL,"
    " failing INTEGER NOT NULL,"
    " reason TEXT NOT NULL,"
    " UNIQUE(url, body, changes));"
    "PRAGMA user_version = 2;",
    // What was sent, in the spelling sources give addresses in (see AfterStep).
    "PRAGMA user_version = 3;",
    // The addresses of the post log (CAddressLog): found by address, and pruned with their
    // entries.
    "CREATE TABLE address_log("
    " id INTEGER PRIMARY KEY,"
    " log INTEGER NOT NULL,"
    " address TEXT NOT NULL,"
    " fate TEXT NOT NULL,"
    " reason TEXT NOT NULL);"
    "CREATE INDEX address_log_by_address ON address_log(address, log);"
    "CREATE INDEX address_log_by_log ON address_log(log);"
    "PRAGMA user_version = 4;",
    // What a page check found of an address that was not sent: left out for a reason of the
    // page (a verdict word), "removed" once announced as gone, or "unlisted" when the source
    // no longer lists a page that is still there. NULL for one sent or recorded at a baseline.
    "ALTER TABLE sent ADD COLUMN page TEXT;"
    "PRAGMA user_version = 5;",
};
constexpr std::int64_t SchemaVersion = std::size(Migrations);

// What a step does beyond its SQL, which cannot read an address as libcurl does.
int AfterStep(CSqliteDatabase& db, std::int64_t step)
{
    return step == 2 ? NormaliseSentAddresses(db) : SQLITE_OK;
}

} // namespace

std::int64_t CHistorySchema::Version()
{
    return SchemaVersion;
}

int CHistorySchema::Make(CSqliteDatabase& db, std::int64_t version)
{
    int rc = SQLITE_OK;
    for (std::int64_t step = 0; rc == SQLITE_OK && step < version; ++step)
        rc = db.Exec(Migrations[step]);
    return rc;
}

int CHistorySchema::Step(CSqliteDatabase& db, std::int64_t step)
{
    int rc = db.Exec(Migrations[step]);
    if (rc == SQLITE_OK)
        rc = AfterStep(db, step);
    return rc;
}

int CHistorySchema::TablesOf(CSqliteDatabase& db, std::vector<std::string>& tables)
{
    tables.clear();
    CSqliteStatement columns;
    int rc = db.Prepare("SELECT m.name, p.name FROM sqlite_schema AS m, pragma_table_info(m.name)"
                        " AS p WHERE m.type = 'table' AND m.name NOT LIKE 'sqlite\\_%' ESCAPE"
                        " '\\' ORDER BY m.name, p.cid",
        columns);
    if (rc != SQLITE_OK)
        return rc;
    std::string table;
    while ((rc = columns.Step()) == SQLITE_ROW) {
        if (tables.empty() || table != columns.Text(0)) {
            table = columns.Text(0);
            tables.push_back(table + '(');
        } else {
            tables.back() += ',';
        }
        tables.back().append(columns.Text(1));
    }
    for (std::string& each : tables)
        each += ')';
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}
