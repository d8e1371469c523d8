// The change worker's post log, the alerts it decides from it, and last successes.
#include "core/run/ChangeWorker.h"

#include "core/history/FailureStreak.h"
#include "core/run/RunState.h"
#include "core/text/ResultRecord.h"

#include <algorithm>
#include <set>
#include <tuple>
#include <utility>

namespace {

// Runs a target's alert is decided from: enough to see a streak begin through the runs that
// had nothing to post, which neither break nor extend it.
constexpr std::size_t AlertRuns = 60;
// The runs read first; a streak not settled by them is read as far as AlertRuns.
constexpr std::size_t FirstLookRuns = FailuresToAlert + 2;

// The outcome of a target in one run, from the outcomes of its posts: a failure in any of them
// makes the run a failure for it.
std::optional<PostOutcome> OutcomeOfRun(const std::vector<PostOutcome>& posts)
{
    std::optional<PostOutcome> run;
    for (const PostOutcome outcome : posts) {
        if (outcome == PostOutcome::Failed || outcome == PostOutcome::NotPosted)
            return outcome;
        if (!run || outcome == PostOutcome::Succeeded)
            run = outcome;
    }
    return run;
}

} // namespace

void CChangeWorker::Log(std::uint64_t run, std::vector<CPostLogEntry> entries)
{
    Push([this, run, entries = std::move(entries)]() mutable {
        CText error;
        if (m_bReadOnly || entries.empty())
            return;
        CRunState& state = RunOf(run);
        const auto notLogged = [&state](const CText& why) {
            if (state.m_notRecorded.IsEmpty())
                state.m_notRecorded = CText::Nested(
                    //: After a run, when its posts could not be written to the post log
                    QT_TRANSLATE_NOOP("Quillpost", "The post log was not written: %1"), {why});
        };
        if (!OpenHistory(error)) {
            // No folder for it at all is no failure to write it: none was promised.
            if (!m_strHistoryPath.empty())
                notLogged(m_historyFailure);
            return;
        }
        const bool logToo = RecordHeldAgain(state);
        MarkNotRecorded(state, entries);
        if (!logToo) {
            notLogged(state.m_writeFailure);
            return;
        }
        if (!state.m_logRun) {
            std::int64_t number = 0;
            if (!m_history.NextRun(number, error)) {
                notLogged(error);
                return;
            }
            state.m_logRun = number;
        }
        TakeAddresses(state, entries);
        for (CPostLogEntry& entry : entries) {
            entry.m_run = *state.m_logRun;
            std::string& reason
                = state.m_logged[{entry.m_strUrl, entry.m_strBody, entry.m_strChanges}];
            if (entry.m_outcome != PostOutcome::Succeeded)
                reason = WhyFailed(entry);
        }
        if (!state.m_loggedAfter && !state.m_bLogMissed) {
            std::int64_t last = 0;
            if (m_history.LastLogId(last, error))
                state.m_loggedAfter = last;
            else
                state.m_bLogMissed = true;
        }
        if (!m_history.Log(entries, error)) {
            notLogged(error);
            state.m_bLogMissed = true;
        }
    });
}

bool CChangeWorker::RecordHeldAgain(CRunState& run)
{
    if (run.m_held.empty())
        return true;
    RecordHeld(run);
    if (run.m_held.empty())
        return true;
    run.m_notRecorded = CText::Nested(
        //: After a run, when what was sent could not be written to the record
        QT_TRANSLATE_NOOP("Quillpost", "Not recorded: %1 (these may be sent again next run)"),
        {run.m_writeFailure});
    // The log would wait as long for the same lock.
    return !m_history.WasBusy();
}

void CChangeWorker::MarkNotRecorded(const CRunState& run, std::vector<CPostLogEntry>& entries)
{
    for (CPostLogEntry& entry : entries) {
        for (const CPending& batch : run.m_held) {
            if (entry.m_outcome == PostOutcome::Succeeded
                && entry.m_strUrl == MaskPassword(batch.m_key.m_strUrl)
                && entry.m_strBody == batch.m_key.m_strBody
                && entry.m_strChanges == batch.m_key.m_strSource) {
                entry.m_strReason += " · " + run.m_notRecorded.English();
                break;
            }
        }
    }
}

StreakAlert CChangeWorker::StreakOf(
    const std::string& url, const std::string& body, const std::string& changes)
{
    // Most targets' last few runs tell; only a streak that goes on past them is read further.
    std::vector<PostOutcome> outcomes;
    for (const std::size_t look : {FirstLookRuns, AlertRuns}) {
        std::vector<CPostHistory::CRunOutcomes> runs;
        CText error;
        if (!m_history.RecentOutcomes(url, body, changes, look, runs, error))
            return StreakAlert::None;
        outcomes.clear();
        for (const CPostHistory::CRunOutcomes& past : runs) {
            if (const std::optional<PostOutcome> outcome = OutcomeOfRun(past.m_outcomes))
                outcomes.push_back(*outcome);
        }
        if (runs.size() < look || FailureStreakSettled(outcomes))
            break;
    }
    return FailureStreakAlert(outcomes);
}

