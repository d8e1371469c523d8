#include "core/post/PostRequest.h"

#include "core/indexnow/IndexNow.h"
#include "core/net/PrivateHost.h"
#include "core/post/FormPoster.h"
#include "core/post/JsonBody.h"
#include "core/post/XmlRpcBody.h"
#include "core/source/SourceAddress.h"
#include "core/target/Placeholders.h"
#include "core/target/SubmitHost.h"
#include "core/text/Utf8.h"

#include <optional>

namespace {

// A web address of a host only this network can reach, in "Changes from" or a parameter:
// announcing it to a public service tells the world of a staging or private site, and no
// search engine can fetch it. A service that is itself private (a test server, an intranet)
// may be sent anything. Only absolute http(s) addresses count: a name or a word is no address.
bool KeepsPrivateHome(const CSubmitHost& host, const CPostRequest& request, CText& refusal)
{
    if (IsPrivateHost(request.m_address))
        return true;
    const auto isPrivate = [&refusal](const std::string& text, bool siteHost = false) {
        const std::string trimmed = TrimBlanks(text);
        std::optional<CAddress> read;
        if (siteHost)
            read = IndexNowHost(trimmed);
        else if (StartsWithNoCase(trimmed, "http://") || StartsWithNoCase(trimmed, "https://"))
            read = CAddress::Read(trimmed);
        if (!read || !IsPrivateHost(*read))
            return false;
        const CAddress& address = *read;
        //: Why a target is not posted: it would send a public service an address of a
        //: private host (localhost, .local, 10.0.0.1...)
        refusal
            = CText(QT_TRANSLATE_NOOP("Quillpost", "%1 is a private address"), {address.Shown()});
        return true;
    };
    if (host.m_strChanges && isPrivate(*host.m_strChanges))
        return false;
    CSubmitHost::ParamPosition pos;
    CPostParam param;
    for (bool more = host.GetFirstParam(pos, param); more; more = host.GetNextParam(pos, param)) {
        // IndexNow's "host" names the site its key file is fetched from, address or not.
        if (isPrivate(param.m_strValue, request.m_bIndexNow && param.m_strName == "host"))
            return false;
    }
    return true;
}

} // namespace

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
    if (!CheckPlaceholders(host, refusal) || !KeepsPrivateHome(host, request, refusal))
        return false;
    switch (request.m_kind) {
    case BodyKind::XmlRpc:
        request.m_strContentType = XmlRpcContentType;
        return BuildXmlRpcBody(host, request.m_strBody, refusal);
    case BodyKind::Json: {
        request.m_strContentType = JsonContentType;
        CKeyFile keyFile;
        return BuildJsonBody(host, request.m_strBody, refusal)
            && (!request.m_bIndexNow || CheckIndexNow(host, keyFile, refusal));
    }
    case BodyKind::Form:
    case BodyKind::Unknown:
        break;
    }
    CFormPoster::MakePostData(&request, host.GetPostData());
    // The encoder makes room for every byte escaped; a request that waits in a long queue
    // keeps none of it.
    request.m_strBody.shrink_to_fit();
    return true;
}
