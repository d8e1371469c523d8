#include "app/ResultRecords.h"

#include "core/PostResult.h"
#include "core/SubmitHost.h"

CResultRecord RecordOf(const CSubmitHost& host, const CPostResult& result)
{
    CResultRecord record;
    record.m_strUrl = host.m_strUrl;
    record.m_strBody = host.m_strBodyKind.value_or("form");
    record.m_bSuccess = result.m_bSuccess;
    record.m_status = result.m_status;
    record.m_strReason = result.m_reason.English();
    record.m_strServiceMessage = result.m_serviceMessage.English();
    record.m_strError = result.m_strError;
    record.m_seconds = result.m_seconds;
    record.m_strFinalUrl = result.m_strFinalUrl;
    record.m_finishedAt = result.m_finishedAt;
    record.m_strMovedTo = result.m_strMovedTo;
    return record;
}
