#pragma once

#include "core/history/SqliteDatabase.h"

#include <memory>
#include <string>

// Another process writing to the record at path (made first when there is none), until
// m_write goes: a connection in the middle of a write, which every other writer waits for.
struct CRecordLock
{
    explicit CRecordLock(const std::string& path);

    CSqliteDatabase m_db;
    std::unique_ptr<CSqliteTransaction> m_write;
};
