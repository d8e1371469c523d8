#include "core/history/PostHistory.h"

#include "core/history/SentAddresses.h"
#include "core/source/SourceAddress.h"
#include "core/system/StateFolder.h"
#include "core/text/TimeText.h"
#include "core/text/Utf8.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <limits>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>

namespace {

using Time = CPostHistory::Time;

// How long a reader waits, on the rare occasions it has to (another process recovering the
// file after a crash): reading never holds up a writer.
constexpr int ReadWaitMs = 5000;
// The -wal file is folded into the file once it is this large, as SQLite would by itself.
constexpr off_t FoldedWalBytes = 4 * 1024 * 1024;

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
    LastLoggedSuccessSql,
    UntoldSql,
    ClearUntoldSql,
    AddUntoldSql,
    SqlCount
};

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
    "SELECT max(time) FROM log WHERE url = ?1 AND body = ?2 AND changes = ?3"
    " AND outcome = 'succeeded'",
    "SELECT url, body, changes, failing, reason FROM untold ORDER BY rowid",
    "DELETE FROM untold",
    "INSERT OR REPLACE INTO untold(url, body, changes, failing, reason)"
    " VALUES(?1, ?2, ?3, ?4, ?5)",
};
static_assert(std::size(SqlText) == SqlCount);

//: %2 is why, in the words of SQLite or of the file system
const char* const CannotOpen
    = QT_TRANSLATE_NOOP("Quillpost", "The history file %1 cannot be opened: %2");
//: %2 is why, in the words of SQLite or of the file system
const char* const CannotRead
    = QT_TRANSLATE_NOOP("Quillpost", "The history file %1 cannot be read: %2");
//: %2 is why, in the words of SQLite or of the file system
const char* const CannotWrite
    = QT_TRANSLATE_NOOP("Quillpost", "The history file %1 cannot be written: %2");

std::int64_t Millis(Time time)
{
    return std::chrono::floor<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

Time FromMillis(std::int64_t millis)
{
    return Time(std::chrono::milliseconds(millis));
}

// The primary result codes that say the file itself is bad, not that it is busy or out of
// reach.
bool IsDamage(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

std::string SystemError(int errorNumber)
{
    return std::strerror(errorNumber);
}

bool Exists(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

// The files SQLite keeps beside the record while it is in use.
const char* const Companions[] = {"-wal", "-shm"};

// Whether something other than a regular file is at path itself: a link, wherever it leads,
// a folder, a FIFO.
bool IsOtherThanFile(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

// The path SQLite is given: the folder's links resolved, so that SQLITE_OPEN_NOFOLLOW, which
// refuses a link anywhere on the path, refuses one at the file's own place only.
std::string WithFolderResolved(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder
        = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    char* real = ::realpath(folder.c_str(), nullptr);
    if (!real)
        return path;
    std::string resolved = real;
    std::free(real);
    if (resolved.back() != '/')
        resolved += '/';
    return resolved + path.substr(slash == std::string::npos ? 0 : slash + 1);
}

// SQLite's read of a file as it stands, without locks or the -wal and -shm files.
std::string ImmutableUri(const std::string& path)
{
    std::string uri = "file:";
    constexpr char Hex[] = "0123456789ABCDEF";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || std::strchr("/._-~", c))
            uri += c;
        else
            uri += {'%', Hex[byte >> 4], Hex[byte & 0xf]};
    }
    return uri + "?immutable=1";
}

// The tables of a database, each as "name(column,column...)", by name: what tells this
// program's record from another program's file.
int TablesOf(CSqliteDatabase& db, std::vector<std::string>& tables)
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

// A rename that never replaces a file already at to, where the file system can promise it.
int RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (Exists(to))
        return EEXIST;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

std::string UtcDate(Time time)
{
    const std::string date = IsoUtc(time, IsoPrecision::Day);
    return date.empty() ? "unknown-date" : date;
}

// Moves the damaged file at path aside with its -wal and -shm files, under the first name
// that is free for all three.
bool MoveAside(const std::string& path, Time now, std::string& movedTo, std::string& failure)
{
    const std::string stem = path + ".damaged-" + UtcDate(now);
    // Far more than a user keeps; a bound, so that a file system that always says a name is
    // taken cannot hold the program here.
    constexpr int MostTries = 10000;
    for (int n = 1; n <= MostTries; ++n) {
        const std::string name = n == 1 ? stem : stem + '-' + std::to_string(n);
        if (Exists(name) || Exists(name + "-wal") || Exists(name + "-shm"))
            continue;
        const int rc = RenameNoReplace(path, name);
        if (rc == EEXIST)
            continue;
        if (rc != 0) {
            failure = SystemError(rc);
            return false;
        }
        movedTo = name;
        for (const char* suffix : {"-wal", "-shm"}) {
            const int moved = RenameNoReplace(path + suffix, name + suffix);
            // A -wal or -shm left behind would be taken into the new file.
            if (moved != 0 && moved != ENOENT) {
                failure = SystemError(moved);
                return false;
            }
        }
        return true;
    }
    failure = SystemError(EEXIST);
    return false;
}

bool IsLater(const std::optional<std::int64_t>& a, const std::optional<std::int64_t>& b)
{
    return a && (!b || *a > *b);
}

// The entry that stands for each address: the one with the latest date, the first of equals.
std::unordered_map<std::string_view, std::size_t> Distinct(const std::vector<CSourceEntry>& entries)
{
    std::unordered_map<std::string_view, std::size_t> chosen;
    chosen.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto [it, added] = chosen.emplace(entries[i].m_strAddress, i);
        if (!added && IsLater(entries[i].m_modified, entries[it->second].m_modified))
            it->second = i;
    }
    return chosen;
}

} // namespace

