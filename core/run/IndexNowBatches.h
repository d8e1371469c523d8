#pragma once

#include "core/post/PostRequest.h"
#include "core/source/SourceEntry.h"

#include <cstddef>
#include <string>
#include <vector>

class CSubmitHost;

// One IndexNow request of a target's addresses.
struct CIndexNowBatch
{
    CPostRequest m_request;
    // Those it carries as changed, then those it announces as removed.
    std::vector<CSourceEntry> m_sent;
    std::vector<std::string> m_removed;
};

// The target's requests for the addresses on its host: the changed ones, then the removed,
// MaxIndexNowAddresses a request, each with the target's other parameters, its urlList where
// its first urlList parameter stood (or at the end).
std::vector<CIndexNowBatch> IndexNowBatches(const CSubmitHost& target, const CPostRequest& request,
    const std::vector<const CSourceEntry*>& changed, const std::vector<std::string>& removed);
