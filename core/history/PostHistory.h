#pragma once

#include "core/history/AddressLog.h"
#include "core/history/FailureStreak.h"
#include "core/history/PostLogEntry.h"
#include "core/history/SqliteDatabase.h"
#include "core/net/PostLimits.h"
#include "core/source/SourceEntry.h"
#include "core/text/Text.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

// What was sent, and every post made, in one SQLite file (history.sqlite in the state folder)
// that the window and a timer run may have open at once.
//
// The record: per target and address, the date the source gave when the address was last sent
// with success, when that was, and the verdict. Only successes go in, so what failed is still
// to send on the next run. A target's first run records its whole source as a baseline.
//
// The post log: one entry per post, and one for a target that posted nothing in a run, kept
// for KeptDays or the newest KeptEntries, whichever are fewer; with each, the addresses it
// carried, announced as removed, recorded at a baseline or left out, of which the newest
// CRecordLimits::m_maxLoggedAddresses are kept (see PageLog).
//
// The untold: what a run found the user should hear of a target's streak of failures and
// could not tell in time, for a later run to tell.
//
// The file itself (opening, damage, versions) is PostHistory.cpp's; the record,
// PostHistorySent.cpp's; the post log and the untold, PostHistoryLog.cpp's. They are one class
// as they share one connection, and a run's record and log are written in one transaction.
//
// Every call returns false, with why in error, when SQLite fails; nothing throws. One thread
// at a time may use an object; several objects, in as many processes, may share a file.
class CPostHistory
{
public:
    using Time = std::chrono::system_clock::time_point;

    static constexpr int KeptDays = 90;
    static constexpr std::int64_t KeptEntries = 100000;
    // In characters (code points); a byte that is not part of one counts as one.
    static constexpr std::size_t ServiceMessageLength = 200;

    // A target as the record knows it: a change to any of these makes a new target, whose
    // next run is a first run.
    struct CTarget
    {
        std::string m_strUrl;
        std::string m_strBody;
        // The source (sitemap or feed) whose changes the target posts.
        std::string m_strSource;
    };

    // What a run of a target has to send.
    struct CChangeSet
    {
        // No record of the target yet.
        bool m_bFirstRun = true;
        // Indices into the source, ascending, one for each address never sent with success or
        // whose date is later than the one it was last sent with (or that was last sent with
        // none). An address without a date counts only when it is new. An address the source
        // lists more than once has the index of its latest date (of the first such).
        std::vector<std::size_t> m_changed;
        // When the target last posted with success, or its baseline was recorded if it has
        // not posted since.
        std::optional<Time> m_lastSuccess;

        // Of m_changed, those a page check left out before (RecordChecked with a verdict
        // word): when, and whether the source now gives a later date.
        struct CLeftOutBefore
        {
            std::size_t m_index = 0;
            Time m_checkedAt;
            bool m_bRedated = false;
        };
        std::vector<CLeftOutBefore> m_leftOutBefore;
        // Addresses sent or recorded at the baseline that the source no longer lists, in no
        // particular order. An address recorded as removed or unlisted that the source lists
        // again is in m_changed as a new one.
        std::vector<std::string> m_unlisted;
    };

    // One address of the record.
    struct CSent
    {
        std::optional<std::int64_t> m_modified;
        Time m_sentAt;
        std::string m_strVerdict;
    };

    // An address a page check found not to send as a change.
    struct CCheckedAddress
    {
        CSourceEntry m_entry;
        // A verdict word (VerdictWord) for one left out for a reason of the page, "removed"
        // for one announced as gone (after its post's success), or "unlisted" for one the
        // source no longer lists that is still there.
        std::string m_strPage;
        // In the words the row says ("not found").
        std::string m_strReason;
    };

    // The outcomes of a target's posts in one run, in the order they were logged.
    struct CRunOutcomes
    {
        std::int64_t m_run = 0;
        std::vector<PostOutcome> m_outcomes;
    };

