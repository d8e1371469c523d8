#pragma once

#include "tests/support/LocalServer.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

// Counts posts being answered at once, and the most there ever were; one meter may be shared
// by several servers to see what a client has in flight in all.
class CInFlightMeter
{
public:
    void Enter();
    void Leave();
    int Peak() const;

private:
    mutable std::mutex m_mutex;
    int m_current = 0;
    int m_peak = 0;
};

// A local server scripted by the request path, for the submit tests:
//   /gate...       waits until Open(), then answers as the rest of the path says
//   /hang...       never answers
//   /fail...       500
//   /status/NNN    NNN
//   anything else  200 with a small page titled "Posted"
// Every answer waits the delay first; the server's own meter and the shared one (if any)
// count the posts it is answering at once.
class CScriptedServer
{
public:
    explicit CScriptedServer(std::chrono::milliseconds delay = std::chrono::milliseconds(0),
        CInFlightMeter* shared = nullptr);
    ~CScriptedServer();

    void Open();
    std::string Url(const std::string& path = std::string()) const { return m_server.Url(path); }
    // "<request line> <body>" of every post, in the order they came.
    std::vector<std::string> Lines() const;
    int Peak() const { return m_meter.Peak(); }
    CLocalServer& Server() { return m_server; }

private:
    CScriptedReply Reply(const CRecordedRequest& request);

    const std::chrono::milliseconds m_delay;
    CInFlightMeter* const m_shared;
    CInFlightMeter m_meter;
    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_open = false;
    CLocalServer m_server; // last: stops before the gate goes away
};
