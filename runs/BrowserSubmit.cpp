#include "runs/BrowserSubmit.h"

#include "core/post/FormPoster.h"
#include "core/post/PostRequest.h"
#include "core/target/SubmitHost.h"
#include "runs/PreparedResult.h"
#include "runs/ResultText.h"

#include <utility>

CBrowserSubmit::CBrowserSubmit(CBrowserLauncher* launcher, CPostSettings settings, QObject* parent)
    : QObject(parent)
    , m_launcher(launcher)
    , m_preparation(std::move(settings), true)
{
    connect(&m_preparation, &CRunPreparation::Prepared, this, &CBrowserSubmit::OnPrepared);
}

void CBrowserSubmit::Submit(const CSubmitHost& target)
{
    if (m_id != 0)
        m_preparation.Stop();
    m_id = 0;
    CPostRequest request;
    CText refusal;
    if (!PrepareRequest(target, request, refusal)) {
        Q_EMIT Failed(CResultText::Summary(CPreparedResult::Refused(refusal, &target)));
        return;
    }
    m_noted = CPostResult();
    m_noted.SetTarget(target);
    // Each submit a run of its own: the source and key file are read again.
    m_id = ++m_lastId;
    m_preparation.Prepare({m_preparation.Work(m_id, m_id, target, std::move(request))});
}

void CBrowserSubmit::OnPrepared(const CChangeWorker::CPrepared& prepared)
{
    // Its run has one target (a stopped one too): what was read for it is let go.
    m_preparation.Worker().EndRun(prepared.m_id);
    if (prepared.m_id != m_id)
        return;
    m_id = 0;
    using Kind = CChangeWorker::CPrepared::Kind;
    if (prepared.m_kind != Kind::Post || prepared.m_batches.empty()) {
        Q_EMIT Failed(CResultText::Summary(CPreparedResult::Unposted(prepared, m_noted)));
        return;
    }
    // The first post that would go opens the window; the others wait for Submit All.
    CFormPoster(m_launcher).PostInBrowser(prepared.m_batches.front().m_request);
}
