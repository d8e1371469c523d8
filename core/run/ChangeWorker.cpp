#include "core/run/ChangeWorker.h"

#include "core/indexnow/IndexNow.h"
#include "core/net/Address.h"
#include "core/run/IndexNowBatches.h"
#include "core/run/PageChecks.h"
#include "core/run/RunState.h"
#include "core/source/SourceAddress.h"
#include "core/system/WorkerThread.h"
#include "core/target/BodyKind.h"
#include "core/target/SubmitHost.h"

#include <utility>

CChangeWorker::CChangeWorker(CPostSettings settings, std::string historyPath, CText historyUnknown,
    CCallbacks callbacks, bool readOnly)
    : m_settings(std::move(settings))
    , m_strHistoryPath(std::move(historyPath))
    , m_historyUnknown(std::move(historyUnknown))
    , m_callbacks(std::move(callbacks))
    , m_bReadOnly(readOnly)
    , m_history(m_settings.m_record)
{
    m_thread = StartWorkerThread(&CChangeWorker::Run, this);
}

CChangeWorker::~CChangeWorker()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
        m_bStop = true;
    }
    // What is left to record and log is done first: a command-line run ends right after its
    // last post, and its log must not go with it. Preparations left report nothing.
    m_wake.notify_one();
    m_thread.join();
    // The program is ending, or its window closing: neither waits for the disk.
    m_history.CloseLeavingWal();
}

CPostHistory::CTarget CChangeWorker::RecordKeyOf(const CSubmitHost& target)
{
    return {target.m_strUrl, target.m_strBodyKind.value_or("form"),
        target.m_strChanges.value_or(std::string())};
}

void CChangeWorker::Push(Job job)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void CChangeWorker::Run()
{
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_bQuit || !m_jobs.empty(); });
            if (m_jobs.empty())
                break;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
    }
    // Runs that never ended (the window closed): what they could not record is tried once
    // more, although no one is left to be told.
    for (auto& [number, run] : m_runs)
        RecordHeld(*run);
}

void CChangeWorker::OpenRecord()
{
    Push([this] {
        CText reason;
        if (OpenHistory(reason) && !m_bReadOnly)
            m_history.Checkpoint(reason);
    });
}

void CChangeWorker::Prepare(std::vector<CTargetWork> targets)
{
    std::uint64_t generation = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        generation = m_generation;
    }
    for (CTargetWork& target : targets) {
        Push([this, generation, work = std::move(target)]() mutable {
            {
                // A Stop since the preparation was asked for ends it before it starts; one
                // asked for since goes on.
                const std::lock_guard<std::mutex> lock(m_mutex);
                if (m_bQuit)
                    return;
                m_bStop = generation != m_generation;
            }
            DoPrepare(work);
        });
    }
}

void CChangeWorker::Stop()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_generation;
        m_bStop = true;
    }
    m_wake.notify_one();
}

void CChangeWorker::DoPrepare(CTargetWork& work)
{
    CPrepared prepared = Work(work);
    if (Stopping() && prepared.m_kind != CPrepared::Kind::Post) {
        prepared = CPrepared();
        prepared.m_id = work.m_id;
        prepared.m_kind = CPrepared::Kind::Stopped;
    }
    m_callbacks.m_onPrepared(std::move(prepared));
}

