#pragma once

#include "core/history/PostLogEntry.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class CSqliteDatabase;
class CSqliteStatement;

// One time a page is in the post log: the post, and what became of the page in it.
struct CPageEvent
{
    CPostLogEntry m_entry;
    CLoggedAddress m_address;
};

// The addresses of the post log: per post-log entry, the addresses it carried, announced as
// removed, recorded at a baseline or left out (table address_log, made by the record's schema
// steps). Kept by address, so that a page among a million entries is found by one index
// look-up, and by entry, so that an entry's addresses go with it.
//
// Each call works on the connection it is given and returns SQLite's result code; the
// statements prepared for it are kept until Close, which must come before the connection
// closes.
class CAddressLog
{
public:
    CAddressLog();
    CAddressLog(CAddressLog&&) noexcept;
    CAddressLog& operator=(CAddressLog&&) noexcept;
    ~CAddressLog();

    void Close();

    // SQLITE_DONE when the addresses of the entry are written.
    int Add(CSqliteDatabase& db, std::int64_t entry, const std::vector<CLoggedAddress>& addresses);
    // Before the log's own pruning, with its bounds: the addresses of the entries older than
    // oldestMillis, and of all but the newest keptEntries, go; then all but the newest
    // keptAddresses. SQLITE_DONE when done.
    int Prune(CSqliteDatabase& db, std::int64_t oldestMillis, std::int64_t keptEntries,
        std::int64_t keptAddresses);
    // The times the address (as NormalAddress writes it) is in the log from sinceMillis on,
    // newest first. SQLITE_DONE when all were read.
    int Page(CSqliteDatabase& db, const std::string& address, std::int64_t sinceMillis,
        const std::function<void(const CPageEvent&)>& each);
    // The addresses of one entry, in the order they were logged. SQLITE_DONE when all were
    // read.
    int OfEntry(CSqliteDatabase& db, std::int64_t entry, std::vector<CLoggedAddress>& addresses);

private:
    CSqliteStatement* Statement(CSqliteDatabase& db, int id, int& rc);

    std::vector<CSqliteStatement> m_statements;
};