struct CPostHistory::TargetRow
{
    std::int64_t m_id = 0;
    std::optional<Time> m_lastSuccess;
};

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
            {folder, SystemError(made)});
        return false;
    }
    const int rc = OpenToWrite(error);
    if (!IsDamage(rc))
        return rc == SQLITE_OK;
    Close();
    std::string failure;
    if (!MoveAside(path, now, movedTo, failure)) {
        //: A history file SQLite found damaged, to be renamed so that a new one can be
        //: started; %2 is why, in the words of the file system
        error = CText(QT_TRANSLATE_NOOP(
                          "Quillpost", "The damaged history file %1 could not be moved aside: %2"),
            {path, failure});
        return false;
    }
    return OpenToWrite(error) == SQLITE_OK;
}

int CPostHistory::OpenToWrite(CText& error)
{
    if (!AllRegular(error))
        return SQLITE_CANTOPEN;
    // Made here rather than by SQLite, which would let everyone read it. SQLite gives its
    // -wal and -shm files the mode of this one.
    const int fd = ::open(m_strPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        // A link put there since it was looked at.
        error = errno == ELOOP ? NotRegular(m_strPath)
                               : CText(CannotOpen, {m_strPath, SystemError(errno)});
        return SQLITE_CANTOPEN;
    }
    struct stat info;
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const bool madePrivate = regular && ::fchmod(fd, 0600) == 0;
    const int chmodError = errno;
    ::close(fd);
    if (!regular) {
        error = NotRegular(m_strPath);
        return SQLITE_CANTOPEN;
    }
    if (!madePrivate) {
        error = CText(CannotOpen, {m_strPath, SystemError(chmodError)});
        return SQLITE_CANTOPEN;
    }

    int rc = m_db.Open(WithFolderResolved(m_strPath),
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW);
    if (rc == SQLITE_OK)
        rc = m_db.SetBusyTimeout(static_cast<int>(m_limits.m_writeWaitMs));
    // The first statement to read the file is the one to find it damaged. A file of a newer
    // version is left as it is, even its journal mode; so is another program's, until it is
    // moved aside.
    std::int64_t version = 0;
    if (rc == SQLITE_OK)
        rc = m_db.PragmaInt("PRAGMA user_version", version);
    if (rc == SQLITE_OK && version > SchemaVersion) {
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
    if (rc == SQLITE_OK && version < SchemaVersion)
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
    for (const char* suffix : {"", Companions[0], Companions[1]}) {
        if (IsOtherThanFile(m_strPath + suffix)) {
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
    for (std::int64_t step = 0; rc == SQLITE_OK && step < version; ++step)
        rc = ours.Exec(Migrations[step]);
    std::vector<std::string> expected;
    std::vector<std::string> found;
    if (rc == SQLITE_OK)
        rc = TablesOf(ours, expected);
    if (rc != SQLITE_OK)
        return rc;
    rc = TablesOf(m_db, found);
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
    if (rc == SQLITE_OK && version > SchemaVersion) {
        error = NewerFile();
        return SQLITE_ERROR;
    }
    for (std::int64_t step = version; rc == SQLITE_OK && step < SchemaVersion; ++step) {
        rc = m_db.Exec(Migrations[step]);
        if (rc == SQLITE_OK)
            rc = AfterStep(m_db, step);
    }
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
        error = CText(CannotRead, {path, SystemError(errno)});
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
    const std::string sqlitePath = WithFolderResolved(path);
    const bool companions = Exists(path + Companions[0]) || Exists(path + Companions[1]);
    std::int64_t version = 0;
    int rc = SQLITE_CANTOPEN;
    if (companions)
        rc = ReadVersion(sqlitePath, SQLITE_OPEN_READONLY, version);
    else if (::access(path.c_str(), W_OK) == 0)
        rc = ReadVersion(sqlitePath, SQLITE_OPEN_READWRITE, version);
    if ((rc & 0xff) == SQLITE_CANTOPEN || (rc & 0xff) == SQLITE_READONLY)
        rc = ReadVersion(ImmutableUri(sqlitePath), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, version);
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
    if (version > SchemaVersion) {
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

bool CPostHistory::FindTarget(const CTarget& target, std::optional<TargetRow>& row, CText& error)
{
    row.reset();
    CSqliteStatement* find = Statement(FindTargetSql, error);
    if (!find)
        return false;
    CSqliteReset reset(*find);
    find->BindText(1, target.m_strUrl)
        .BindText(2, target.m_strBody)
        .BindText(3, target.m_strSource);
    const int rc = find->Step();
    if (rc == SQLITE_ROW) {
        row.emplace();
        row->m_id = find->Int64(0);
        // The last post, or the baseline while there is none since.
        if (!find->IsNull(2))
            row->m_lastSuccess = FromMillis(find->Int64(2));
        else if (!find->IsNull(1))
            row->m_lastSuccess = FromMillis(find->Int64(1));
    } else if (rc != SQLITE_DONE) {
        error = Failure(CannotRead);
        return false;
    }
    return true;
}

bool CPostHistory::TargetId(const CTarget& target, std::int64_t& id, CText& error)
{
    std::optional<TargetRow> row;
    if (!FindTarget(target, row, error))
        return false;
    if (row) {
        id = row->m_id;
        return true;
    }
    CSqliteStatement* add = Statement(AddTargetSql, error);
    if (!add)
        return false;
    CSqliteReset reset(*add);
    add->BindText(1, target.m_strUrl).BindText(2, target.m_strBody).BindText(3, target.m_strSource);
    if (!Wrote(add->Step(), error))
        return false;
    id = m_db.LastInsertRowid();
    return true;
}

bool CPostHistory::Changes(const CTarget& target, const std::vector<CSourceEntry>& source,
    CChangeSet& changes, CText& error)
{
    changes = CChangeSet();
    std::optional<TargetRow> row;
    if (!FindTarget(target, row, error))
        return false;
    // Per entry: whether it stands for its address, and whether that address is to be sent.
    enum : unsigned char
    {
        Duplicate,
        Send,
        Keep
    };
    std::vector<unsigned char> state(source.size(), Duplicate);
    const auto chosen = Distinct(source);
    for (const auto& [address, index] : chosen)
        state[index] = Send;

    if (row) {
        changes.m_bFirstRun = false;
        changes.m_lastSuccess = row->m_lastSuccess;
        // One pass over the target's record against the source held in memory: far fewer
        // steps into SQLite than a look-up per address.
        CSqliteStatement* sent = Statement(SentOfTargetSql, error);
        if (!sent)
            return false;
        CSqliteReset reset(*sent);
        sent->BindInt64(1, row->m_id);
        int rc;
        while ((rc = sent->Step()) == SQLITE_ROW) {
            const auto found = chosen.find(sent->Text(0));
            const bool checked = !sent->IsNull(2);
            const std::string_view page = checked ? sent->Text(2) : std::string_view();
            if (found == chosen.end()) {
                if (!checked)
                    changes.m_unlisted.emplace_back(sent->Text(0));
                continue;
            }
            const std::optional<std::int64_t>& modified = source[found->second].m_modified;
            const bool redated = modified && (sent->IsNull(1) || *modified > sent->Int64(1));
            // A page that was gone, or no longer listed, and is listed again is new again.
            if (page == "removed" || page == "unlisted")
                continue;
            if (checked)
                changes.m_leftOutBefore.push_back(
                    {found->second, FromMillis(sent->Int64(3)), redated});
            else if (!modified || !redated)
                state[found->second] = Keep;
        }
        if (rc != SQLITE_DONE) {
            error = Failure(CannotRead);
            return false;
        }
    }
    for (std::size_t i = 0; i < state.size(); ++i) {
        if (state[i] == Send)
            changes.m_changed.push_back(i);
    }
    return true;
}

bool CPostHistory::LastSuccess(
    const CTarget& target, std::optional<Time>& lastSuccess, CText& error)
{
    lastSuccess.reset();
    std::optional<TargetRow> row;
    if (!FindTarget(target, row, error))
        return false;
    if (row)
        lastSuccess = row->m_lastSuccess;
    return true;
}

bool CPostHistory::SentOf(
    const CTarget& target, const std::string& address, std::optional<CSent>& sent, CText& error)
{
    sent.reset();
    std::optional<TargetRow> row;
    if (!FindTarget(target, row, error))
        return false;
    if (!row)
        return true;
    CSqliteStatement* one = Statement(SentOneSql, error);
    if (!one)
        return false;
    CSqliteReset reset(*one);
    one->BindInt64(1, row->m_id).BindText(2, address);
    const int rc = one->Step();
    if (rc == SQLITE_ROW) {
        sent.emplace();
        if (!one->IsNull(0))
            sent->m_modified = one->Int64(0);
        sent->m_sentAt = FromMillis(one->Int64(1));
        sent->m_strVerdict = one->Text(2);
    } else if (rc != SQLITE_DONE) {
        error = Failure(CannotRead);
        return false;
    }
    return true;
}

bool CPostHistory::PutSent(std::int64_t targetId, const std::vector<CSourceEntry>& entries,
    const std::string& verdict, Time now, CText& error, const char* page)
{
    CSqliteStatement* put = Statement(PutSentSql, error);
    if (!put)
        return false;
    // In the order of the table's key, which keeps a large baseline's pages filling up one
    // after the other.
    const auto chosen = Distinct(entries);
    std::vector<std::pair<std::string_view, std::size_t>> ordered(chosen.begin(), chosen.end());
    std::sort(ordered.begin(), ordered.end());
    const std::int64_t sentAt = Millis(now);
    for (const auto& [address, index] : ordered) {
        CSqliteReset reset(*put);
        put->BindInt64(1, targetId).BindText(2, address).BindInt64(4, sentAt).BindText(5, verdict);
        if (page)
            put->BindText(6, page);
        else
            put->BindNull(6);
        if (entries[index].m_modified)
            put->BindInt64(3, *entries[index].m_modified);
        else
            put->BindNull(3);
        if (!Wrote(put->Step(), error))
            return false;
    }
    return true;
}

bool CPostHistory::RecordBaseline(
    const CTarget& target, const std::vector<CSourceEntry>& source, Time now, CText& error)
{
    if (!Statement(ClearSentSql, error) || !Statement(SetBaselineSql, error))
        return false;
    return InTransaction(error, [&] {
        std::int64_t id = 0;
        if (!TargetId(target, id, error))
            return false;
        {
            CSqliteStatement& clear = m_statements[ClearSentSql];
            CSqliteReset reset(clear);
            if (!Wrote(clear.BindInt64(1, id).Step(), error))
                return false;
        }
        if (!PutSent(id, source, OutcomeWord(PostOutcome::Baseline), now, error))
            return false;
        CSqliteStatement& baseline = m_statements[SetBaselineSql];
        CSqliteReset reset(baseline);
        return Wrote(baseline.BindInt64(1, id).BindInt64(2, Millis(now)).Step(), error);
    });
}

bool CPostHistory::RecordSent(const CTarget& target, const std::vector<CSourceEntry>& sent,
    const std::string& verdict, Time now, CText& error)
{
    CSqliteStatement* lastPost = Statement(SetLastPostSql, error);
    if (!lastPost)
        return false;
    return InTransaction(error, [&] {
        std::int64_t id = 0;
        if (!TargetId(target, id, error) || !PutSent(id, sent, verdict, now, error))
            return false;
        CSqliteReset reset(*lastPost);
        return Wrote(lastPost->BindInt64(1, id).BindInt64(2, Millis(now)).Step(), error);
    });
}

bool CPostHistory::RecordChecked(
    const CTarget& target, const std::vector<CCheckedAddress>& checked, Time now, CText& error)
{
    if (checked.empty())
        return true;
    return InTransaction(error, [&] {
        std::int64_t id = 0;
        if (!TargetId(target, id, error))
            return false;
        for (const CCheckedAddress& address : checked) {
            if (!PutSent(id, {address.m_entry}, address.m_strReason, now, error,
                    address.m_strPage.c_str()))
                return false;
        }
        return true;
    });
}

bool CPostHistory::Forget(const CTarget& target, CText& error)
{
    if (!Statement(ClearSentSql, error) || !Statement(DeleteTargetSql, error))
        return false;
    return InTransaction(error, [&] {
        std::optional<TargetRow> row;
        if (!FindTarget(target, row, error))
            return false;
        if (!row)
            return true;
        for (const int id : {ClearSentSql, DeleteTargetSql}) {
            CSqliteStatement& statement = m_statements[id];
            CSqliteReset reset(statement);
            if (!Wrote(statement.BindInt64(1, row->m_id).Step(), error))
                return false;
        }
        return true;
    });
}

bool CPostHistory::NextRun(std::int64_t& run, CText& error)
{
    if (!Statement(CountRunSql, error) || !Statement(LastRunSql, error))
        return false;
    return InTransaction(error, [&] {
        CSqliteStatement& count = m_statements[CountRunSql];
        CSqliteStatement& last = m_statements[LastRunSql];
        CSqliteReset resetCount(count);
        CSqliteReset resetLast(last);
        if (count.Step() != SQLITE_DONE || last.Step() != SQLITE_ROW) {
            error = Failure(CannotWrite);
            return false;
        }
        run = last.Int64(0);
        last.Reset();
        return true;
    });
}

bool CPostHistory::Log(const std::vector<CPostLogEntry>& entries, CText& error)
{
    CSqliteStatement* add = Statement(AddLogSql, error);
    if (!add)
        return false;
    return InTransaction(error, [&] {
        for (const CPostLogEntry& entry : entries) {
            CSqliteReset reset(*add);
            add->BindInt64(1, Millis(entry.m_time))
                .BindInt64(2, entry.m_run)
                .BindText(3, entry.m_strUrl)
                .BindText(4, entry.m_strBody)
                .BindText(5, entry.m_strChanges)
                .BindText(6, OutcomeWord(entry.m_outcome))
                .BindInt64(7, entry.m_status)
                .BindText(8, entry.m_strReason)
                .BindText(9, FirstCharacters(entry.m_strServiceMessage, ServiceMessageLength))
                .BindDouble(10, entry.m_seconds)
                .BindInt64(11, entry.m_addresses);
            if (!Wrote(add->Step(), error)
                || !Wrote(
                    m_addressLog.Add(m_db, m_db.LastInsertRowid(), entry.m_addressLog), error))
                return false;
        }
        return true;
    });
}

bool CPostHistory::Prune(Time now, CText& error)
{
    if (!Statement(PruneByTimeSql, error) || !Statement(PruneByCountSql, error))
        return false;
    return InTransaction(error, [&] {
        const auto oldest = now - std::chrono::hours(24 * KeptDays);
        CSqliteStatement& byTime = m_statements[PruneByTimeSql];
        CSqliteStatement& byCount = m_statements[PruneByCountSql];
        CSqliteReset resetTime(byTime);
        CSqliteReset resetCount(byCount);
        return Wrote(m_addressLog.Prune(
                         m_db, Millis(oldest), KeptEntries, m_limits.m_maxLoggedAddresses),
                   error)
            && Wrote(byTime.BindInt64(1, Millis(oldest)).Step(), error)
            && Wrote(byCount.BindInt64(1, KeptEntries).Step(), error);
    });
}

bool CPostHistory::ReadLog(
    std::optional<Time> since, const std::function<void(const CPostLogEntry&)>& each, CText& error)
{
    CSqliteStatement* read = Statement(ReadLogSql, error);
    if (!read)
        return false;
    CSqliteReset reset(*read);
    read->BindInt64(1, since ? Millis(*since) : std::numeric_limits<std::int64_t>::min());
    // One entry, refilled row by row, so that its strings keep their buffers.
    CPostLogEntry entry;
    int rc;
    while ((rc = read->Step()) == SQLITE_ROW) {
        ReadLogColumns(*read, 0, entry);
        each(entry);
    }
    if (rc != SQLITE_DONE) {
        error = Failure(CannotRead);
        return false;
    }
    return true;
}

bool CPostHistory::RecentOutcomes(const std::string& url, const std::string& body,
    const std::string& changes, std::size_t runs, std::vector<CRunOutcomes>& outcomes, CText& error)
{
    outcomes.clear();
    CSqliteStatement* recent = Statement(RecentOutcomesSql, error);
    if (!recent)
        return false;
    CSqliteReset reset(*recent);
    const auto limit = static_cast<std::int64_t>(
        std::min<std::size_t>(runs, std::numeric_limits<std::int64_t>::max()));
    recent->BindText(1, url).BindText(2, body).BindText(3, changes).BindInt64(4, limit);
    int rc;
    while ((rc = recent->Step()) == SQLITE_ROW) {
        const std::int64_t run = recent->Int64(0);
        if (outcomes.empty() || outcomes.back().m_run != run)
            outcomes.push_back({run, {}});
        outcomes.back().m_outcomes.push_back(
            OutcomeOf(recent->Text(1)).value_or(PostOutcome::Failed));
    }
    if (rc != SQLITE_DONE) {
        error = Failure(CannotRead);
        return false;
    }
    return true;
}

bool CPostHistory::Untold(std::vector<CStreakAlert>& alerts, CText& error)
{
    alerts.clear();
    CSqliteStatement* untold = Statement(UntoldSql, error);
    if (!untold)
        return false;
    CSqliteReset reset(*untold);
    int rc;
    while ((rc = untold->Step()) == SQLITE_ROW) {
        alerts.push_back({std::string(untold->Text(0)), std::string(untold->Text(1)),
            std::string(untold->Text(2)), untold->Int64(3) != 0, std::string(untold->Text(4))});
    }
    if (rc != SQLITE_DONE) {
        error = Failure(CannotRead);
        return false;
    }
    return true;
}

bool CPostHistory::KeepUntold(const std::vector<CStreakAlert>& alerts, CText& error)
{
    if (!Statement(ClearUntoldSql, error) || !Statement(AddUntoldSql, error))
        return false;
    return InTransaction(error, [&] {
        CSqliteStatement& clear = m_statements[ClearUntoldSql];
        CSqliteStatement& add = m_statements[AddUntoldSql];
        CSqliteReset resetClear(clear);
        if (!Wrote(clear.Step(), error))
            return false;
        for (const CStreakAlert& alert : alerts) {
            CSqliteReset resetAdd(add);
            add.BindText(1, alert.m_strUrl)
                .BindText(2, alert.m_strBody)
                .BindText(3, alert.m_strChanges)
                .BindInt64(4, alert.m_bFailing ? 1 : 0)
                .BindText(5, alert.m_strReason);
            if (!Wrote(add.Step(), error))
                return false;
        }
        return true;
    });
}

bool CPostHistory::LastLoggedSuccess(const std::string& url, const std::string& body,
    const std::string& changes, std::optional<Time>& lastSuccess, CText& error)
{
    lastSuccess.reset();
    CSqliteStatement* last = Statement(LastLoggedSuccessSql, error);
    if (!last)
        return false;
    CSqliteReset reset(*last);
    last->BindText(1, url).BindText(2, body).BindText(3, changes);
    if (last->Step() != SQLITE_ROW) {
        error = Failure(CannotRead);
        return false;
    }
    if (!last->IsNull(0))
        lastSuccess = FromMillis(last->Int64(0));
    return true;
}

bool CPostHistory::PageLog(const std::string& page, std::optional<Time> since,
    const std::function<void(const CPageEvent&)>& each, CText& error)
{
    std::string normal;
    if (!IsOpen(error))
        return false;
    if (!NormalAddress(page, normal))
        return true;
    const int rc = m_addressLog.Page(
        m_db, normal, since ? Millis(*since) : std::numeric_limits<std::int64_t>::min(), each);
    if (rc == SQLITE_DONE)
        return true;
    error = Failure(CannotRead);
    return false;
}

bool CPostHistory::AddressesOf(
    std::int64_t entry, std::vector<CLoggedAddress>& addresses, CText& error)
{
    if (!IsOpen(error))
        return false;
    if (m_addressLog.OfEntry(m_db, entry, addresses) == SQLITE_DONE)
        return true;
    error = Failure(CannotRead);
    return false;
}
