#pragma once

#include "core/post/PostOutcome.h"

#include <chrono>
#include <cstdint>
#include <string>

// One post as the post log keeps it, or the one entry of a target that posted nothing in a
// run.
struct CPostLogEntry
{
    // Kept to the millisecond.
    std::chrono::system_clock::time_point m_time;
    std::int64_t m_run = 0;
    // The target's URL with any password already written as "***".
    std::string m_strUrl;
    std::string m_strBody;
    // The target's source, whose changes it posts; empty for none.
    std::string m_strChanges;
    // Whether it succeeded is its outcome's to say, and kept nowhere else.
    PostOutcome m_outcome = PostOutcome::Failed;
    long m_status = 0;
    std::string m_strReason;
    // Kept to its first 200 characters.
    std::string m_strServiceMessage;
    double m_seconds = 0;
    // How many addresses the post carried.
    std::int64_t m_addresses = 0;
};