void CChangeWorker::EndRun(std::uint64_t run)
{
    Push([this, run] {
        const auto ended = m_runs.find(run);
        CText error;
        CText notRecorded;
        std::vector<CAlert> alerts;
        // Another process held the file all the time the run's writes waited: those of the
        // alerts would only wait as long.
        bool lockedOut = false;
        if (ended != m_runs.end()) {
            notRecorded = ended->second->m_notRecorded;
            lockedOut = !notRecorded.IsEmpty() && m_history.WasBusy();
            // A preview tells nothing, and keeps what is untold for a run.
            if (m_bHistoryOpen && !m_bReadOnly) {
                alerts = AlertsOf(*ended->second);
                // Keeping the log short can wait for a run whose writes went through.
                if (ended->second->m_logRun && notRecorded.IsEmpty())
                    m_history.Prune(std::chrono::system_clock::now(), error);
            }
            m_runs.erase(ended);
        }
        if (!alerts.empty() && m_callbacks.m_onAlerts) {
            const std::vector<CAlert> untold = m_callbacks.m_onAlerts(std::move(alerts));
            if (!lockedOut)
                m_history.KeepUntold(untold, error);
        }
        if (m_callbacks.m_onRunRecorded)
            m_callbacks.m_onRunRecorded(run, std::move(notRecorded));
    });
}

std::vector<CChangeWorker::CAlert> CChangeWorker::AlertsOf(const CRunState& run)
{
    CText error;
    std::vector<CAlert> fresh;
    if (run.m_logRun) {
        // Most targets did not fail the run before: one read rules them all out.
        std::set<std::tuple<std::string, std::string, std::string>> afterFailure;
        const bool ruledOut = run.m_loggedAfter && !run.m_bLogMissed
            && m_history.AfterFailure(*run.m_logRun, *run.m_loggedAfter, afterFailure, error);
        for (const auto& [target, reason] : run.m_logged) {
            if (ruledOut && afterFailure.count(target) == 0)
                continue;
            const auto& [url, body, changes] = target;
            const StreakAlert alert = StreakOf(url, body, changes);
            if (alert != StreakAlert::None)
                fresh.push_back({url, body, changes, alert == StreakAlert::Failing, reason});
        }
    }
    std::vector<CAlert> alerts;
    m_history.Untold(alerts, error);
    const auto sameTarget = [](const CAlert& one, const CAlert& other) {
        return one.m_strUrl == other.m_strUrl && one.m_strBody == other.m_strBody
            && one.m_strChanges == other.m_strChanges;
    };
    alerts.erase(std::remove_if(alerts.begin(), alerts.end(),
                     [&](const CAlert& untold) {
                         return std::any_of(fresh.begin(), fresh.end(),
                             [&](const CAlert& alert) { return sameTarget(untold, alert); });
                     }),
        alerts.end());
    for (CAlert& untold : alerts)
        untold.m_bCarried = true;
    alerts.insert(alerts.end(), fresh.begin(), fresh.end());
    return alerts;
}

void CChangeWorker::LastSuccesses(
    std::vector<std::pair<std::uint64_t, CPostHistory::CTarget>> targets)
{
    Push([this, targets = std::move(targets)] {
        CText error;
        if (!m_callbacks.m_onLastSuccesses || m_strHistoryPath.empty())
            return;
        // Only read: asking makes no record where there is none yet.
        CPostHistory reader;
        CPostHistory* history = &m_history;
        bool none = false;
        if (!m_bHistoryOpen) {
            const CPostHistory::ReadState state = reader.OpenToRead(m_strHistoryPath, error);
            if (state == CPostHistory::ReadState::Unreadable)
                return;
            none = state == CPostHistory::ReadState::NoRecord;
            history = &reader;
        }
        std::vector<std::pair<std::uint64_t, std::optional<Time>>> last;
        last.reserve(targets.size());
        for (const auto& [id, target] : targets) {
            std::optional<Time> logged;
            std::optional<Time> recorded;
            if (!none) {
                history->LastLoggedSuccess(MaskPassword(target.m_strUrl), target.m_strBody,
                    target.m_strSource, logged, error);
                if (!target.m_strSource.empty())
                    history->LastSuccess(target, recorded, error);
            }
            last.emplace_back(id, std::max(logged, recorded));
        }
        m_callbacks.m_onLastSuccesses(std::move(last));
    });
}
