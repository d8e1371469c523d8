#include "core/history/PostHistory.h"

#include "core/history/HistoryFile.h"
#include "core/history/HistorySchema.h"
#include "core/history/PostHistorySql.h"
#include "core/system/StateFolder.h"

#include <sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

using namespace PostHistorySql;

namespace {

// How long a reader waits, on the rare occasions it has to (another process recovering the
// file after a crash): reading never holds up a writer.
constexpr int ReadWaitMs = 5000;
// The -wal file is folded into the file once it is this large, as SQLite would by itself.
constexpr off_t FoldedWalBytes = 4 * 1024 * 1024;

const char* const SqlText[] = {
    "SELECT id, baseline, last_post FROM target WHERE url = ?1 AND body = ?2 AND source = ?3",
    "INSERT INTO target(url, body, source) VALUES(?1, ?2, ?3)",
    "UPDATE target SET baseline = ?2, last_post = NULL WHERE id = ?1",
    "UPDATE target SET last_post = max(coalesce(last_post, ?2), ?2) WHERE id = ?1",
    "DELETE FROM sent WHERE target = ?1",
    "DELETE FROM target WHERE id = ?1",
    "SELECT address, modified, page, sent_at FROM sent WHERE target = ?1",
    "SELECT modified, sent_at, verdict FROM sent WHERE target = ?1 AND address = ?2",
    "INSERT OR REPLACE INTO sent(target, address, modified, sent_at, verdict, page)"
    " VALUES(?1, ?2, ?3, ?4, ?5, ?6)",
    "UPDATE run_counter SET value = value + 1",
    "SELECT value FROM run_counter",
    // Whether a post succeeded is its outcome's to say: the success column is read by no one
    // but an earlier version, which finds it filled in from the outcome.
    "INSERT INTO log(time, run, url, body, changes, outcome, success, status, reason,"
    " service_message, seconds, addresses)"
    " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?6 = 'succeeded', ?7, ?8, ?9, ?10, ?11)",
    "DELETE FROM log WHERE time < ?1",
    "DELETE FROM log WHERE id IN"
    " (SELECT id FROM log ORDER BY time DESC, id DESC LIMIT -1 OFFSET ?1)",
    nullptr,
    "SELECT run, outcome FROM log WHERE url = ?1 AND body = ?2 AND changes = ?3 AND run >="
    " (SELECT min(run) FROM (SELECT DISTINCT run FROM log"
    " WHERE url = ?1 AND body = ?2 AND changes = ?3 ORDER BY run DESC LIMIT ?4))"
    " ORDER BY run, id",
    "SELECT coalesce(max(id), 0) FROM log",
    // A word of a later program is read as a failure, as RecentOutcomes reads it; each entry
    // finds its target's last success by the index, and any failure from that run on.
    "SELECT DISTINCT cur.url, cur.body, cur.changes FROM log AS cur"
    " WHERE cur.id > ?2 AND cur.run = ?1 AND EXISTS (SELECT 1 FROM log AS f"
    " WHERE f.url = cur.url AND f.body = cur.body AND f.changes = cur.changes AND f.run < ?1"
    " AND f.outcome NOT IN ('succeeded', 'stopped', 'unchanged', 'baseline', 'would_post',"
    " 'waiting')"
    " AND f.run >= (SELECT coalesce(max(s.run), 0) FROM log AS s WHERE s.url = cur.url"
    " AND s.body = cur.body AND s.changes = cur.changes AND s.run < ?1"
    " AND s.outcome = 'succeeded'))",
    "SELECT max(time) FROM log WHERE url = ?1 AND body = ?2 AND changes = ?3"
    " AND outcome = 'succeeded'",
    "SELECT url, body, changes, failing, reason FROM untold ORDER BY rowid",
    "DELETE FROM untold",
    "INSERT OR REPLACE INTO untold(url, body, changes, failing, reason)"
    " VALUES(?1, ?2, ?3, ?4, ?5)",
};
static_assert(std::size(SqlText) == SqlCount);

// The primary result codes that say the file itself is bad, not that it is busy or out of
// reach.
bool IsDamage(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

} // namespace

std::string CPostHistory::FileIn(const std::string& folder)
{
    return folder + "/history.sqlite";
}

CPostHistory::CPostHistory(CRecordLimits limits)
    : m_limits(limits)
{
}

CPostHistory::CPostHistory(CPostHistory&&) noexcept = default;
CPostHistory& CPostHistory::operator=(CPostHistory&&) noexcept = default;
CPostHistory::~CPostHistory() = default;

bool CPostHistory::Open(const std::string& path, Time now, std::string& movedTo, CText& error)
{
    Close();
    movedTo.clear();
    m_strPath = path;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    if (const int made = folder.empty() ? 0 : MakePrivateFolder(folder); made != 0) {
        //: The folder that holds the history file; %2 is why, in the words of the file system
        error = CText(QT_TRANSLATE_NOOP("Quillpost", "The folder %1 could not be made: %2"),
            {folder, CHistoryFile::SystemError(made)});
        return false;
    }
    const int rc = OpenToWrite(error);
    if (!IsDamage(rc))
        return rc == SQLITE_OK;
    Close();
    std::string failure;
    if (!CHistoryFile::MoveAside(path, now, movedTo, failure)) {
        //: A history file SQLite found damaged, to be renamed so that a new one can be
        //: started; %2 is why, in the words of the file system
        error = CText(QT_TRANSLATE_NOOP(
                          "Quillpost", "The damaged history file %1 could not be moved aside: %2"),
            {path, failure});
        return false;
    }
    return OpenToWrite(error) == SQLITE_OK;
}

bool CPostHistory::MakePrivateFile(CText& error) const
{
    if (!AllRegular(error))
        return false;
    // Made here rather than by SQLite, which would let everyone read it. SQLite gives its
    // -wal and -shm files the mode of this one.
    const int fd = ::open(m_strPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        // A link put there since it was looked at.
        error = errno == ELOOP ? NotRegular(m_strPath)
                               : CText(CannotOpen, {m_strPath, CHistoryFile::SystemError(errno)});
        return false;
    }
    struct stat info;
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const bool madePrivate = regular && ::fchmod(fd, 0600) == 0;
    const int chmodError = errno;
    ::close(fd);
    if (!regular) {
        error = NotRegular(m_strPath);
        return false;
    }
    if (!madePrivate) {
        error = CText(CannotOpen, {m_strPath, CHistoryFile::SystemError(chmodError)});
        return false;
    }
    return true;
}

int CPostHistory::OpenToWrite(CText& error)
{
    if (!MakePrivateFile(error))
        return SQLITE_CANTOPEN;
    int rc = m_db.Open(CHistoryFile::WithFolderResolved(m_strPath),
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW);
    if (rc == SQLITE_OK)
        rc = m_db.SetBusyTimeout(static_cast<int>(m_limits.m_writeWaitMs));
    // The first statement to read the file is the one to find it damaged. A file of a newer
    // version is left as it is, even its journal mode; so is another program's, until it is
    // moved aside.
    std::int64_t version = 0;
    if (rc == SQLITE_OK)
        rc = m_db.PragmaInt("PRAGMA user_version", version);
    if (rc == SQLITE_OK && version > CHistorySchema::Version()) {
        error = NewerFile();
        Close();
        return SQLITE_ERROR;
    }
    if (rc == SQLITE_OK)
        rc = CheckTables(version);
    // SQLite finds a damaged page only when it reads it. Reading them all once here finds the
    // damage while the file can still be moved aside, not in the middle of a run.
    if (rc == SQLITE_OK && version > 0)
        rc = QuickCheck();
    if (rc == SQLITE_OK)
        rc = m_db.Exec("PRAGMA journal_mode=WAL");
    if (rc == SQLITE_OK)
        rc = m_db.Exec("PRAGMA synchronous=NORMAL");
    // The -wal is folded in by Checkpoint, as a run starts, and emptied by the next write
    // after that, so that its size tells how much it holds.
    if (rc == SQLITE_OK)
        rc = m_db.Exec("PRAGMA wal_autocheckpoint=0");
    if (rc == SQLITE_OK)
        rc = m_db.Exec("PRAGMA journal_size_limit=0");
    if (rc == SQLITE_OK && version < CHistorySchema::Version())
        rc = Migrate(error);
    else if (rc != SQLITE_OK)
        error = Failure(CannotOpen);
    if (rc == SQLITE_OK && m_limits.m_maxPages > 0) {
        const std::string limit = "PRAGMA max_page_count = " + std::to_string(m_limits.m_maxPages);
        rc = m_db.Exec(limit.c_str());
        if (rc != SQLITE_OK)
            error = Failure(CannotOpen);
    }
    // A damaged file is moved aside as it was found, with its -wal and -shm. Were SQLite to
    // refuse, they would be lost, which does not keep a new record from being started: its
    // answer changes nothing.
    if (IsDamage(rc))
        static_cast<void>(m_db.KeepWalOnClose());
    if (rc != SQLITE_OK)
        Close();
    return rc;
}

bool CPostHistory::AllRegular(CText& error) const
{
    // A link at the file's place, or at its -wal's or -shm's, could lead anywhere: what it
    // leads to is not this program's to read or change. SQLite would wait for ever on a pipe.
    for (const char* suffix : {"", CHistoryFile::Companions[0], CHistoryFile::Companions[1]}) {
        if (CHistoryFile::IsOtherThanFile(m_strPath + suffix)) {
            error = NotRegular(m_strPath + suffix);
            return false;
        }
    }
    return true;
}

int CPostHistory::CheckTables(std::int64_t version)
{
    // What the steps up to the file's version make, in a database of its own in memory.
    CSqliteDatabase ours;
    int rc = ours.Open(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (rc == SQLITE_OK)
        rc = CHistorySchema::Make(ours, version);
    std::vector<std::string> expected;
    std::vector<std::string> found;
    if (rc == SQLITE_OK)
        rc = CHistorySchema::TablesOf(ours, expected);
    if (rc != SQLITE_OK)
        return rc;
    rc = CHistorySchema::TablesOf(m_db, found);
    // A table SQLite cannot read the columns of (another program's virtual table) is not ours.
    if (rc == SQLITE_ERROR || (rc == SQLITE_OK && found != expected))
        return SQLITE_NOTADB;
    return rc;
}

int CPostHistory::QuickCheck()
{
    CSqliteStatement check;
    int rc = m_db.Prepare("PRAGMA quick_check(1)", check);
    if (rc == SQLITE_OK)
        rc = check.Step();
    if (rc == SQLITE_ROW)
        return check.Text(0) == "ok" ? SQLITE_OK : SQLITE_CORRUPT;
    return rc == SQLITE_DONE ? SQLITE_CORRUPT : rc;
}

int CPostHistory::Migrate(CText& error)
{
    CSqliteTransaction transaction(m_db);
    int rc = transaction.Begun();
    // Again, now that no other process can be half-way through the same steps.
    std::int64_t version = 0;
    if (rc == SQLITE_OK)
        rc = m_db.PragmaInt("PRAGMA user_version", version);
    if (rc == SQLITE_OK && version > CHistorySchema::Version()) {
        error = NewerFile();
        return SQLITE_ERROR;
    }
    for (std::int64_t step = version; rc == SQLITE_OK && step < CHistorySchema::Version(); ++step)
        rc = CHistorySchema::Step(m_db, step);
    if (rc == SQLITE_OK)
        rc = transaction.Commit();
    if (rc != SQLITE_OK)
        error = Failure(CannotOpen);
    return rc;
}

CPostHistory::ReadState CPostHistory::OpenToRead(const std::string& path, CText& error)
{
    Close();
    m_strPath = path;
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return ReadState::NoRecord;
        error = CText(CannotRead, {path, CHistoryFile::SystemError(errno)});
        return ReadState::Unreadable;
    }
    if (!AllRegular(error))
        return ReadState::Unreadable;
    // A plain read takes part in the writers' locking, but SQLite makes -wal and -shm files
    // for it where there are none, and only a connection that may write takes them away
    // again: so it may write, and is kept from doing so. Where it cannot (a folder the user
    // may only read, a file system mounted read-only, a file the user may not write), the
    // file is read as it stands, without locks: a process writing meanwhile may make that
    // read fail, but nothing is changed.
    const std::string sqlitePath = CHistoryFile::WithFolderResolved(path);
    const bool companions = CHistoryFile::Exists(path + CHistoryFile::Companions[0])
        || CHistoryFile::Exists(path + CHistoryFile::Companions[1]);
    std::int64_t version = 0;
    int rc = SQLITE_CANTOPEN;
    if (companions)
        rc = ReadVersion(sqlitePath, SQLITE_OPEN_READONLY, version);
    else if (::access(path.c_str(), W_OK) == 0)
        rc = ReadVersion(sqlitePath, SQLITE_OPEN_READWRITE, version);
    if ((rc & 0xff) == SQLITE_CANTOPEN || (rc & 0xff) == SQLITE_READONLY)
        rc = ReadVersion(CHistoryFile::ImmutableUri(sqlitePath),
            SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, version);
    if (rc != SQLITE_OK) {
        error = Failure(CannotRead);
        Close();
        return ReadState::Unreadable;
    }
    // A file its writer has only just made, before the schema is in.
    if (version == 0) {
        Close();
        return ReadState::NoRecord;
    }
    if (version > CHistorySchema::Version()) {
        error = NewerFile();
        Close();
        return ReadState::Unreadable;
    }
    return ReadState::Opened;
}

int CPostHistory::ReadVersion(const std::string& name, int flags, std::int64_t& version)
{
    int rc = m_db.Open(name, flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW);
    if (rc == SQLITE_OK)
        rc = m_db.SetBusyTimeout(ReadWaitMs);
    if (rc == SQLITE_OK && (flags & SQLITE_OPEN_READWRITE))
        rc = m_db.Exec("PRAGMA query_only = ON");
    if (rc == SQLITE_OK)
        rc = m_db.PragmaInt("PRAGMA user_version", version);
    return rc;
}

void CPostHistory::Close()
{
    m_statements.clear();
    m_addressLog.Close();
    m_db.Close();
}

bool CPostHistory::Checkpoint(CText& error)
{
    // Folding waits for the disk twice whatever the -wal holds: a small one is left to grow.
    struct stat wal;
    if (::stat((m_strPath + "-wal").c_str(), &wal) == 0 && wal.st_size < FoldedWalBytes)
        return true;
    // Passive: what a reader still needs stays for the next time.
    if (m_db.Exec("PRAGMA wal_checkpoint(PASSIVE)") == SQLITE_OK)
        return true;
    error = Failure(CannotWrite);
    return false;
}

void CPostHistory::CloseLeavingWal()
{
    // Should SQLite refuse, the connection closes all the same, folding first.
    static_cast<void>(m_db.KeepWalOnClose());
    Close();
}

CText CPostHistory::Failure(const char* source) const
{
    m_lastFailure = m_db.ErrorCode();
    return CText(source, {m_strPath, m_db.Message()});
}

bool CPostHistory::WasBusy() const
{
    return (m_lastFailure & 0xff) == SQLITE_BUSY;
}

bool CPostHistory::InTransaction(CText& error, const std::function<bool()>& steps)
{
    CSqliteTransaction transaction(m_db);
    if (transaction.Begun() == SQLITE_OK) {
        if (!steps())
            return false;
        if (transaction.Commit() == SQLITE_OK)
            return true;
    }
    error = Failure(CannotWrite);
    return false;
}

bool CPostHistory::Wrote(int rc, CText& error) const
{
    if (rc == SQLITE_DONE)
        return true;
    error = Failure(CannotWrite);
    return false;
}

CText CPostHistory::NotRegular(const std::string& path)
{
    return CText(
        QT_TRANSLATE_NOOP("Quillpost", "The history file %1 is not a regular file"), {path});
}

CText CPostHistory::NewerFile() const
{
    return CText(
        QT_TRANSLATE_NOOP("Quillpost", "The history file %1 was written by a newer Quillpost"),
        {m_strPath});
}

bool CPostHistory::IsOpen(CText& error) const
{
    if (!m_db.IsOpen())
        error = CText(QT_TRANSLATE_NOOP("Quillpost", "No history file is open"));
    return m_db.IsOpen();
}

CSqliteStatement* CPostHistory::Statement(int id, CText& error)
{
    if (!IsOpen(error))
        return nullptr;
    if (m_statements.empty())
        m_statements.resize(SqlCount);
    CSqliteStatement& statement = m_statements[id];
    // The log's columns are named once, for every query that reads entries.
    const std::string sql = id == ReadLogSql
        ? std::string("SELECT ") + LogColumns + " FROM log WHERE time >= ?1 ORDER BY time, id"
        : SqlText[id];
    if (!statement.IsPrepared() && m_db.Prepare(sql.c_str(), statement) != SQLITE_OK) {
        error = Failure(CannotRead);
        return nullptr;
    }
    return &statement;
}
