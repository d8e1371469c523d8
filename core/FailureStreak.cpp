#include "core/FailureStreak.h"

#include <iterator>
#include <utility>

namespace {

bool IsFailure(RunOutcome outcome)
{
    return outcome == RunOutcome::Failed || outcome == RunOutcome::NotPosted;
}

// A Stop is the user's doing, not the service's: it says nothing of whether posting works,
// so it counts no more than a run that had nothing to post.
bool Counts(RunOutcome outcome)
{
    return outcome != RunOutcome::Stopped && outcome != RunOutcome::Unchanged
        && outcome != RunOutcome::Baseline;
}

} // namespace

std::optional<RunOutcome> RunOutcomeOf(std::string_view word)
{
    static const std::pair<std::string_view, RunOutcome> words[] = {
        {"succeeded", RunOutcome::Succeeded},
        {"failed", RunOutcome::Failed},
        {"not_posted", RunOutcome::NotPosted},
        {"stopped", RunOutcome::Stopped},
        {"unchanged", RunOutcome::Unchanged},
        {"baseline", RunOutcome::Baseline},
    };
    for (const auto& [name, outcome] : words) {
        if (name == word)
            return outcome;
    }
    return std::nullopt;
}

StreakAlert FailureStreakAlert(const std::vector<RunOutcome>& outcomes)
{
    if (outcomes.empty() || !Counts(outcomes.back()))
        return StreakAlert::None;
    // Failures in a row before the latest run, counted runs only.
    int failures = 0;
    for (auto run = std::next(outcomes.rbegin()); run != outcomes.rend(); ++run) {
        if (!Counts(*run))
            continue;
        if (!IsFailure(*run))
            break;
        ++failures;
    }
    if (IsFailure(outcomes.back()))
        return failures + 1 == FailuresToAlert ? StreakAlert::Failing : StreakAlert::None;
    return failures >= FailuresToAlert ? StreakAlert::WorksAgain : StreakAlert::None;
}
