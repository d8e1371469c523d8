#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class SSLServer;
}

// An HTTPS server on 127.0.0.1 with a self-signed test certificate made at build time.
// Answers every POST with 200 and "tls ok", keeping the last body it received.
class CTlsServer
{
public:
    CTlsServer();
    ~CTlsServer();

    int Port() const { return m_port; }
    std::string Url(const std::string& path = std::string()) const;
    std::string LastBody() const;

    // The certificate to trust for this server.
    static std::string CertificateFile();

private:
    std::unique_ptr<httplib::SSLServer> m_server;
    std::thread m_thread;
    int m_port = 0;
    mutable std::mutex m_mutex;
    std::string m_lastBody;
};
