// The change worker's page checks, and the addresses it keeps for the post log.
#include "core/run/ChangeWorker.h"

#include "core/indexnow/IndexNow.h"
#include "core/run/IndexNowBatches.h"
#include "core/run/PageChecks.h"
#include "core/run/RunState.h"
#include "core/source/SourceAddress.h"
#include "core/target/SubmitHost.h"
#include "core/text/ResultRecord.h"

#include <algorithm>
#include <iterator>
#include <numeric>
#include <tuple>
#include <utility>

namespace {

// Words beside those a note holds already.
CText WithNote(const CText& note, CText more)
{
    if (note.IsEmpty())
        return more;
    return CText::Nested(QT_TRANSLATE_NOOP("Quillpost", "%1; %2"), {note, std::move(more)});
}

} // namespace

std::vector<CLoggedAddress> CChangeWorker::LoggedAddresses(
    const std::vector<CSourceEntry>& sent, const std::vector<std::string>& removed)
{
    std::vector<CLoggedAddress> logged;
    logged.reserve(sent.size() + removed.size());
    for (const CSourceEntry& entry : sent)
        logged.push_back({entry.m_strAddress, AddressFate::Sent, {}});
    for (const std::string& address : removed)
        logged.push_back({address, AddressFate::Removed, {}});
    return logged;
}

CChangeWorker::LogKey CChangeWorker::LogKeyOf(const CPostHistory::CTarget& key)
{
    return {MaskPassword(key.m_strUrl), key.m_strBody, key.m_strSource};
}

CPageChecks& CChangeWorker::ChecksOf(CRunState& run)
{
    if (!run.m_checks)
        run.m_checks = std::make_unique<CPageChecks>(m_settings, m_settings.m_checks, &m_bStop);
    return *run.m_checks;
}

bool CChangeWorker::CheckTargetPages(CTargetWork& work, CRunState& run,
    const std::vector<CSourceEntry>& entries, const std::vector<std::size_t>& changed,
    const CPostHistory::CChangeSet& changes, const std::vector<std::string>& gone,
    CTargetCheck& check, CPrepared& prepared)
{
    if (m_callbacks.m_onProgress && !changed.empty())
        m_callbacks.m_onProgress(work.m_id,
            CText(QT_TRANSLATE_NOOP("Quillpost", "Checking %1"),
                {SiteOf(entries[changed.front()].m_strAddress)}));
    check = CheckTarget(
        ChecksOf(run), entries, changed, changes, gone, std::chrono::system_clock::now());
    // What Stop cut short is no verdict: nothing of it is recorded or said.
    if (Stopping()) {
        prepared.m_kind = CPrepared::Kind::Stopped;
        return false;
    }
    prepared.m_leftOut = check.m_leftOut;
    if (const CText left = ChecksLeftNote(check); !left.IsEmpty())
        prepared.m_note = WithNote(prepared.m_note, left);
    if (check.m_bAllRefused)
        prepared.m_note = WithNote(prepared.m_note,
            //: When every page check of a target was answered 403 Forbidden
            CText(QT_TRANSLATE_NOOP("Quillpost",
                "the site may refuse programs: turn off Check pages for this target")));
    if (!work.m_bDry) {
        std::vector<CLoggedAddress>& logged
            = run.m_targetAddresses[LogKeyOf(RecordKeyOf(*work.m_target))];
        for (const CLeftOutAddress& left : check.m_leftOut)
            logged.push_back({left.m_strAddress, AddressFate::LeftOut, left.m_reason.English()});
    }
    if (!check.m_announce.empty() || !check.m_removed.empty())
        return true;
    // Nothing to announce: the row says why.
    if (check.m_bAllFailed && !check.m_leftOut.empty()) {
        prepared.m_kind = CPrepared::Kind::NotPosted;
        prepared.m_reason = check.m_leftOut.front().m_reason;
    } else {
        prepared.m_kind = CPrepared::Kind::Unchanged;
    }
    return false;
}

