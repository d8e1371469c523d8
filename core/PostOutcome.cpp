#include "core/PostOutcome.h"

#include <iterator>
#include <utility>

namespace {

const std::pair<PostOutcome, const char*> Words[] = {
    {PostOutcome::Waiting, "waiting"},
    {PostOutcome::Succeeded, "succeeded"},
    {PostOutcome::Failed, "failed"},
    {PostOutcome::NotPosted, "not_posted"},
    {PostOutcome::Stopped, "stopped"},
    {PostOutcome::Unchanged, "unchanged"},
    {PostOutcome::Baseline, "baseline"},
    {PostOutcome::WouldPost, "would_post"},
};

} // namespace

const char* OutcomeWord(PostOutcome outcome)
{
    for (const auto& [known, word] : Words) {
        if (known == outcome)
            return word;
    }
    return "";
}

std::optional<PostOutcome> OutcomeOf(std::string_view word)
{
    for (const auto& [outcome, known] : Words) {
        if (word == known)
            return outcome;
    }
    return std::nullopt;
}

bool IsFailure(PostOutcome outcome)
{
    return outcome == PostOutcome::Failed || outcome == PostOutcome::NotPosted
        || outcome == PostOutcome::Stopped;
}
