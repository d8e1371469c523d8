#include "runs/RunPreparation.h"

#include "core/post/PostRequest.h"
#include "core/target/SubmitHost.h"
#include "runs/ProgramFolders.h"

#include <QMetaObject>

#include <algorithm>
#include <string>

CRunPreparation::CRunPreparation(CPostSettings settings, bool dry, QObject* parent)
    : QObject(parent)
    , m_settings(std::move(settings))
    , m_bDry(dry)
{
}

// The worker first writes what it has still to record and log; reports it had queued to this
// object are dropped with it.
CRunPreparation::~CRunPreparation() = default;

bool CRunPreparation::Needs(const CSubmitHost& target, const CPostRequest& request) const
{
    return target.m_strChanges || request.m_bIndexNow || m_bDry;
}

CChangeWorker::CTargetWork CRunPreparation::Work(
    std::uint64_t id, std::uint64_t run, const CSubmitHost& target, CPostRequest request) const
{
    const bool indexNow = request.m_bIndexNow;
    return CChangeWorker::CTargetWork{id, run, target.Copy(), std::move(request), indexNow, m_bDry};
}

void CRunPreparation::Prepare(std::vector<CChangeWorker::CTargetWork> targets)
{
    if (!targets.empty())
        Worker().Prepare(std::move(targets));
}

void CRunPreparation::Drop(const CChangeWorker::CPrepared& prepared)
{
    for (const CChangeWorker::CBatch& batch : prepared.m_batches)
        Worker().Recorded(batch.m_token, false, std::string(), {});
}

void CRunPreparation::Stop()
{
    if (m_worker)
        m_worker->Stop();
}

CChangeWorker& CRunPreparation::Worker()
{
    if (m_worker)
        return *m_worker;
    CText unknown;
    std::string history = ProgramFolders::HistoryFile(unknown);
    m_worker = std::make_unique<CChangeWorker>(
        m_settings, std::move(history), std::move(unknown), Callbacks(), m_bDry);
    return *m_worker;
}

CChangeWorker::CCallbacks CRunPreparation::Callbacks()
{
    // The worker's reports come over to this thread as queued calls; it never waits for it.
    const auto here = [this](auto call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
    };
    CChangeWorker::CCallbacks callbacks;
    callbacks.m_onPrepared = [this, here](CChangeWorker::CPrepared prepared) {
        here([this, prepared = std::move(prepared)] { Q_EMIT Prepared(prepared); });
    };
    callbacks.m_onProgress = [this, here](std::uint64_t id, CText status) {
        here([this, id, status = std::move(status)] { Q_EMIT Progress(id, status); });
    };
    callbacks.m_onRecordNotice = [this, here](CText notice) {
        here([this, notice = std::move(notice)] { Q_EMIT RecordNotice(notice); });
    };
    callbacks.m_onRunRecorded = [this, here](std::uint64_t, CText notRecorded) {
        here([this, notRecorded = std::move(notRecorded)] { Q_EMIT RunRecorded(notRecorded); });
    };
    callbacks.m_onLastSuccesses = [this, here](LastSuccesses last) {
        here([this, last = std::move(last)] { Q_EMIT LastSuccessesRead(last); });
    };
    // On the worker's thread. Alerts no one tells are dropped, but for those an earlier run
    // could not tell: they wait for a run that may speak.
    callbacks.m_onAlerts = [this](Alerts alerts) {
        if (m_tellAlerts && m_tellAlerts(alerts))
            return alerts;
        alerts.erase(std::remove_if(alerts.begin(), alerts.end(),
                         [](const CChangeWorker::CAlert& alert) { return !alert.m_bCarried; }),
            alerts.end());
        return alerts;
    };
    return callbacks;
}
