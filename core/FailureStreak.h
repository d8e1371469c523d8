#pragma once

#include <optional>
#include <string_view>
#include <vector>

// What became of one target in one run, as the run's record says it.
enum class RunOutcome
{
    Succeeded,
    Failed,
    NotPosted,
    Stopped,
    Unchanged,
    Baseline,
};

// The record's words: "succeeded", "failed", "not_posted", "stopped", "unchanged",
// "baseline"; nothing for any other word.
std::optional<RunOutcome> RunOutcomeOf(std::string_view word);

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
StreakAlert FailureStreakAlert(const std::vector<RunOutcome>& outcomes);
