#pragma once

#include "core/history/PostHistory.h"
#include "core/indexnow/KeyCheck.h"
#include "core/net/PostLimits.h"
#include "core/page/PageVerdict.h"
#include "core/post/PostRequest.h"
#include "core/source/SourceReader.h"
#include "core/text/Text.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

class CPageChecks;
class CSubmitHost;
struct CTargetCheck;

// The part of the runs that is neither posting nor the window's, on a thread of its own: it
// works out what a target posts when that takes the network or the record (an IndexNow key
// file to check, a site's sitemap or feed to read, the changes since the target last posted),
// and keeps the record of what was sent and the log of every post.
//
// A source and a key file are read once a run, however many of its targets name them. Only a
// success updates the record: a batch's addresses are recorded when the caller says it
// succeeded. A dry preparation records nothing.
//
// Reports come through the callbacks on the worker's thread; they must not block. Stop ends
// the reads under way and reports the preparations not done as stopped. Destruction first
// writes what is left to record and log, trying once more what could not be, and makes no
// further report.
class CChangeWorker
{
public:
    using Time = std::chrono::system_clock::time_point;

    // A target to prepare, as the caller's thread saw it when the run took it.
    struct CTargetWork
    {
        // The caller's, to know the report by.
        std::uint64_t m_id = 0;
        // Sources and key files are read once for all the targets of a run.
        std::uint64_t m_run = 0;
        // A copy of the target, which nothing changes any more.
        std::shared_ptr<const CSubmitHost> m_target;
        // What the target posts as it stands; an IndexNow target's batches are made from it.
        CPostRequest m_request;
        bool m_bIndexNow = false;
        // Works out what would be posted and records nothing: a preview, or Submit.
        bool m_bDry = false;
    };

    // One post of a target, with the addresses it carries from the target's source.
    struct CBatch
    {
        CPostRequest m_request;
        std::size_t m_addresses = 0;
        // Those of them announced as removed from the site.
        std::vector<std::string> m_removed;
        // To say whether it succeeded (Recorded); 0 when nothing is to be recorded of it.
        std::uint64_t m_token = 0;
    };

    struct CPrepared
    {
        enum class Kind
        {
            // m_batches are to be posted, one after another.
            Post,
            // Nothing is posted: m_reason says why.
            NotPosted,
            // Nothing changed since the last success (m_lastSuccess).
            Unchanged,
            // A first run that only recorded the source (m_addresses of them).
            Baseline,
            Stopped,
        };

        std::uint64_t m_id = 0;
        Kind m_kind = Kind::NotPosted;
        CText m_reason;
        std::vector<CBatch> m_batches;
        std::size_t m_addresses = 0;
        // What the page checks left out, with their reasons; with Unchanged when every
        // address was left out, with NotPosted when every check failed.
        std::vector<CLeftOutAddress> m_leftOut;
        std::optional<Time> m_lastSuccess;
        // What the source left out for a limit, or what the key file's check noted.
        CText m_note;
        // When the IndexNow key file passed its check, if it was checked.
        std::optional<Time> m_keyCheckedAt;
    };

    // What the record says of how a target's runs have gone, after a run: it has failed
    // FailuresToAlert runs in a row, or works again after that.
    using CAlert = CStreakAlert;

    struct CCallbacks
    {
        std::function<void(CPrepared prepared)> m_onPrepared;
        // A target's preparation reads something over the network now ("Reading https://...").
        std::function<void(std::uint64_t id, CText status)> m_onProgress;
        // Once, when the record file was damaged and a new one started, or cannot be used.
        std::function<void(CText notice)> m_onRecordNotice;
        // Once a run given to EndRun is written: what of it could not be recorded or logged,
        // empty when all was.
        std::function<void(std::uint64_t run, CText notRecorded)> m_onRunRecorded;
        // May wait for the desktop, within a bound of its own. It gives back the alerts it
        // could not tell in time, which the next run's end tells with its own; those of a run
        // before are marked carried.
        std::function<std::vector<CAlert>(std::vector<CAlert> alerts)> m_onAlerts;
        // When each target asked about last succeeded, by the caller's ids; none for never.
        std::function<void(std::vector<std::pair<std::uint64_t, std::optional<Time>>> last)>
            m_onLastSuccesses;
    };

    // historyPath: the record's file; empty when there is no folder to keep it in, which
    // historyUnknown says (targets with a source are then not posted).
    // readOnly: the record is only read (a dry run): nothing is made, recorded or logged, and
    // no record yet reads as one that holds nothing.
    CChangeWorker(CPostSettings settings, std::string historyPath, CText historyUnknown,
        CCallbacks callbacks, bool readOnly = false);
    CChangeWorker(const CChangeWorker&) = delete;
    CChangeWorker& operator=(const CChangeWorker&) = delete;
    ~CChangeWorker();

    // Opens the record and folds in what earlier runs wrote, now, while a run's first posts
    // go, rather than when the first of its entries is logged or the program ends: both read
    // or write the whole file and wait for the disk.
    void OpenRecord();
    void Prepare(std::vector<CTargetWork> targets);
    // A batch's post ended; its addresses are recorded when it succeeded. A write that fails
    // (after waiting for another process's lock as long as the settings say) is tried again
    // when the run's posts are done, and the run's later writes wait until then.
    void Recorded(std::uint64_t token, bool success, std::string verdict, Time when);
    // Keeps the entries of a run, whose posts are done, in the post log; the caller's run
    // number becomes the log's. What could not be recorded is tried once more first; what
    // still cannot is said in the reasons of the posts it was sent by.
    void Log(std::uint64_t run, std::vector<CPostLogEntry> entries);
    // The run is over: what was read for it is let go, the log is pruned, the targets whose
    // failures call for a word are reported, after those an earlier run could not tell, and
    // then what could not be written.
    void EndRun(std::uint64_t run);
    // Reads when the targets last succeeded (the post log, and the record for a target with a
    // source), and reports it by the ids given.
    void LastSuccesses(std::vector<std::pair<std::uint64_t, CPostHistory::CTarget>> targets);
    // Ends the reads under way; preparations not done are reported as stopped. Later ones go
    // on as usual.
    void Stop();

