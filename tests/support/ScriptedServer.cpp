#include "tests/support/ScriptedServer.h"

#include <cstdlib>
#include <thread>

void CInFlightMeter::Enter()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    ++m_current;
    if (m_current > m_peak)
        m_peak = m_current;
}

void CInFlightMeter::Leave()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    --m_current;
}

int CInFlightMeter::Peak() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_peak;
}

CScriptedServer::CScriptedServer(std::chrono::milliseconds delay, CInFlightMeter* shared)
    : m_delay(delay)
    , m_shared(shared)
    , m_server([this](const CRecordedRequest& request) { return Reply(request); })
{
}

CScriptedServer::~CScriptedServer()
{
    Open();
    m_server.Stop();
}

void CScriptedServer::Open()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_open = true;
    m_opened.notify_all();
}

std::vector<std::string> CScriptedServer::Lines() const
{
    std::vector<std::string> lines;
    for (const CRecordedRequest& request : m_server.Requests())
        lines.push_back(request.m_requestLine + " " + request.m_body);
    return lines;
}

CScriptedReply CScriptedServer::Reply(const CRecordedRequest& request)
{
    // "POST /path HTTP/1.0": the path without its leading slash.
    const std::string& line = request.m_requestLine;
    const std::size_t start = line.find(' ') + 2;
    std::string path = line.substr(start, line.rfind(' ') - start);
    const auto startsWith = [&](const char* prefix) { return path.rfind(prefix, 0) == 0; };

    m_meter.Enter();
    if (m_shared)
        m_shared->Enter();
    if (startsWith("gate")) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_opened.wait(lock, [&] { return m_open; });
        path.erase(0, 4);
    }
    std::this_thread::sleep_for(m_delay);
    if (m_shared)
        m_shared->Leave();
    m_meter.Leave();

    if (startsWith("hang"))
        return CScriptedReply::Hang();
    if (startsWith("fail"))
        return CScriptedReply::Status(500);
    if (startsWith("status/"))
        return CScriptedReply::Status(std::atoi(path.c_str() + 7), "status page");
    return CScriptedReply::Status(
        200, "<html><head><title>Posted</title></head></html>", "Content-Type: text/html\r\n");
}
