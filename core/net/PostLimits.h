#pragma once

#include <chrono>
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

// How the record of what was sent, and the post log, are written.
struct CRecordLimits
{
    // How long a write waits for another process (the window, a timer's run) to let go of
    // the file: long enough for any of its writes, as a success not recorded is sent again.
    long m_writeWaitMs = 60000;
    // The pages the file may grow to; 0 for SQLite's own limit.
    long long m_maxPages = 0;
    // The post log's address entries kept, the newest: a baseline of a large site alone
    // makes hundreds of thousands.
    long long m_maxLoggedAddresses = 1000000;
};

// How far the pages a run would announce are checked first. The notes name these defaults,
// which only tests lower.
struct CCheckLimits
{
    // Per target and run, re-checks and removals included; the rest wait for the next run.
    std::size_t m_maxChecks = 2000;
    // Checks under way at once: a target's pages are all on its one host, which is asked for
    // no more than this.
    long m_maxInFlight = 4;
    long m_timeoutMs = 20000;
    // A page left out for a reason of its own is checked again after this, or when its date
    // in the source changes.
    std::chrono::hours m_recheckAfter{24 * 7};
};

// What every background post is set up with.
struct CPostSettings
{
    CPostLimits m_limits;
    CRecordLimits m_record;
    CCheckLimits m_checks;
    // Certificates to trust instead of the system's, for a private server; empty for the
    // system's.
    std::string m_strCaFile;
};
