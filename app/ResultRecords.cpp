#include "app/ResultRecords.h"

#include "core/PostResult.h"
#include "core/SubmitHost.h"

CResultRecord RecordOf(const CSubmitHost& host, const CPostResult& result)
{
    CResultRecord record;
    record.m_strUrl = host.m_strUrl;
    // A target keeps no body kind of its own yet: every one is posted as a form.
    record.m_strBody = "form";
    record.m_bSuccess = result.m_bSuccess;
    record.m_status = result.m_status;
    record.m_strReason = result.m_reason.English();
    // A post's result carries no message of the service's yet: m_strServiceMessage stays empty.
    record.m_strError = result.m_strError;
    record.m_seconds = result.m_seconds;
    record.m_strFinalUrl = result.m_strFinalUrl;
    record.m_finishedAt = result.m_finishedAt;
    return record;
}
