#pragma once

#include "core/net/PostLimits.h"

#include <curl/curl.h>

// Sets the options of one easy handle and keeps the first code libcurl refuses one with:
// the options after it are not set, so the transfer is not started half set up.
//
// SetCommon holds what every transfer of the program is set up with, so that a post, the
// check of a key file and the read of a site's sources meet a server alike.
class CEasySetup
{
public:
    // A null handle is a setup that failed.
    explicit CEasySetup(CURL* curl);

    template <typename T> void Set(CURLoption option, T value)
    {
        if (m_code == CURLE_OK)
            m_code = curl_easy_setopt(m_curl, option, value);
    }

    // No signals, http and https only, the program's name, certificates checked (against
    // the settings' CA file when it names one), the settings' limits but on the whole
    // transfer, which is totalTimeoutMs. reachedServer is set when a connection had a peer,
    // for TransferFailureText.
    void SetCommon(const CPostSettings& settings, long totalTimeoutMs, bool* reachedServer);

    CURLcode Code() const { return m_code; }

private:
    CURL* const m_curl;
    CURLcode m_code;
};
