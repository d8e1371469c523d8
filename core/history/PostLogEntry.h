#pragma once

#include "core/post/PostOutcome.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CSqliteStatement;

// What became of one address in a post: the words the post log keeps and --history --page
// prints.
enum class AddressFate
{
    // Carried by the post.
    Sent,
    // Carried by the post as gone from the site (404 or 410).
    Removed,
    // Recorded at the target's first run, which sends nothing.
    Baseline,
    // Not carried, for the reason given.
    LeftOut,
};

// "sent", "removed", "baseline" and "left_out".
const char* FateWord(AddressFate fate);
// The fate a word names; none for any other word.
std::optional<AddressFate> FateOf(std::string_view word);

// One address as the post log keeps it with its post.
struct CLoggedAddress
{
    // As NormalAddress writes it.
    std::string m_strAddress;
    AddressFate m_fate = AddressFate::Sent;
    // Why it was left out, in English as the row says it ("not found"); empty otherwise.
    std::string m_strReason;
};

// One post as the post log keeps it, or the one entry of a target that posted nothing in a
// run.
struct CPostLogEntry
{
    // The log's number of the entry, as read back; 0 for one not logged yet.
    std::int64_t m_id = 0;
    // Kept to the millisecond.
    std::chrono::system_clock::time_point m_time;
    std::int64_t m_run = 0;
    // The target's URL with any password already written as "***".
    std::string m_strUrl;
    std::string m_strBody;
    // The target's source, whose changes it posts; empty for none.
    std::string m_strChanges;
    // Whether it succeeded is its outcome's to say, and kept nowhere else.
    PostOutcome m_outcome = PostOutcome::Failed;
    long m_status = 0;
    std::string m_strReason;
    // Kept to its first 200 characters.
    std::string m_strServiceMessage;
    double m_seconds = 0;
    // How many addresses the post carried.
    std::int64_t m_addresses = 0;
    // The change worker's token of the batch the post carried (CChangeWorker::CBatch), by
    // which the worker finds its addresses; 0 for none. Not kept.
    std::uint64_t m_batch = 0;
    // The addresses the post carried, left out or recorded, written with it. Reading the log
    // leaves them out: CPostHistory::AddressesOf reads them for one entry.
    std::vector<CLoggedAddress> m_addressLog;
};

// The log's columns as a query lists them to read an entry (ReadLogColumns), with the table
// named "log".
extern const char* const LogColumns;
// An entry from a row whose columns from first on are LogColumns; its addresses are not read.
void ReadLogColumns(const CSqliteStatement& row, int first, CPostLogEntry& entry);
