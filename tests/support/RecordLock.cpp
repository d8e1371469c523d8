#include "tests/support/RecordLock.h"

#include "core/history/PostHistory.h"

#include <sqlite3.h>

#include <chrono>

CRecordLock::CRecordLock(const std::string& path)
{
    std::string movedTo;
    CText error;
    if (CPostHistory().Open(path, std::chrono::system_clock::now(), movedTo, error)
        && m_db.Open(path, SQLITE_OPEN_READWRITE) == SQLITE_OK)
        m_write = std::make_unique<CSqliteTransaction>(m_db);
}
