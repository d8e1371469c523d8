#pragma once

#include <httplib.h>

#include <string>
#include <thread>

// A benchmark's HTTP server on 127.0.0.1, at a port of its own, serving on a thread of its own
// from Start until it goes. Routes and options are set on Routes() before Start. Declare it
// after whatever its handlers use, so that it stops before those go.
class CBenchServer
{
public:
    CBenchServer() = default;
    ~CBenchServer()
    {
        if (!m_thread.joinable())
            return;
        m_server.stop();
        m_thread.join();
    }
    CBenchServer(const CBenchServer&) = delete;
    CBenchServer& operator=(const CBenchServer&) = delete;

    httplib::Server& Routes() { return m_server; }
    void Start()
    {
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::yield();
    }
    // "http://127.0.0.1:8080", without a slash.
    std::string Origin() const { return "http://127.0.0.1:" + std::to_string(m_port); }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};
