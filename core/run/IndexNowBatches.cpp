#include "core/run/IndexNowBatches.h"

#include "core/indexnow/IndexNow.h"
#include "core/net/Address.h"
#include "core/post/JsonBody.h"
#include "core/target/SubmitHost.h"

#include <algorithm>

namespace {

// The target's parameters with its urlList replaced by the addresses, where its first urlList
// parameter stood, or at the end when it had none.
void WithAddresses(
    const CSubmitHost& target, const std::vector<const std::string*>& addresses, CSubmitHost& batch)
{
    bool placed = false;
    const auto place = [&] {
        for (const std::string* address : addresses)
            batch.AddParam(CPostParam("urlList[]", *address));
        placed = true;
    };
    CSubmitHost::ParamPosition pos;
    CPostParam param;
    for (bool more = target.GetFirstParam(pos, param); more;
         more = target.GetNextParam(pos, param)) {
        if (!IsUrlList(param.m_strName))
            batch.AddParam(std::move(param));
        else if (!placed)
            place();
    }
    if (!placed)
        place();
}

} // namespace

std::vector<CIndexNowBatch> IndexNowBatches(const CSubmitHost& target, const CPostRequest& request,
    const std::vector<const CSourceEntry*>& changed, const std::vector<std::string>& removed)
{
    // IndexNow takes the addresses on its host only, so many a request.
    const std::optional<CAddress> host
        = IndexNowHost(target.FirstValue("host").value_or(std::string()));
    const auto onHost = [&host](const std::string& address) {
        return host && CAddress::Read(address).SameHost(*host);
    };
    std::vector<const std::string*> addresses;
    std::vector<const CSourceEntry*> entries;
    for (const CSourceEntry* entry : changed) {
        if (onHost(entry->m_strAddress)) {
            addresses.push_back(&entry->m_strAddress);
            entries.push_back(entry);
        }
    }
    for (const std::string& address : removed) {
        if (onHost(address))
            addresses.push_back(&address);
    }
    std::vector<CIndexNowBatch> batches;
    for (std::size_t first = 0; first < addresses.size(); first += MaxIndexNowAddresses) {
        const std::size_t last = std::min(addresses.size(), first + MaxIndexNowAddresses);
        CSubmitHost batchTarget;
        WithAddresses(target,
            std::vector<const std::string*>(addresses.begin() + static_cast<std::ptrdiff_t>(first),
                addresses.begin() + static_cast<std::ptrdiff_t>(last)),
            batchTarget);
        CIndexNowBatch batch;
        batch.m_request = request;
        CText refusal;
        // The target's body was built before; only the addresses are new, and they came
        // as UTF-8 from an XML reader.
        BuildJsonBody(batchTarget, batch.m_request.m_strBody, refusal);
        for (std::size_t i = first; i < last; ++i) {
            if (i < entries.size())
                batch.m_sent.push_back(*entries[i]);
            else
                batch.m_removed.push_back(*addresses[i]);
        }
        batches.push_back(std::move(batch));
    }
    return batches;
}
