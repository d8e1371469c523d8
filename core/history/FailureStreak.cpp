#include "core/history/FailureStreak.h"

#include <iterator>

namespace {

// A failure of the service: the user's Stop is none.
bool IsServiceFailure(PostOutcome outcome)
{
    return outcome == PostOutcome::Failed || outcome == PostOutcome::NotPosted;
}

// A Stop is the user's doing, not the service's: it says nothing of whether posting works,
// so it counts no more than a run that had nothing to post.
bool Counts(PostOutcome outcome)
{
    return outcome != PostOutcome::Stopped && outcome != PostOutcome::Unchanged
        && outcome != PostOutcome::Baseline && outcome != PostOutcome::Waiting;
}

// Failures in a row before the latest run, counted runs only, at most FailuresToAlert; and
// whether a counted run that is no failure ended them.
int FailuresBefore(const std::vector<PostOutcome>& outcomes, bool& ended)
{
    int failures = 0;
    ended = false;
    for (auto run = std::next(outcomes.rbegin()); run != outcomes.rend(); ++run) {
        if (!Counts(*run))
            continue;
        ended = !IsServiceFailure(*run);
        if (ended || ++failures == FailuresToAlert)
            break;
    }
    return failures;
}

} // namespace

StreakAlert FailureStreakAlert(const std::vector<PostOutcome>& outcomes)
{
    if (outcomes.empty() || !Counts(outcomes.back()))
        return StreakAlert::None;
    bool ended = false;
    const int failures = FailuresBefore(outcomes, ended);
    if (IsServiceFailure(outcomes.back()))
        return failures + 1 == FailuresToAlert ? StreakAlert::Failing : StreakAlert::None;
    return failures >= FailuresToAlert ? StreakAlert::WorksAgain : StreakAlert::None;
}

bool FailureStreakSettled(const std::vector<PostOutcome>& outcomes)
{
    if (outcomes.empty() || !Counts(outcomes.back()))
        return true;
    bool ended = false;
    return FailuresBefore(outcomes, ended) == FailuresToAlert || ended;
}
