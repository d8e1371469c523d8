#include "core/PostRequest.h"

#include "core/IndexNow.h"
#include "core/JsonBody.h"
#include "core/Placeholders.h"
#include "core/SubmitHost.h"
#include "core/Utf8.h"
#include "core/XmlRpcBody.h"

bool PrepareRequest(const CSubmitHost& host, CPostRequest& request, CText& refusal)
{
    request = CPostRequest();
    refusal = CText();
    request.m_strUrl = host.m_strUrl;
    request.m_kind = BodyKindOf(host.m_strBodyKind);
    if (!CheckPlaceholders(host, refusal))
        return false;
    switch (request.m_kind) {
    case BodyKind::Form:
        request.m_body = host.GetPostData();
        return true;
    case BodyKind::XmlRpc:
        request.m_strContentType = XmlRpcContentType;
        return BuildXmlRpcBody(host, request.m_body, refusal);
    case BodyKind::Json:
        request.m_strContentType = JsonContentType;
        return BuildJsonBody(host, request.m_body, refusal)
            && (!IsIndexNowTarget(host) || CheckIndexNow(host, refusal));
    case BodyKind::Unknown:
        break;
    }
    refusal = CText(
        QT_TRANSLATE_NOOP("Quillpost", "Unknown body kind “%1”"), {ShownUtf8(*host.m_strBodyKind)});
    return false;
}
