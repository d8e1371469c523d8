#pragma once

#include "core/text/Text.h"

#include <optional>
#include <string_view>

// What became of a target in a run: the one account of a post's outcome that the rows, the
// counts, the command line, the machine output and the post log all read.
enum class PostOutcome
{
    // Not decided yet: under way, or waiting to be tried again.
    Waiting,
    // The service took it.
    Succeeded,
    // The service did not take it, or did not answer.
    Failed,
    // Refused before anything was sent: the target cannot be posted as it stands.
    NotPosted,
    // Stop ended it.
    Stopped,
    // Nothing changed on the site since the last success, so nothing was posted.
    Unchanged,
    // A first run that only recorded the site's addresses.
    Baseline,
    // A dry run's post that would go; nothing was sent.
    WouldPost,
};

// The words of one table, each outcome's in every use.
//
// For other programs and the post log: "succeeded", "failed", "not_posted", "stopped",
// "unchanged", "baseline", "would_post" and "waiting".
const char* OutcomeWord(PostOutcome outcome);
// The outcome a word names; none for any other word.
std::optional<PostOutcome> OutcomeOf(std::string_view word);
// For people, as the window, its History and the Result show it: "Succeeded", "Not posted",
// "Unchanged"...
CText OutcomeName(PostOutcome outcome);
// The first word of a line of the command line's text output: "succeeded", "not posted"...;
// a dry run's is its word for other programs, "would_post".
CText OutcomeLineWord(PostOutcome outcome);

// Counted with the failures of a run, and shown as one: refused and stopped posts too.
bool IsFailure(PostOutcome outcome);
