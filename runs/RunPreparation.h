#pragma once

#include "core/net/PostLimits.h"
#include "core/run/ChangeWorker.h"
#include "core/text/Text.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class CSubmitHost;
struct CPostRequest;

// What a run would post, worked out off the window's thread (CChangeWorker): a target's key
// file checked, its source read, its pages checked and its changes made into batches of
// requests; or why it posts nothing, and what the checks left out. Submit All, Submit's
// browser window, Preview and a dry run all prepare their targets here; a dry preparation
// records nothing.
//
// The same worker keeps the record of what was sent and the post log, which a run that posts
// reaches through Worker(). Its reports come over to this object's thread as signals, as
// queued calls: the worker never waits for this thread.
class CRunPreparation : public QObject
{
    Q_OBJECT

public:
    using Alerts = std::vector<CChangeWorker::CAlert>;
    using LastSuccesses = std::vector<std::pair<std::uint64_t, std::optional<CChangeWorker::Time>>>;

    CRunPreparation(CPostSettings settings, bool dry, QObject* parent = nullptr);
    ~CRunPreparation() override;

    // Whether the target is prepared here before it posts: its key file or its source first.
    // Every target of a dry preparation is, for the exact body it would send.
    bool Needs(const CSubmitHost& target, const CPostRequest& request) const;
    // The work of preparing a target as it stands now; id: the caller's, which its Prepared
    // and Progress carry.
    CChangeWorker::CTargetWork Work(
        std::uint64_t id, std::uint64_t run, const CSubmitHost& target, CPostRequest request) const;
    void Prepare(std::vector<CChangeWorker::CTargetWork> targets);
    // The batches prepared will not be posted: the worker lets go of what it would record.
    void Drop(const CChangeWorker::CPrepared& prepared);
    // Ends the reads under way: preparations not done come back as stopped.
    void Stop();
    // Ends the worker, first writing what it has still to record and log; nothing is
    // reported any more.
    void End() { m_worker.reset(); }
    // The worker, made at its first use.
    CChangeWorker& Worker();
    bool HasWorker() const { return m_worker != nullptr; }
    // Before the first use: tells the alerts a run's end calls for, on the worker's thread,
    // leaving those it could not tell for the next run's end; false when no one tells them.
    void SetTellAlerts(std::function<bool(Alerts&)> tell) { m_tellAlerts = std::move(tell); }

Q_SIGNALS:
    // What a target posts, or why it posts nothing.
    void Prepared(const CChangeWorker::CPrepared& prepared);
    // A target's preparation reads something over the network now ("Reading https://...").
    void Progress(std::uint64_t id, const CText& status);
    // Once, when the record file was damaged and a new one started, or cannot be used.
    void RecordNotice(const CText& notice);
    // A run given to the worker's EndRun is written: what of it could not be recorded or
    // logged, empty when all was.
    void RunRecorded(const CText& notRecorded);
    void LastSuccessesRead(const LastSuccesses& last);

private:
    CChangeWorker::CCallbacks Callbacks();

    const CPostSettings m_settings;
    const bool m_bDry;
    std::function<bool(Alerts&)> m_tellAlerts;
    std::unique_ptr<CChangeWorker> m_worker;
};