CChangeWorker::CPrepared CChangeWorker::Work(CTargetWork& work)
{
    CPrepared prepared;
    prepared.m_id = work.m_id;
    if (Stopping()) {
        prepared.m_kind = CPrepared::Kind::Stopped;
        return prepared;
    }
    CRunState& run = RunOf(work.m_run);
    if (work.m_bIndexNow && !CheckKey(work, run, prepared))
        return prepared;
    const CSubmitHost& target = *work.m_target;
    if (!target.m_strChanges) {
        prepared.m_kind = CPrepared::Kind::Post;
        prepared.m_batches.push_back(CBatch{work.m_request, 0, {}, 0});
        if (work.m_bIndexNow && target.m_bCheckPages)
            CheckUrlList(work, run, prepared);
        return prepared;
    }
    const CSourceRead* read = ReadChanges(work, run, prepared);
    if (!read)
        return prepared;

    const CPostHistory::CTarget key = RecordKeyOf(target);
    CPostHistory::CChangeSet changes;
    CText reason;
    if (!m_bNoRecord && !m_history.Changes(key, read->m_entries, changes, reason)) {
        prepared.m_reason = reason;
        return prepared;
    }
    prepared.m_lastSuccess = changes.m_lastSuccess;
    if (changes.m_bFirstRun)
        PrepareFirstRun(work, run, *read, key, prepared);
    else
        PrepareChanges(work, run, *read, changes, key, prepared);
    return prepared;
}

const CSourceRead* CChangeWorker::ReadChanges(
    CTargetWork& work, CRunState& run, CPrepared& prepared)
{
    CText reason;
    if (!OpenHistory(reason)) {
        prepared.m_reason = reason;
        return nullptr;
    }
    const CSourceRead& read = ReadSource(work, run, *work.m_target->m_strChanges);
    if (Stopping()) {
        prepared.m_kind = CPrepared::Kind::Stopped;
        return nullptr;
    }
    if (!read.m_bOk) {
        prepared.m_reason = read.m_failure;
        return nullptr;
    }
    prepared.m_note = read.m_note;
    return &read;
}

