#include "tests/support/LocalServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool SendAll(int fd, const std::string& data)
{
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

CRecordedRequest Parse(const std::string& head, std::string body)
{
    CRecordedRequest request;
    request.m_raw = head + body;
    request.m_body = std::move(body);
    std::size_t pos = head.find("\r\n");
    request.m_requestLine = head.substr(0, pos);
    while (pos != std::string::npos && pos + 2 < head.size()) {
        const std::size_t next = head.find("\r\n", pos + 2);
        const std::string line = head.substr(pos + 2, next - pos - 2);
        pos = next;
        if (line.empty())
            break;
        const std::size_t colon = line.find(':');
        std::string value = colon == std::string::npos ? std::string() : line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        request.m_headers.emplace_back(line.substr(0, colon), value);
    }
    return request;
}

} // namespace

std::vector<std::string> CRecordedRequest::HeaderNames() const
{
    std::vector<std::string> names;
    for (const auto& header : m_headers)
        names.push_back(header.first);
    return names;
}

std::string CRecordedRequest::Header(const std::string& name) const
{
    for (const auto& header : m_headers) {
        if (Lower(header.first) == Lower(name))
            return header.second;
    }
    return std::string();
}

CScriptedReply CScriptedReply::Status(
    int code, const std::string& body, const std::string& extraHeaders)
{
    CScriptedReply reply;
    reply.m_raw = "HTTP/1.0 " + std::to_string(code) + " Scripted\r\nContent-Length: "
        + std::to_string(body.size()) + "\r\n" + extraHeaders + "\r\n" + body;
    return reply;
}

CScriptedReply CScriptedReply::Redirect(int code, const std::string& location)
{
    return Status(code, "moved", "Location: " + location + "\r\n");
}

CScriptedReply CScriptedReply::Hang()
{
    CScriptedReply reply;
    reply.m_kind = Kind::Hang;
    return reply;
}

CScriptedReply CScriptedReply::EndlessBody()
{
    CScriptedReply reply;
    reply.m_kind = Kind::EndlessBody;
    reply.m_raw = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";
    return reply;
}

CLocalServer::CLocalServer(Handler handler)
    : m_handler(std::move(handler))
{
    if (::pipe(m_stopPipe) != 0)
        throw std::runtime_error("pipe");
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(m_listener, 128) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread(&CLocalServer::AcceptLoop, this);
}

CLocalServer::~CLocalServer()
{
    Stop();
}

std::string CLocalServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + "/" + path;
}

std::vector<CRecordedRequest> CLocalServer::Requests() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

bool CLocalServer::WaitForRequests(std::size_t count, std::chrono::milliseconds bound) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_arrived.wait_for(lock, bound, [&] { return m_requests.size() >= count; });
}

int CLocalServer::ClientHangups() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_hangups;
}

void CLocalServer::Stop()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopped)
            return;
        m_stopped = true;
    }
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(m_stopPipe[1], &byte, 1);
    m_acceptor.join();
    // No new connection can start once the acceptor has ended.
    for (auto& connection : m_connections)
        connection.join();
    ::close(m_listener);
    ::close(m_stopPipe[0]);
    ::close(m_stopPipe[1]);
}

int CLocalServer::UnusedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// True when fd became readable, false when the server is stopping.
bool CLocalServer::WaitForStopOr(int fd) const
{
    pollfd fds[2] = {{fd, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
    while (::poll(fds, 2, -1) < 0) { }
    return !(fds[1].revents & POLLIN);
}

void CLocalServer::AcceptLoop()
{
    while (WaitForStopOr(m_listener)) {
        const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_connections.emplace_back(&CLocalServer::Serve, this, client);
    }
}

void CLocalServer::Serve(int client)
{
    std::string data;
    std::size_t headEnd = std::string::npos;
    std::size_t contentLength = 0;
    char buffer[16384];
    for (;;) {
        if (headEnd != std::string::npos && data.size() >= headEnd + 4 + contentLength)
            break;
        if (!WaitForStopOr(client)) {
            ::close(client);
            return;
        }
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) {
            ::close(client);
            return;
        }
        data.append(buffer, static_cast<std::size_t>(n));
        if (headEnd == std::string::npos) {
            headEnd = data.find("\r\n\r\n");
            if (headEnd != std::string::npos) {
                const CRecordedRequest head = Parse(data.substr(0, headEnd + 4), std::string());
                contentLength = std::strtoul(head.Header("Content-Length").c_str(), nullptr, 10);
            }
        }
    }
    const CRecordedRequest request
        = Parse(data.substr(0, headEnd + 4), data.substr(headEnd + 4, contentLength));
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(request);
    }
    m_arrived.notify_all();
    const CScriptedReply reply = m_handler(request);

    switch (reply.m_kind) {
    case CScriptedReply::Kind::Reply:
        SendAll(client, reply.m_raw);
        break;
    case CScriptedReply::Kind::Hang:
        // Until the client gives up or the server stops.
        while (WaitForStopOr(client)) {
            if (::recv(client, buffer, sizeof buffer, 0) <= 0) {
                const std::lock_guard<std::mutex> lock(m_mutex);
                ++m_hangups;
                break;
            }
        }
        break;
    case CScriptedReply::Kind::EndlessBody: {
        const std::string chunk(65536, 'x');
        if (SendAll(client, reply.m_raw)) {
            while (SendAll(client, chunk)) {
                pollfd stop{m_stopPipe[0], POLLIN, 0};
                if (::poll(&stop, 1, 0) > 0)
                    break;
            }
        }
        break;
    }
    }
    ::shutdown(client, SHUT_RDWR);
    ::close(client);
}
