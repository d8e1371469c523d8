#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// One request as the server received it, byte for byte.
struct CRecordedRequest
{
    std::string m_raw;
    std::string m_requestLine;
    std::vector<std::pair<std::string, std::string>> m_headers;
    std::string m_body;

    // Header names in the order they came.
    std::vector<std::string> HeaderNames() const;
    std::string Header(const std::string& name) const;
};

// What the server does with a request: send bytes and close, keep the connection open
// without a word, or answer 200 with a body that never ends.
struct CScriptedReply
{
    enum class Kind
    {
        Reply,
        Hang,
        EndlessBody
    };
    Kind m_kind = Kind::Reply;
    std::string m_raw;

    static CScriptedReply Status(int code, const std::string& body = std::string(),
        const std::string& extraHeaders = std::string());
    static CScriptedReply Redirect(int code, const std::string& location);
    static CScriptedReply Hang();
    static CScriptedReply EndlessBody();
};

// A raw HTTP server on 127.0.0.1 for tests: records every request exactly as it arrived
// and answers as the handler scripts. Each connection gets a thread; Stop (or the
// destructor) ends hanging connections too.
class CLocalServer
{
public:
    using Handler = std::function<CScriptedReply(const CRecordedRequest&)>;

    explicit CLocalServer(Handler handler);
    ~CLocalServer();

    int Port() const { return m_port; }
    // "http://127.0.0.1:<port>/" followed by path.
    std::string Url(const std::string& path = std::string()) const;
    std::vector<CRecordedRequest> Requests() const;
    // Waits until count requests have arrived, at most bound.
    bool WaitForRequests(
        std::size_t count, std::chrono::milliseconds bound = std::chrono::seconds(60)) const;
    // Connections left hanging that the client closed itself.
    int ClientHangups() const;
    void Stop();

    // A port on 127.0.0.1 where nothing listens.
    static int UnusedPort();

private:
    void AcceptLoop();
    void Serve(int client);
    bool WaitForStopOr(int fd) const;

    Handler m_handler;
    int m_listener = -1;
    int m_stopPipe[2] = {-1, -1};
    int m_port = 0;
    std::thread m_acceptor;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_arrived;
    std::vector<CRecordedRequest> m_requests;
    std::vector<std::thread> m_connections;
    int m_hangups = 0;
    bool m_stopped = false;
};
