#pragma once

#include "core/post/PostOutcome.h"

#include <string>
#include <vector>

// What a target's latest run tells the user beyond the run's own report.
enum class StreakAlert
{
    None,
    // This run made the FailuresToAlert-th failure in a row, and no more.
    Failing,
    // This run succeeded after FailuresToAlert or more failures in a row.
    WorksAgain,
};

constexpr int FailuresToAlert = 3;

// outcomes: one target's runs, oldest first, the latest last. A run that did not post it
// (unchanged, baseline) or that the user stopped neither breaks a streak of failures nor
// adds to it.
StreakAlert FailureStreakAlert(const std::vector<PostOutcome>& outcomes);
// Whether runs older than these could change what FailureStreakAlert says of them: they
// cannot once the latest run does not count, or a counted run that is no failure comes
// before it, or FailuresToAlert failures do.
bool FailureStreakSettled(const std::vector<PostOutcome>& outcomes);

// What the user is to be told of one target's streak: the target by its key in the post log,
// whether it keeps failing or works again, and why its latest run failed.
struct CStreakAlert
{
    std::string m_strUrl;
    std::string m_strBody;
    std::string m_strChanges;
    bool m_bFailing = false;
    std::string m_strReason;
    // An earlier run found it and could not tell it in time.
    bool m_bCarried = false;
};
