#include "core/post/PostRequest.h"

#include "core/indexnow/IndexNow.h"
#include "core/post/JsonBody.h"
#include "core/post/XmlRpcBody.h"
#include "core/source/SourceAddress.h"
#include "core/target/Placeholders.h"
#include "core/target/SubmitHost.h"
#include "core/text/Utf8.h"

bool PrepareRequest(const CSubmitHost& host, CPostRequest& request, CText& refusal)
{
    request = CPostRequest();
    refusal = CText();
    request.m_address = CAddress::Read(host.m_strUrl);
    request.m_kind = BodyKindOf(host.m_strBodyKind);
    request.m_bIndexNow = request.m_kind == BodyKind::Json && IsIndexNowAddress(request.m_address);
    std::string source;
    if (host.m_strChanges && !CSourceAddress().Read(*host.m_strChanges, source)) {
        //: Why a target is not posted: its "Changes from" field holds no web address
        refusal = CText(QT_TRANSLATE_NOOP("Quillpost", "“Changes from” is not a web address"));
        return false;
    }
    if (request.m_kind == BodyKind::Unknown) {
        refusal = CText(QT_TRANSLATE_NOOP("Quillpost", "Unknown body kind “%1”"),
            {ShownUtf8(*host.m_strBodyKind)});
        return false;
    }
    if (!request.m_address.IsValid()) {
        refusal = request.m_address.Refusal();
        return false;
    }
    if (!CheckPlaceholders(host, refusal))
        return false;
    switch (request.m_kind) {
    case BodyKind::XmlRpc:
        request.m_strContentType = XmlRpcContentType;
        return BuildXmlRpcBody(host, request.m_body, refusal);
    case BodyKind::Json: {
        request.m_strContentType = JsonContentType;
        CKeyFile keyFile;
        return BuildJsonBody(host, request.m_body, refusal)
            && (!request.m_bIndexNow || CheckIndexNow(host, keyFile, refusal));
    }
    case BodyKind::Form:
    case BodyKind::Unknown:
        break;
    }
    request.m_body = host.GetPostData();
    // The encoder makes room for every byte escaped; a request that waits in a long queue
    // keeps none of it.
    request.m_body.shrink_to_fit();
    return true;
}