    // The record's key of a target: its URL, body kind as the data file writes it, source.
    static CPostHistory::CTarget RecordKeyOf(const CSubmitHost& target);

private:
    using Job = std::function<void()>;
    struct CRunState;
    struct CPending;

    void Run();
    void Push(Job job);
    void DoPrepare(CTargetWork& work);
    CPrepared Work(CTargetWork& work);
    // The source of a target that posts its changes, read; null when it cannot be, prepared
    // saying why.
    const CSourceRead* ReadChanges(CTargetWork& work, CRunState& run, CPrepared& prepared);
    // A target's first run: IndexNow records the source as its baseline, a ping posts once.
    void PrepareFirstRun(CTargetWork& work, CRunState& run, const CSourceRead& read,
        const CPostHistory::CTarget& key, CPrepared& prepared);
    // What a later run posts: the changes since the record, their pages checked if asked.
    void PrepareChanges(CTargetWork& work, CRunState& run, const CSourceRead& read,
        const CPostHistory::CChangeSet& changes, const CPostHistory::CTarget& key,
        CPrepared& prepared);
    bool CheckKey(CTargetWork& work, CRunState& run, CPrepared& prepared);
    const CSourceRead& ReadSource(CTargetWork& work, CRunState& run, const std::string& url);
    bool OpenHistory(CText& reason);
    // Those of the run's targets whose streaks call for a word, after those an earlier run
    // could not tell (unless the run has newer word of the same target).
    std::vector<CAlert> AlertsOf(const CRunState& run);
    // What the target's runs in the log call for; none when the log cannot be read.
    StreakAlert StreakOf(
        const std::string& url, const std::string& body, const std::string& changes);
    CRunState& RunOf(std::uint64_t run);
    std::vector<CBatch> Batches(const CTargetWork& work, CRunState& run,
        const std::vector<CSourceEntry>& entries, const std::vector<std::size_t>& changed,
        const std::vector<std::string>& removed, const CPostHistory::CTarget& key);

    // The page checks (WorkerChecks.cpp). A target's key in the post log.
    using LogKey = std::tuple<std::string, std::string, std::string>;
    static LogKey LogKeyOf(const CPostHistory::CTarget& key);
    static std::vector<CLoggedAddress> LoggedAddresses(
        const std::vector<CSourceEntry>& sent, const std::vector<std::string>& removed);
    CPageChecks& ChecksOf(CRunState& run);
    // Checks a target's pages into check and says what they came to in prepared; false when
    // they leave nothing to post, prepared's kind then saying why (Stopped for Stop).
    bool CheckTargetPages(CTargetWork& work, CRunState& run,
        const std::vector<CSourceEntry>& entries, const std::vector<std::size_t>& changed,
        const CPostHistory::CChangeSet& changes, const std::vector<std::string>& gone,
        CTargetCheck& check, CPrepared& prepared);
    // A target's changes, due re-checks and removals checked: send and removed are what is
    // to go, and what a check found not to send is recorded (but for a dry preparation).
    // False when nothing is to be posted, prepared saying why.
    bool CheckChanges(CTargetWork& work, CRunState& run, const CSourceRead& read,
        const CPostHistory::CChangeSet& changes, const CPostHistory::CTarget& key,
        std::vector<std::size_t>& send, std::vector<std::string>& removed, CPrepared& prepared);
    // The urlList of an IndexNow target without a source, as written, checked.
    void CheckUrlList(CTargetWork& work, CRunState& run, CPrepared& prepared);
    // The run's addresses for the post log go into its entries.
    void TakeAddresses(CRunState& run, std::vector<CPostLogEntry>& entries);
    std::uint64_t KeepBatch(std::uint64_t run, const CPostHistory::CTarget& key,
        std::vector<CSourceEntry> entries, bool baseline);
    bool Write(const CPending& batch, CText& error);
    // Writes the run's batches not recorded yet, until one fails again.
    void RecordHeld(CRunState& run);
    // The run's posts are done: what could not be recorded after them is tried again. False
    // when the post log is not to be written either, as it would wait as long for the lock.
    bool RecordHeldAgain(CRunState& run);
    // Each successful post whose addresses are not recorded says so in the log.
    void MarkNotRecorded(const CRunState& run, std::vector<CPostLogEntry>& entries);
    bool Stopping() const { return m_bStop.load(); }

    const CPostSettings m_settings;
    const std::string m_strHistoryPath;
    const CText m_historyUnknown;
    const CCallbacks m_callbacks;
    const bool m_bReadOnly;
    // Read only, and there is no record yet.
    bool m_bNoRecord = false;

    // The worker's own.
    CPostHistory m_history;
    bool m_bHistoryTried = false;
    bool m_bHistoryOpen = false;
    CText m_historyFailure;
    std::map<std::uint64_t, std::unique_ptr<CRunState>> m_runs;
    std::map<std::uint64_t, CPending> m_pending;
    std::uint64_t m_lastToken = 0;

    std::atomic<bool> m_bStop{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    // Preparations asked for since the last Stop; a Stop drops the others.
    std::uint64_t m_generation = 0;
    bool m_bQuit = false;
    std::thread m_thread;
};
