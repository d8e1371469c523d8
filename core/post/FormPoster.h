#pragma once

#include "core/net/PostLimits.h"

#include <string>

class CBrowserLauncher;
class CSubmitHost;
struct CPostRequest;

// Sends a target's parameters to its URL as a body of the target's kind, either in the
// background over libcurl (success on a final 2xx the service means) or through a visible
// browser window.
//
// The object holds only settings fixed before use, so any number of threads may post
// through one instance at once. curl_global_init must have run before the first post.
class CFormPoster
{
public:
    explicit CFormPoster(CBrowserLauncher* launcher = nullptr, CPostSettings settings = {});
    virtual ~CFormPoster();

    // Blocks until the exchange ends. On success result is the response body, as far as the
    // answer limit; on a failure of the transfer it is libcurl's message, and for a target
    // that cannot be posted (its address one libcurl refuses, say) why not; on an answer that
    // is no success it is unchanged.
    // The address is read as CAddress reads it; "user:password@" before the server name is
    // sent as basic authentication. The post runs as a run's posts do, on a thread of its
    // own; std::system_error when no thread can be had.
    bool PostInBackground(const CSubmitHost& host, std::string& result) const;
    bool PostInBackground(const CPostRequest& request, std::string& result) const;

    // Server name (with an optional ":port") into url, the path after the first "/" into
    // object. A leading "http://", in any case, is dropped; object is untouched when there
    // is no "/".
    static void SplitUrl(std::string& url, std::string& object);

    // Opens a browser window posting the target; always true.
    bool SubmitInBrowser(const CSubmitHost& host) const;
    void PostInBrowser(const CSubmitHost& host) const;
    // Opens a browser window posting a request already made, such as a run's batch: every
    // window the program opens to post goes through here.
    void PostInBrowser(const CPostRequest& request) const;
    // Copies the body into the request, all of its bytes (a NUL does not end it): how a form
    // target's encoded parameters become the body its posts send, in the background and in a
    // browser window alike.
    static bool MakePostData(CPostRequest* request, const std::string& body);

    const CPostSettings& Settings() const { return m_settings; }
    CBrowserLauncher* Launcher() const { return m_launcher; }

private:
    CBrowserLauncher* m_launcher;
    CPostSettings m_settings;
};
