#pragma once

#include "core/PostOutcome.h"

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