    enum class ReadState
    {
        Opened,
        // No file, or one that holds nothing yet.
        NoRecord,
        // The reason is in error.
        Unreadable,
    };

    // The file in a folder such as StateFolderOf gives.
    static std::string FileIn(const std::string& folder);

    explicit CPostHistory(CRecordLimits limits = CRecordLimits());
    CPostHistory(CPostHistory&&) noexcept;
    CPostHistory& operator=(CPostHistory&&) noexcept;
    ~CPostHistory();

    // Opens the file to read and write, making it (0600) and its folder (0700, with any
    // missing parents) as needed. Anything but a regular file at its place, or at its -wal's
    // or -shm's, is refused, a link above all; links among the folders are followed. The
    // whole file is read once, so that damage anywhere is found here. A file SQLite finds not
    // to be a database, or corrupt, or another program's (tables that are not the ones its
    // version has), is moved aside untouched with its -wal and -shm files, as path +
    // ".damaged-" + now's UTC date (and "-2", "-3"... if that is taken), and a new one is
    // started: movedTo says where it went, even should the new one fail, and is empty
    // otherwise.
    bool Open(const std::string& path, Time now, std::string& movedTo, CText& error);
    // Opens the file to read only: nothing is made, changed or moved, whatever is found, and
    // no -wal or -shm file is left beside a file that had none. A file the user may not write,
    // or in a folder they may only read, is read all the same.
    ReadState OpenToRead(const std::string& path, CText& error);
    void Close();
    // The last failure was another process's lock on the file, held all the time a write
    // may wait: another write now would wait as long, in vain.
    bool WasBusy() const;
    // Writes to a file opened to write go to its -wal file, which is folded into the file
    // (and both synced) only here, once it has grown large, and when the last connection
    // closes; never in the middle of a write. A run calls this as it starts, off the way of
    // its posts.
    bool Checkpoint(CText& error);
    // Closes without folding the -wal file in first, which waits for the disk twice: the next
    // opening reads the -wal as it is. For a program that is about to end.
    void CloseLeavingWal();

    bool Changes(const CTarget& target, const std::vector<CSourceEntry>& source,
        CChangeSet& changes, CText& error);
    bool LastSuccess(const CTarget& target, std::optional<Time>& lastSuccess, CText& error);
    // When the log last holds a success of the target (its URL as logged, password masked).
    bool LastLoggedSuccess(const std::string& url, const std::string& body,
        const std::string& changes, std::optional<Time>& lastSuccess, CText& error);
    // The record of one address; none when it was never sent with success.
    bool SentOf(const CTarget& target, const std::string& address, std::optional<CSent>& sent,
        CText& error);

    // Starts the target's record afresh with the whole source, dates and all; an empty source
    // makes an empty record, which is still a record.
    bool RecordBaseline(
        const CTarget& target, const std::vector<CSourceEntry>& source, Time now, CText& error);
    // After a batch's success: its addresses, with the dates they were sent with. An address
    // listed more than once is recorded with its latest date, as Changes chose it.
    bool RecordSent(const CTarget& target, const std::vector<CSourceEntry>& sent,
        const std::string& verdict, Time now, CText& error);
    // What a page check found of addresses not sent, all in one transaction.
    bool RecordChecked(
        const CTarget& target, const std::vector<CCheckedAddress>& checked, Time now, CText& error);
    // The target's record goes, so that its next run is a first run; the post log stays.
    bool Forget(const CTarget& target, CText& error);

