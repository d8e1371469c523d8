#include "core/history/PostLogEntry.h"

#include "core/history/SqliteDatabase.h"

#include <iterator>

namespace {

const char* const FateWords[] = {"sent", "removed", "baseline", "left_out"};

} // namespace

const char* FateWord(AddressFate fate)
{
    return FateWords[static_cast<int>(fate)];
}

std::optional<AddressFate> FateOf(std::string_view word)
{
    for (std::size_t i = 0; i < std::size(FateWords); ++i) {
        if (word == FateWords[i])
            return static_cast<AddressFate>(i);
    }
    return std::nullopt;
}

const char* const LogColumns
    = "log.id, log.time, log.run, log.url, log.body, log.changes, log.outcome, log.status,"
      " log.reason, log.service_message, log.seconds, log.addresses";

void ReadLogColumns(const CSqliteStatement& row, int first, CPostLogEntry& entry)
{
    entry.m_id = row.Int64(first);
    entry.m_time
        = std::chrono::system_clock::time_point(std::chrono::milliseconds(row.Int64(first + 1)));
    entry.m_run = row.Int64(first + 2);
    entry.m_strUrl.assign(row.Text(first + 3));
    entry.m_strBody.assign(row.Text(first + 4));
    entry.m_strChanges.assign(row.Text(first + 5));
    // A word of a later program that this one does not know reads as a failure.
    entry.m_outcome = OutcomeOf(row.Text(first + 6)).value_or(PostOutcome::Failed);
    entry.m_status = static_cast<long>(row.Int64(first + 7));
    entry.m_strReason.assign(row.Text(first + 8));
    entry.m_strServiceMessage.assign(row.Text(first + 9));
    entry.m_seconds = row.Double(first + 10);
    entry.m_addresses = row.Int64(first + 11);
    entry.m_batch = 0;
    entry.m_addressLog.clear();
}
