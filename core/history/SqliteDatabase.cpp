#include "core/history/SqliteDatabase.h"

#include <sqlite3.h>

#include <utility>

CSqliteStatement::CSqliteStatement(CSqliteStatement&& other) noexcept
    : m_statement(std::exchange(other.m_statement, nullptr))
    , m_bindFailure(std::exchange(other.m_bindFailure, 0))
{
}

CSqliteStatement& CSqliteStatement::operator=(CSqliteStatement&& other) noexcept
{
    if (this != &other) {
        Finalize();
        m_statement = std::exchange(other.m_statement, nullptr);
        m_bindFailure = std::exchange(other.m_bindFailure, 0);
    }
    return *this;
}

CSqliteStatement::~CSqliteStatement()
{
    Finalize();
}

void CSqliteStatement::Finalize()
{
    // sqlite3_finalize repeats the error of the last step, which was reported then.
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    m_bindFailure = 0;
}

CSqliteStatement& CSqliteStatement::BindInt64(int index, std::int64_t value)
{
    const int rc = sqlite3_bind_int64(m_statement, index, value);
    if (rc != SQLITE_OK && m_bindFailure == 0)
        m_bindFailure = rc;
    return *this;
}

CSqliteStatement& CSqliteStatement::BindDouble(int index, double value)
{
    const int rc = sqlite3_bind_double(m_statement, index, value);
    if (rc != SQLITE_OK && m_bindFailure == 0)
        m_bindFailure = rc;
    return *this;
}

CSqliteStatement& CSqliteStatement::BindText(int index, std::string_view text)
{
    // A null pointer would bind NULL, not an empty text.
    const char* data = text.data() ? text.data() : "";
    const int rc
        = sqlite3_bind_text64(m_statement, index, data, text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (rc != SQLITE_OK && m_bindFailure == 0)
        m_bindFailure = rc;
    return *this;
}

CSqliteStatement& CSqliteStatement::BindNull(int index)
{
    const int rc = sqlite3_bind_null(m_statement, index);
    if (rc != SQLITE_OK && m_bindFailure == 0)
        m_bindFailure = rc;
    return *this;
}

int CSqliteStatement::Step()
{
    if (!m_statement)
        return SQLITE_MISUSE;
    if (m_bindFailure != 0)
        return m_bindFailure;
    return sqlite3_step(m_statement);
}

void CSqliteStatement::Reset()
{
    // sqlite3_reset returns the last step's error again, which that step reported;
    // sqlite3_clear_bindings always succeeds.
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    m_bindFailure = 0;
}

bool CSqliteStatement::IsNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

std::int64_t CSqliteStatement::Int64(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

double CSqliteStatement::Double(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

std::string_view CSqliteStatement::Text(int column) const
{
    // The text first, then its length, as the order of conversions requires.
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    if (!text)
        return {};
    return {text, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column))};
}

CSqliteReset::CSqliteReset(CSqliteStatement& statement)
    : m_statement(statement)
{
    m_statement.Reset();
}

CSqliteReset::~CSqliteReset()
{
    m_statement.Reset();
}

CSqliteDatabase::CSqliteDatabase(CSqliteDatabase&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr))
    , m_strOpenFailure(std::move(other.m_strOpenFailure))
    , m_openFailure(other.m_openFailure)
{
}

CSqliteDatabase& CSqliteDatabase::operator=(CSqliteDatabase&& other) noexcept
{
    if (this != &other) {
        Close();
        m_db = std::exchange(other.m_db, nullptr);
        m_strOpenFailure = std::move(other.m_strOpenFailure);
        m_openFailure = other.m_openFailure;
    }
    return *this;
}

CSqliteDatabase::~CSqliteDatabase()
{
    Close();
}

int CSqliteDatabase::Open(const std::string& path, int flags)
{
    Close();
    m_strOpenFailure.clear();
    m_openFailure = 0;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_extended_result_codes(db, 1);
    if (rc != SQLITE_OK) {
        m_strOpenFailure = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        m_openFailure = rc;
        sqlite3_close_v2(db);
        return rc;
    }
    m_db = db;
    return SQLITE_OK;
}

void CSqliteDatabase::Close()
{
    // sqlite3_close_v2 always succeeds: a connection with statements still open closes when
    // the last of them is finalized.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

int CSqliteDatabase::SetBusyTimeout(int milliseconds)
{
    return m_db ? sqlite3_busy_timeout(m_db, milliseconds) : SQLITE_MISUSE;
}

int CSqliteDatabase::KeepWalOnClose()
{
    if (!m_db)
        return SQLITE_MISUSE;
    return sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

int CSqliteDatabase::Exec(const char* sql)
{
    return m_db ? sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) : SQLITE_MISUSE;
}

int CSqliteDatabase::Prepare(const char* sql, CSqliteStatement& statement)
{
    statement.Finalize();
    if (!m_db)
        return SQLITE_MISUSE;
    return sqlite3_prepare_v3(
        m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement.m_statement, nullptr);
}

int CSqliteDatabase::PragmaInt(const char* sql, std::int64_t& value)
{
    CSqliteStatement statement;
    int rc = Prepare(sql, statement);
    if (rc != SQLITE_OK)
        return rc;
    rc = statement.Step();
    if (rc != SQLITE_ROW)
        return rc == SQLITE_DONE ? SQLITE_ERROR : rc;
    value = statement.Int64(0);
    rc = statement.Step();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

std::int64_t CSqliteDatabase::LastInsertRowid() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

std::string CSqliteDatabase::Message() const
{
    return m_db ? sqlite3_errmsg(m_db) : m_strOpenFailure;
}

int CSqliteDatabase::ErrorCode() const
{
    return m_db ? sqlite3_extended_errcode(m_db) : m_openFailure;
}

CSqliteTransaction::CSqliteTransaction(CSqliteDatabase& db)
    : m_db(db)
    , m_begun(db.Exec("BEGIN IMMEDIATE"))
    , m_bOpen(m_begun == SQLITE_OK)
{
}

CSqliteTransaction::~CSqliteTransaction()
{
    // A rollback that fails leaves nothing to do: SQLite rolls back by itself when the
    // connection closes, and the caller has already been told of the failure that led here.
    if (m_bOpen)
        m_db.Exec("ROLLBACK");
}

int CSqliteTransaction::Commit()
{
    if (!m_bOpen)
        return m_begun == SQLITE_OK ? SQLITE_MISUSE : m_begun;
    const int rc = m_db.Exec("COMMIT");
    // A COMMIT that failed on a busy lock leaves the transaction open, to be rolled back.
    if (rc == SQLITE_OK)
        m_bOpen = false;
    return rc;
}