bool CChangeWorker::CheckChanges(CTargetWork& work, CRunState& run, const CSourceRead& read,
    const CPostHistory::CChangeSet& changes, const CPostHistory::CTarget& key,
    std::vector<std::size_t>& send, std::vector<std::string>& removed, CPrepared& prepared)
{
    const std::optional<CAddress> host
        = IndexNowHost(work.m_target->FirstValue("host").value_or(std::string()));
    const auto onHost = [&host](const std::string& address) {
        return host && CAddress::Read(address).SameHost(*host);
    };
    std::vector<std::size_t> changed;
    for (const std::size_t index : changes.m_changed) {
        if (onHost(read.m_entries[index].m_strAddress))
            changed.push_back(index);
    }
    // Only a source read whole tells that an address is gone from it.
    std::vector<std::string> gone;
    if (read.m_bOk && !read.m_bCut) {
        for (const std::string& address : changes.m_unlisted) {
            if (onHost(address))
                gone.push_back(address);
        }
    }
    send.clear();
    removed.clear();
    // Nothing new, re-dated or gone: nothing to check.
    if (changed.empty() && gone.empty())
        return true;
    CTargetCheck check;
    const bool any
        = CheckTargetPages(work, run, read.m_entries, changed, changes, gone, check, prepared);
    if (prepared.m_kind == CPrepared::Kind::Stopped)
        return false;
    CText error;
    if (!work.m_bDry
        && !m_history.RecordChecked(key, check.m_record, std::chrono::system_clock::now(), error)) {
        prepared.m_kind = CPrepared::Kind::NotPosted;
        prepared.m_reason = error;
        return false;
    }
    send = std::move(check.m_announce);
    removed = std::move(check.m_removed);
    return any;
}

void CChangeWorker::CheckUrlList(CTargetWork& work, CRunState& run, CPrepared& prepared)
{
    const CSubmitHost& target = *work.m_target;
    std::vector<CSourceEntry> entries;
    CSubmitHost::ParamPosition pos;
    CPostParam param;
    for (bool more = target.GetFirstParam(pos, param); more;
         more = target.GetNextParam(pos, param)) {
        if (!IsUrlList(param.m_strName))
            continue;
        std::string normal;
        // One that is no web address is left out as such by its check.
        entries.push_back(
            {NormalAddress(param.m_strValue, normal) ? normal : param.m_strValue, std::nullopt});
    }
    std::vector<std::size_t> all(entries.size());
    std::iota(all.begin(), all.end(), std::size_t(0));
    CTargetCheck check;
    if (!CheckTargetPages(work, run, entries, all, {}, {}, check, prepared)) {
        prepared.m_batches.clear();
        return;
    }
    CBatch& batch = prepared.m_batches.front();
    batch.m_addresses = check.m_announce.size();
    // Only what is left out changes the request the user wrote.
    if (!check.m_leftOut.empty()) {
        std::vector<const CSourceEntry*> pages;
        for (const std::size_t index : check.m_announce)
            pages.push_back(&entries[index]);
        std::vector<CIndexNowBatch> made = IndexNowBatches(target, work.m_request, pages, {});
        if (made.empty()) {
            prepared.m_kind = CPrepared::Kind::Unchanged;
            prepared.m_batches.clear();
            return;
        }
        batch.m_request = std::move(made.front().m_request);
        batch.m_addresses = made.front().m_sent.size();
    }
    if (!work.m_bDry) {
        batch.m_token = ++m_lastToken;
        std::vector<CSourceEntry> sent;
        for (const std::size_t index : check.m_announce)
            sent.push_back(entries[index]);
        run.m_batchAddresses[batch.m_token] = LoggedAddresses(sent, {});
    }
}

void CChangeWorker::TakeAddresses(CRunState& run, std::vector<CPostLogEntry>& entries)
{
    for (CPostLogEntry& entry : entries) {
        const auto batch = run.m_batchAddresses.find(entry.m_batch);
        if (entry.m_batch == 0 || batch == run.m_batchAddresses.end())
            continue;
        entry.m_addressLog = std::move(batch->second);
        run.m_batchAddresses.erase(batch);
    }
    // A target's own go with its first entry of the run.
    for (auto target = run.m_targetAddresses.begin(); target != run.m_targetAddresses.end();) {
        const auto first = std::find_if(entries.begin(), entries.end(), [&](const auto& entry) {
            return LogKey{entry.m_strUrl, entry.m_strBody, entry.m_strChanges} == target->first;
        });
        if (first == entries.end()) {
            ++target;
            continue;
        }
        first->m_addressLog.insert(first->m_addressLog.end(),
            std::make_move_iterator(target->second.begin()),
            std::make_move_iterator(target->second.end()));
        target = run.m_targetAddresses.erase(target);
    }
}
