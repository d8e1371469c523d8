#pragma once

#include "core/net/PostLimits.h"
#include "core/text/Text.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

// Where an IndexNow key is published, and the key it must hold.
struct CKeyFile
{
    // As libcurl's URL parser writes it, which is what the check fetches.
    std::string m_strUrl;
    std::string m_strKey;
};

// The key file of an IndexNow target from its host, key and keyLocation parameters:
// keyLocation when there is one, else https://<host>/<key>.txt. False, with the reason in
// refusal, when host is not a host name or keyLocation is not an http or https address on it
// (ports aside); such a target is not to be posted.
bool KeyFileOf(const std::string& host, const std::string& key,
    const std::optional<std::string>& keyLocation, CKeyFile& file, CText& refusal);

// What a check of a key file came to. Every reason but a failed transfer's names the file; a
// transfer's failure is said in the words a post's would be ("Connection refused"), so show
// m_strKeyFile with it. Both show the file's address with its password as "***".
struct CKeyVerdict
{
    bool m_bOk = false;
    CText m_reason;
    // Something to know about a file that passed (its content type), for a tooltip; often empty.
    CText m_note;
    std::string m_strKeyFile;
    std::chrono::system_clock::time_point m_checkedAt;
};

// Fetches a key file as a search engine would before it takes an IndexNow submission, and
// says whether it holds the key. A blocking call with the limits and certificates of a
// post: run it off the window's thread. Setting the stop flag ends a check under way.
class CKeyCheck
{
public:
    explicit CKeyCheck(const CPostSettings& settings, const std::atomic<bool>* stop = nullptr);

    CKeyVerdict Check(const CKeyFile& file) const;

    // A key is at most 128 characters: a larger file is refused unread, never judged on its
    // start, which could pass a file a search engine reads whole and takes for no key.
    static constexpr std::size_t MaxFileBytes = 64 * 1024;

private:
    const CPostSettings m_settings;
    const std::atomic<bool>* const m_stop;
};
