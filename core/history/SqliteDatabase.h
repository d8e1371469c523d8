#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

class CSqliteDatabase;

// One prepared statement, finalized with its owner. Values are bound by number (from 1) and
// copied, so what was bound need not outlive the call. A bind that fails is kept and returned
// by the next Step, so that a row is never written with a value missing.
class CSqliteStatement
{
public:
    CSqliteStatement() = default;
    CSqliteStatement(CSqliteStatement&& other) noexcept;
    CSqliteStatement& operator=(CSqliteStatement&& other) noexcept;
    CSqliteStatement(const CSqliteStatement&) = delete;
    CSqliteStatement& operator=(const CSqliteStatement&) = delete;
    ~CSqliteStatement();

    bool IsPrepared() const { return m_statement != nullptr; }

    CSqliteStatement& BindInt64(int index, std::int64_t value);
    CSqliteStatement& BindDouble(int index, double value);
    CSqliteStatement& BindText(int index, std::string_view text);
    CSqliteStatement& BindNull(int index);

    // SQLITE_ROW, SQLITE_DONE or the error, the first failed bind's included.
    int Step();
    // Ready to run again, with no values bound: a query left half-read holds no read
    // transaction open after it.
    void Reset();

    bool IsNull(int column) const;
    std::int64_t Int64(int column) const;
    double Double(int column) const;
    // Valid until the next Step or Reset.
    std::string_view Text(int column) const;

private:
    friend class CSqliteDatabase;
    void Finalize();

    sqlite3_stmt* m_statement = nullptr;
    int m_bindFailure = 0;
};

// Resets a statement when it goes out of scope, however the code using it leaves.
class CSqliteReset
{
public:
    explicit CSqliteReset(CSqliteStatement& statement);
    CSqliteReset(const CSqliteReset&) = delete;
    CSqliteReset& operator=(const CSqliteReset&) = delete;
    ~CSqliteReset();

private:
    CSqliteStatement& m_statement;
};

// One connection, closed with its owner. Every call returns SQLite's result code; Message
// says what went wrong in words.
class CSqliteDatabase
{
public:
    CSqliteDatabase() = default;
    CSqliteDatabase(CSqliteDatabase&& other) noexcept;
    CSqliteDatabase& operator=(CSqliteDatabase&& other) noexcept;
    CSqliteDatabase(const CSqliteDatabase&) = delete;
    CSqliteDatabase& operator=(const CSqliteDatabase&) = delete;
    ~CSqliteDatabase();

    // flags as sqlite3_open_v2 takes them. Extended result codes are on.
    int Open(const std::string& path, int flags);
    // Statements prepared on this connection must be finalized first.
    void Close();
    bool IsOpen() const { return m_db != nullptr; }

    int SetBusyTimeout(int milliseconds);
    // Closing then leaves the -wal and -shm files as they are: SQLite would otherwise write
    // what the -wal holds into the database, and delete both, when its last connection closes.
    int KeepWalOnClose();
    // Fixed SQL without values: pragmas and the schema.
    int Exec(const char* sql);
    int Prepare(const char* sql, CSqliteStatement& statement);
    // The value of an integer pragma such as user_version.
    int PragmaInt(const char* sql, std::int64_t& value);
    // The rowid the last successful INSERT on this connection gave.
    std::int64_t LastInsertRowid() const;

    // What the last call that failed on this connection said, or why opening failed.
    std::string Message() const;
    // Its extended result code.
    int ErrorCode() const;

private:
    sqlite3* m_db = nullptr;
    std::string m_strOpenFailure;
    int m_openFailure = 0;
};

// BEGIN IMMEDIATE, so that a writer waits for the write lock at the start (through the busy
// timeout) rather than failing half-way; rolled back unless committed.
class CSqliteTransaction
{
public:
    explicit CSqliteTransaction(CSqliteDatabase& db);
    CSqliteTransaction(const CSqliteTransaction&) = delete;
    CSqliteTransaction& operator=(const CSqliteTransaction&) = delete;
    ~CSqliteTransaction();

    // The result of BEGIN.
    int Begun() const { return m_begun; }
    int Commit();

private:
    CSqliteDatabase& m_db;
    int m_begun;
    bool m_bOpen = false;
};
