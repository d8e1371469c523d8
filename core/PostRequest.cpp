#include "core/PostRequest.h"

#include "core/SubmitHost.h"

bool CPostRequest::operator==(const CPostRequest& other) const
{
    return m_strUrl == other.m_strUrl && m_strContentType == other.m_strContentType
        && m_body == other.m_body && m_kind == other.m_kind;
}

bool PrepareRequest(const CSubmitHost& host, CPostRequest& request, CText& refusal)
{
    request = CPostRequest();
    refusal = CText();
    request.m_strUrl = host.m_strUrl;
    request.m_body = host.GetPostData();
    return true;
}
