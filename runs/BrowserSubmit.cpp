#include "runs/BrowserSubmit.h"

#include "core/post/FormPoster.h"
#include "core/post/PostRequest.h"
#include "core/target/SubmitHost.h"
#include "runs/ResultText.h"

CBrowserSubmit::CBrowserSubmit(CBrowserLauncher* launcher, CPostSettings settings, QObject* parent)
    : QObject(parent)
    , m_launcher(launcher)
    , m_dryRun(m_target, std::move(settings))
{
    m_dryRun.SetDryRun(true);
    m_dryRun.SetNotify(false);
    connect(&m_dryRun, &CSubmitRuns::RowDecided, this, &CBrowserSubmit::OnDecided);
}

void CBrowserSubmit::Submit(const CSubmitHost& target)
{
    m_dryRun.Stop();
    m_target.Clear();
    m_bOpened = false;
    m_target.AppendRow(target.Copy());
    m_dryRun.SubmitAll();
}

void CBrowserSubmit::OnDecided(int row)
{
    const CPostResult* result = m_target.Result(row);
    const std::shared_ptr<CSubmitHost> target = m_target.Record(row);
    if (!result || !target || m_bOpened)
        return;
    m_bOpened = true;
    CPostRequest request;
    CText refusal;
    if (result->m_outcome != PostOutcome::WouldPost || !PrepareRequest(*target, request, refusal)) {
        Q_EMIT Failed(CResultText::Summary(*result));
        return;
    }
    request.m_strContentType = result->m_strContentType;
    CFormPoster::MakePostData(&request, result->m_strRequestBody);
    CFormPoster(m_launcher).PostInBrowser(request);
}
