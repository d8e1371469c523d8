#include "core/net/EasySetup.h"

#include "core/net/TransferFailure.h"

namespace {

const char UserAgent[] = "Quillpost";

} // namespace

CEasySetup::CEasySetup(CURL* curl)
    : m_curl(curl)
    , m_code(curl ? CURLE_OK : CURLE_FAILED_INIT)
{
}

void CEasySetup::SetCommon(const CPostSettings& settings, long totalTimeoutMs, bool* reachedServer)
{
    const CPostLimits& limits = settings.m_limits;
    Set(CURLOPT_NOSIGNAL, 1L);
    // Without it, ending a transfer waits for a name lookup in progress, however long the
    // resolver takes: Stop or the connect time-out would not end it.
    Set(CURLOPT_QUICK_EXIT, 1L);
    Set(CURLOPT_PROTOCOLS_STR, "http,https");
    Set(CURLOPT_USERAGENT, UserAgent);
    Set(CURLOPT_SSL_VERIFYPEER, 1L);
    Set(CURLOPT_SSL_VERIFYHOST, 2L);
    if (!settings.m_strCaFile.empty())
        Set(CURLOPT_CAINFO, settings.m_strCaFile.c_str());
    Set(CURLOPT_CONNECTTIMEOUT_MS, limits.m_connectTimeoutMs);
    Set(CURLOPT_LOW_SPEED_LIMIT, limits.m_lowSpeedBytes);
    Set(CURLOPT_LOW_SPEED_TIME, limits.m_lowSpeedSeconds);
    Set(CURLOPT_TIMEOUT_MS, totalTimeoutMs);
    Set(CURLOPT_CLOSESOCKETFUNCTION, &CloseSocketNotingPeer);
    Set(CURLOPT_CLOSESOCKETDATA, static_cast<void*>(reachedServer));
}
