#include "core/net/TransferFailure.h"

#include "core/post/PostOutcome.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// "15 s", "0.5 s".
std::string Duration(long milliseconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g s", static_cast<double>(milliseconds) / 1000);
    return text;
}

} // namespace

CText TransferFailureText(CURLcode code, CURL* curl, const CPostLimits& limits, bool reachedServer,
    std::chrono::steady_clock::duration spent)
{
    const auto text = [](const char* source) { return CText(source); };
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return text(QT_TRANSLATE_NOOP("Quillpost", "Server name not found"));
    case CURLE_COULDNT_RESOLVE_PROXY:
        return text(QT_TRANSLATE_NOOP("Quillpost", "Proxy name not found"));
    case CURLE_COULDNT_CONNECT: {
        long error = 0;
        curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &error);
        return error == ECONNREFUSED ? text(QT_TRANSLATE_NOOP("Quillpost", "Connection refused"))
                                     : text(QT_TRANSLATE_NOOP("Quillpost", "Could not connect"));
    }
    case CURLE_OPERATION_TIMEDOUT: {
        // The time for the whole went by in earlier transfers of the post, if none is set up.
        curl_off_t connected = 0;
        if (curl)
            curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connected);
        // libcurl counts a connection made only once a TLS handshake on it is done.
        if (curl && connected == 0 && reachedServer)
            return CText(QT_TRANSLATE_NOOP("Quillpost", "No TLS handshake within %1"),
                {Duration(limits.m_connectTimeoutMs)});
        if (curl && connected == 0)
            return CText(QT_TRANSLATE_NOOP("Quillpost", "No connection within %1"),
                {Duration(limits.m_connectTimeoutMs)});
        const long limit = !curl
                || std::chrono::duration<double, std::milli>(spent).count() + 100
                    >= static_cast<double>(limits.m_totalTimeoutMs)
            ? limits.m_totalTimeoutMs
            : limits.m_lowSpeedSeconds * 1000;
        return CText(QT_TRANSLATE_NOOP("Quillpost", "No answer within %1"), {Duration(limit)});
    }
    case CURLE_TOO_MANY_REDIRECTS:
        return text(QT_TRANSLATE_NOOP("Quillpost", "Too many redirects"));
    case CURLE_PEER_FAILED_VERIFICATION:
        return text(QT_TRANSLATE_NOOP("Quillpost", "Certificate not trusted"));
    case CURLE_SSL_CONNECT_ERROR:
        return text(QT_TRANSLATE_NOOP("Quillpost", "Secure connection failed"));
    case CURLE_GOT_NOTHING:
        return text(QT_TRANSLATE_NOOP("Quillpost", "Empty answer"));
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        return text(QT_TRANSLATE_NOOP("Quillpost", "Connection lost"));
    case CURLE_URL_MALFORMAT:
        return text(QT_TRANSLATE_NOOP("Quillpost", "Not a usable address"));
    case CURLE_UNSUPPORTED_PROTOCOL:
        return text(QT_TRANSLATE_NOOP("Quillpost", "Not a web address"));
    case CURLE_WEIRD_SERVER_REPLY:
        return text(QT_TRANSLATE_NOOP("Quillpost", "Not an HTTP answer"));
    default:
        return CText::Verbatim(curl_easy_strerror(code));
    }
}

int CloseSocketNotingPeer(void* reachedServer, curl_socket_t socket)
{
    sockaddr_storage peer = {};
    socklen_t length = sizeof peer;
    if (::getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &length) == 0)
        *static_cast<bool*>(reachedServer) = true;
    return ::close(socket);
}

CText StoppedText()
{
    return OutcomeName(PostOutcome::Stopped);
}
