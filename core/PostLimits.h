#pragma once

#include <cstddef>
#include <string>

// How far a server may go before a background post gives up. The defaults are the
// program's; tests hand in short ones so a hanging server costs them seconds, not minutes.
struct CPostLimits
{
    long m_connectTimeoutMs = 15000;
    // A transfer slower than m_lowSpeedBytes per second for m_lowSpeedSeconds is a stall.
    long m_lowSpeedBytes = 1;
    long m_lowSpeedSeconds = 30;
    long m_totalTimeoutMs = 120000;
    // Response bytes kept; a longer body fails the post instead of filling memory.
    std::size_t m_maxBodyBytes = 1024 * 1024;
    long m_maxRedirects = 10;
    // Posts of the Submit All runs in flight at once, over all servers.
    long m_maxInFlight = 8;
};

// What every background post is set up with.
struct CPostSettings
{
    CPostLimits m_limits;
    // Certificates to trust instead of the system's, for a private server; empty for the
    // system's.
    std::string m_strCaFile;
};
