#pragma once

#include "core/PostLimits.h"

#include <memory>
#include <string>

class CBrowserLauncher;
class CPostTransfer;
class CSubmitHost;
struct CBrowserPost;

// Sends a target's form-encoded parameters to its URL, either in the background over
// libcurl (success only on a final status 200) or through a visible browser window.
//
// The object holds only settings fixed before use, so any number of threads may post
// through one instance at once. curl_global_init must have run before the first post.
class CFormPoster
{
public:
    explicit CFormPoster(CBrowserLauncher* launcher = nullptr, CPostLimits limits = CPostLimits());
    virtual ~CFormPoster();

    // Blocks until the exchange ends. On success result is the response body; on a failure
    // of the transfer it is libcurl's message; on a status other than 200 it is unchanged.
    // Blanks around the URL are ignored; "user:password@" before the server name is sent as
    // basic authentication.
    bool PostInBackground(const CSubmitHost& host, std::string& result) const;
    // The same for a URL and body taken beforehand.
    bool PostInBackground(
        const std::string& url, const std::string& body, std::string& result) const;

    // A transfer of body to url set up with this poster's limits and certificates; keepBody as
    // for CPostTransfer.
    std::unique_ptr<CPostTransfer> MakeTransfer(
        const std::string& url, std::string body, bool keepBody) const;

    // Server name (with an optional ":port") into url, the path after the first "/" into
    // object. A leading "http://", in any case, is dropped; object is untouched when there
    // is no "/".
    static void SplitUrl(std::string& url, std::string& object);

    // Opens a browser window posting the target; always true.
    bool SubmitInBrowser(const CSubmitHost& host) const;
    void PostInBrowser(const CSubmitHost& host) const;
    // Copies the body into the post data, all of its bytes (a NUL does not end it).
    static bool MakePostData(CBrowserPost* post, const std::string& body);

    // Certificates to trust instead of the system's, for a private server.
    void SetCaFile(std::string path);

    const CPostLimits& Limits() const { return m_limits; }

private:
    CBrowserLauncher* m_launcher;
    CPostLimits m_limits;
    std::string m_strCaFile;
};