void CChangeWorker::PrepareFirstRun(CTargetWork& work, CRunState& run, const CSourceRead& read,
    const CPostHistory::CTarget& key, CPrepared& prepared)
{
    if (work.m_bIndexNow) {
        // IndexNow would take the whole site as new: the first run only records it.
        CText reason;
        if (!work.m_bDry
            && !m_history.RecordBaseline(
                key, read.m_entries, std::chrono::system_clock::now(), reason)) {
            prepared.m_reason = reason;
            return;
        }
        prepared.m_kind = CPrepared::Kind::Baseline;
        prepared.m_addresses = read.m_entries.size();
        if (!work.m_bDry) {
            std::vector<CLoggedAddress>& logged = run.m_targetAddresses[LogKeyOf(key)];
            for (const CSourceEntry& entry : read.m_entries)
                logged.push_back({entry.m_strAddress, AddressFate::Baseline, {}});
        }
        return;
    }
    // A ping names no addresses: the first run posts once, and its success is the
    // baseline.
    std::vector<std::size_t> all(read.m_entries.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    const std::uint64_t token = work.m_bDry ? 0 : KeepBatch(work.m_run, key, read.m_entries, true);
    prepared.m_kind = CPrepared::Kind::Post;
    prepared.m_addresses = read.m_entries.size();
    prepared.m_batches.push_back(CBatch{work.m_request, 0, {}, token});
}

void CChangeWorker::PrepareChanges(CTargetWork& work, CRunState& run, const CSourceRead& read,
    const CPostHistory::CChangeSet& changes, const CPostHistory::CTarget& key, CPrepared& prepared)
{
    std::vector<std::size_t> send = changes.m_changed;
    std::vector<std::string> removed;
    if (work.m_bIndexNow && work.m_target->m_bCheckPages
        && !CheckChanges(work, run, read, changes, key, send, removed, prepared))
        return;
    prepared.m_batches = Batches(work, run, read.m_entries, send, removed, key);
    if (prepared.m_batches.empty()) {
        prepared.m_kind = CPrepared::Kind::Unchanged;
        return;
    }
    prepared.m_kind = CPrepared::Kind::Post;
    for (const CBatch& batch : prepared.m_batches)
        prepared.m_addresses += batch.m_addresses;
}

std::vector<CChangeWorker::CBatch> CChangeWorker::Batches(const CTargetWork& work, CRunState& run,
    const std::vector<CSourceEntry>& entries, const std::vector<std::size_t>& changed,
    const std::vector<std::string>& removed, const CPostHistory::CTarget& key)
{
    std::vector<CBatch> batches;
    if (!work.m_bIndexNow) {
        // Any change on the site is worth a ping.
        if (changed.empty())
            return batches;
        std::vector<CSourceEntry> sent;
        sent.reserve(changed.size());
        for (const std::size_t i : changed)
            sent.push_back(entries[i]);
        const std::uint64_t token
            = work.m_bDry ? 0 : KeepBatch(work.m_run, key, std::move(sent), false);
        batches.push_back(CBatch{work.m_request, 0, {}, token});
        return batches;
    }
    std::vector<const CSourceEntry*> pages;
    pages.reserve(changed.size());
    for (const std::size_t i : changed)
        pages.push_back(&entries[i]);
    for (CIndexNowBatch& made : IndexNowBatches(*work.m_target, work.m_request, pages, removed)) {
        CBatch batch{std::move(made.m_request), made.m_sent.size() + made.m_removed.size(),
            made.m_removed, 0};
        if (!work.m_bDry) {
            std::vector<CLoggedAddress> logged = LoggedAddresses(made.m_sent, made.m_removed);
            batch.m_token = KeepBatch(work.m_run, key, std::move(made.m_sent), false);
            for (std::string& address : made.m_removed)
                m_pending[batch.m_token].m_removed.push_back({std::move(address), std::nullopt});
            run.m_batchAddresses[batch.m_token] = std::move(logged);
        }
        batches.push_back(std::move(batch));
    }
    return batches;
}

std::uint64_t CChangeWorker::KeepBatch(std::uint64_t run, const CPostHistory::CTarget& key,
    std::vector<CSourceEntry> entries, bool baseline)
{
    const std::uint64_t token = ++m_lastToken;
    m_pending[token] = CPending{run, key, std::move(entries), {}, baseline, {}, {}};
    return token;
}

bool CChangeWorker::CheckKey(CTargetWork& work, CRunState& run, CPrepared& prepared)
{
    CKeyFile file;
    CText refusal;
    // Judged as --check-keys judges it.
    if (!CheckIndexNow(*work.m_target, file, refusal)) {
        prepared.m_reason = refusal;
        return false;
    }
    // Targets that share a file may each want another key in it: a verdict is the pair's.
    const std::pair<std::string, std::string> checkedAs(file.m_strUrl, file.m_strKey);
    auto checked = run.m_keyFiles.find(checkedAs);
    if (checked == run.m_keyFiles.end()) {
        if (m_callbacks.m_onProgress)
            m_callbacks.m_onProgress(work.m_id,
                //: While the key file of an IndexNow target is fetched before its post
                CText(QT_TRANSLATE_NOOP("Quillpost", "Checking %1"), {file.m_strUrl}));
        CKeyVerdict verdict = CKeyCheck(m_settings, &m_bStop).Check(file);
        if (Stopping()) {
            prepared.m_kind = CPrepared::Kind::Stopped;
            return false;
        }
        checked = run.m_keyFiles.emplace(checkedAs, std::move(verdict)).first;
    }
    const CKeyVerdict& verdict = checked->second;
    if (!verdict.m_bOk) {
        // A failed transfer is said as a post's would be: the file it was for goes with it.
        prepared.m_reason
            = verdict.m_reason.English().find(verdict.m_strKeyFile) == std::string::npos
            //: Why an IndexNow target is not posted: its key file could not be fetched
            ? CText::Nested(QT_TRANSLATE_NOOP("Quillpost", "Key file %1: %2"),
                {CText::Verbatim(verdict.m_strKeyFile), verdict.m_reason})
            : verdict.m_reason;
        return false;
    }
    prepared.m_note = verdict.m_note;
    prepared.m_keyCheckedAt = verdict.m_checkedAt;
    work.m_request.m_keyCheckedAt = verdict.m_checkedAt;
    return true;
}

const CSourceRead& CChangeWorker::ReadSource(
    CTargetWork& work, CRunState& run, const std::string& url)
{
    const auto read = run.m_sources.find(url);
    if (read != run.m_sources.end())
        return read->second;
    if (m_callbacks.m_onProgress)
        m_callbacks.m_onProgress(work.m_id,
            //: While a site's sitemap or feed is read before its targets are posted
            CText(QT_TRANSLATE_NOOP("Quillpost", "Reading %1"), {url}));
    CSourceRead source = CSourceReader(m_settings, &m_bStop).Read(url);
    // A read that Stop cut short is no read of the source: a later run reads it anew.
    if (Stopping()) {
        static const CSourceRead none;
        return none;
    }
    return run.m_sources.emplace(url, std::move(source)).first->second;
}

bool CChangeWorker::OpenHistory(CText& reason)
{
    if (!m_bHistoryTried) {
        m_bHistoryTried = true;
        if (m_strHistoryPath.empty()) {
            m_historyFailure = m_historyUnknown;
        } else if (m_bReadOnly) {
            const CPostHistory::ReadState state
                = m_history.OpenToRead(m_strHistoryPath, m_historyFailure);
            m_bHistoryOpen = state != CPostHistory::ReadState::Unreadable;
            m_bNoRecord = state == CPostHistory::ReadState::NoRecord;
        } else {
            std::string movedTo;
            m_bHistoryOpen = m_history.Open(
                m_strHistoryPath, std::chrono::system_clock::now(), movedTo, m_historyFailure);
            if (!movedTo.empty() && m_callbacks.m_onRecordNotice)
                m_callbacks.m_onRecordNotice(CText(QT_TRANSLATE_NOOP("Quillpost",
                                                       "The history file was damaged: it was "
                                                       "kept as %1 and a new one started"),
                    {movedTo}));
        }
    }
    if (!m_bHistoryOpen)
        //: Why a target that posts its site's changes is not posted
        reason = CText::Nested(
            QT_TRANSLATE_NOOP("Quillpost", "No record of what was sent: %1"), {m_historyFailure});
    return m_bHistoryOpen;
}

CChangeWorker::CRunState& CChangeWorker::RunOf(std::uint64_t run)
{
    std::unique_ptr<CRunState>& state = m_runs[run];
    if (!state)
        state = std::make_unique<CRunState>();
    return *state;
}

void CChangeWorker::Recorded(std::uint64_t token, bool success, std::string verdict, Time when)
{
    if (token == 0)
        return;
    Push([this, token, success, verdict = std::move(verdict), when]() mutable {
        const auto pending = m_pending.find(token);
        if (pending == m_pending.end())
            return;
        CPending batch = std::move(pending->second);
        m_pending.erase(pending);
        if (!success || !m_bHistoryOpen)
            return;
        batch.m_strVerdict = std::move(verdict);
        batch.m_when = when;
        CRunState& run = RunOf(batch.m_run);
        if (run.m_writeFailure.IsEmpty() && Write(batch, run.m_writeFailure))
            return;
        run.m_held.push_back(std::move(batch));
    });
}

bool CChangeWorker::Write(const CPending& batch, CText& error)
{
    if (batch.m_bBaseline)
        return m_history.RecordBaseline(batch.m_key, batch.m_entries, batch.m_when, error);
    std::vector<CPostHistory::CCheckedAddress> removed;
    for (const CSourceEntry& entry : batch.m_removed)
        removed.push_back({entry, "removed", batch.m_strVerdict});
    return m_history.RecordSent(
               batch.m_key, batch.m_entries, batch.m_strVerdict, batch.m_when, error)
        && m_history.RecordChecked(batch.m_key, removed, batch.m_when, error);
}

void CChangeWorker::RecordHeld(CRunState& run)
{
    auto batch = run.m_held.begin();
    for (; batch != run.m_held.end(); ++batch) {
        if (!Write(*batch, run.m_writeFailure))
            break;
    }
    run.m_held.erase(run.m_held.begin(), batch);
}
