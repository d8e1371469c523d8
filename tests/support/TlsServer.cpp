#include "tests/support/TlsServer.h"

#include <httplib.h>

#include <stdexcept>

std::string CTlsServer::CertificateFile()
{
    return QUILLPOST_TEST_CERT_DIR "/test-cert.pem";
}

CTlsServer::CTlsServer()
    : m_server(std::make_unique<httplib::SSLServer>(
        QUILLPOST_TEST_CERT_DIR "/test-cert.pem", QUILLPOST_TEST_CERT_DIR "/test-key.pem"))
{
    if (!m_server->is_valid())
        throw std::runtime_error("test certificate missing");
    m_server->Post(".*", [this](const httplib::Request& request, httplib::Response& response) {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_lastBody = request.body;
        }
        response.set_content("tls ok", "text/plain");
    });
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // stop() before the loop runs would be lost.
    while (!m_server->is_running())
        std::this_thread::yield();
}

CTlsServer::~CTlsServer()
{
    m_server->stop();
    m_thread.join();
}

std::string CTlsServer::Url(const std::string& path) const
{
    return "https://127.0.0.1:" + std::to_string(m_port) + "/" + path;
}

std::string CTlsServer::LastBody() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastBody;
}
