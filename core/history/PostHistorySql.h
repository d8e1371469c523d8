#pragma once

#include "core/history/PostHistory.h"

#include <cstdint>

// What the files that make up CPostHistory share: its statements by number (the text of each
// is CPostHistory::Statement's), times as SQLite keeps them, and the words of a failure.
namespace PostHistorySql {

enum Sql
{
    FindTargetSql,
    AddTargetSql,
    SetBaselineSql,
    SetLastPostSql,
    ClearSentSql,
    DeleteTargetSql,
    SentOfTargetSql,
    SentOneSql,
    PutSentSql,
    CountRunSql,
    LastRunSql,
    AddLogSql,
    PruneByTimeSql,
    PruneByCountSql,
    ReadLogSql,
    RecentOutcomesSql,
    LastLogIdSql,
    AfterFailureSql,
    LastLoggedSuccessSql,
    UntoldSql,
    ClearUntoldSql,
    AddUntoldSql,
    SqlCount
};

inline std::int64_t Millis(CPostHistory::Time time)
{
    return std::chrono::floor<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

inline CPostHistory::Time FromMillis(std::int64_t millis)
{
    return CPostHistory::Time(std::chrono::milliseconds(millis));
}

//: %2 is why, in the words of SQLite or of the file system
inline constexpr const char* CannotOpen
    = QT_TRANSLATE_NOOP("Quillpost", "The history file %1 cannot be opened: %2");
//: %2 is why, in the words of SQLite or of the file system
inline constexpr const char* CannotRead
    = QT_TRANSLATE_NOOP("Quillpost", "The history file %1 cannot be read: %2");
//: %2 is why, in the words of SQLite or of the file system
inline constexpr const char* CannotWrite
    = QT_TRANSLATE_NOOP("Quillpost", "The history file %1 cannot be written: %2");

} // namespace PostHistorySql