    // A number greater than any run was given before, in any process.
    bool NextRun(std::int64_t& run, CText& error);
    // All in one transaction, each entry with its m_addressLog.
    // Service messages are cut to ServiceMessageLength.
    bool Log(const std::vector<CPostLogEntry>& entries, CText& error);
    // Drops the entries older than KeptDays before now, then all but the newest KeptEntries,
    // each with its addresses; then all but the newest m_maxLoggedAddresses addresses.
    bool Prune(Time now, CText& error);
    // The entries from since on (all without it), oldest first, without their addresses. The
    // entry passed is valid during the call only.
    bool ReadLog(std::optional<Time> since, const std::function<void(const CPostLogEntry&)>& each,
        CText& error);
    // Every time a page was sent, announced as removed, recorded at a baseline or left out,
    // from since on (all without it), newest first, each with its post-log entry: by which
    // target, in which run, when and with what outcome and status. The page is read as
    // NormalAddress reads it, so that another case of the host, a default port or a fragment
    // finds the same; a text it refuses finds nothing. The event passed is valid during the
    // call only. Works on a file opened to read too.
    bool PageLog(const std::string& page, std::optional<Time> since,
        const std::function<void(const CPageEvent&)>& each, CText& error);
    // The addresses of one post-log entry (CPostLogEntry::m_id as ReadLog or PageLog give it),
    // in the order they were logged; none for an entry that carried none or is gone.
    bool AddressesOf(std::int64_t entry, std::vector<CLoggedAddress>& addresses, CText& error);
    // What no run could tell the user in time yet (KeepUntold), oldest first.
    bool Untold(std::vector<CStreakAlert>& alerts, CText& error);
    // Those become alerts, in one transaction.
    bool KeepUntold(const std::vector<CStreakAlert>& alerts, CText& error);
    // The outcomes of the target's last runs (at most runs of them), the newest last.
    bool RecentOutcomes(const std::string& url, const std::string& body, const std::string& changes,
        std::size_t runs, std::vector<CRunOutcomes>& outcomes, CText& error);
    // The id of the newest entry of the log; 0 when it has none.
    bool LastLogId(std::int64_t& id, CText& error);
    // Of the targets of the entries of run after the entry afterId, those whose last run
    // before it that succeeded or failed has a failure: only they can begin or end a streak
    // of failures, so that the others need no look at their runs one by one.
    bool AfterFailure(std::int64_t run, std::int64_t afterId,
        std::set<std::tuple<std::string, std::string, std::string>>& targets, CText& error);

private:
    struct CTargetRow;

    int OpenToWrite(CText& error);
    // The file made, or found, a regular file that only its owner may read; false with why.
    bool MakePrivateFile(CText& error) const;
    // False, with why, when anything but a regular file is at the file's place or its
    // companions'.
    bool AllRegular(CText& error) const;
    // SQLITE_NOTADB when the file's tables are not the ones its version has.
    int CheckTables(std::int64_t version);
    int ReadVersion(const std::string& name, int flags, std::int64_t& version);
    int QuickCheck();
    int Migrate(CText& error);
    bool IsOpen(CText& error) const;
    CSqliteStatement* Statement(int id, CText& error);
    bool FindTarget(const CTarget& target, std::optional<CTargetRow>& row, CText& error);
    bool TargetId(const CTarget& target, std::int64_t& id, CText& error);
    // page: as RecordChecked takes it; null for an address sent.
    bool PutSent(std::int64_t targetId, const std::vector<CSourceEntry>& entries,
        const std::string& verdict, Time now, CText& error, const char* page = nullptr);
    // Runs steps in one transaction, committed when they went through. steps sets error when
    // it fails; a transaction that cannot begin or commit is a failure to write.
    bool InTransaction(CText& error, const std::function<bool()>& steps);
    // True when a statement's step went through (SQLITE_DONE); else error says the file
    // cannot be written.
    bool Wrote(int rc, CText& error) const;
    CText Failure(const char* source) const;
    CText NewerFile() const;
    static CText NotRegular(const std::string& path);

    CRecordLimits m_limits;
    std::string m_strPath;
    CSqliteDatabase m_db;
    // Declared after the connection, so that they are finalized before it closes.
    std::vector<CSqliteStatement> m_statements;
    CAddressLog m_addressLog;
    // SQLite's code of the last failure said.
    mutable int m_lastFailure = 0;
};
