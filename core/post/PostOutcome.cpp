#include "core/post/PostOutcome.h"

namespace {

struct COutcomeWords
{
    PostOutcome m_outcome;
    const char* m_strWord;
    const char* m_strName;
    // Null where the line takes the word for other programs.
    const char* m_strLineWord;
};

const COutcomeWords Words[] = {
    {PostOutcome::Waiting, "waiting",
        //: The outcome of a post not decided yet, in the History window
        QT_TRANSLATE_NOOP("Quillpost", "Waiting"),
        //: The outcome of a post at the start of a line of the command line's output
        QT_TRANSLATE_NOOP("Quillpost", "waiting")},
    {PostOutcome::Succeeded, "succeeded",
        //: The outcome of a post, in the History window
        QT_TRANSLATE_NOOP("Quillpost", "Succeeded"),
        //: The outcome of a post at the start of a line of the command line's output
        QT_TRANSLATE_NOOP("Quillpost", "succeeded")},
    {PostOutcome::Failed, "failed",
        //: The outcome of a post, in the History window
        QT_TRANSLATE_NOOP("Quillpost", "Failed"),
        //: The outcome of a post at the start of a line of the command line's output
        QT_TRANSLATE_NOOP("Quillpost", "failed")},
    {PostOutcome::NotPosted, "not_posted",
        //: The outcome of a target that could not be posted as it stands
        QT_TRANSLATE_NOOP("Quillpost", "Not posted"),
        //: The outcome of a post at the start of a line of the command line's output
        QT_TRANSLATE_NOOP("Quillpost", "not posted")},
    {PostOutcome::Stopped, "stopped",
        //: The outcome of a post the user stopped
        QT_TRANSLATE_NOOP("Quillpost", "Stopped"),
        //: The outcome of a post at the start of a line of the command line's output
        QT_TRANSLATE_NOOP("Quillpost", "stopped")},
    {PostOutcome::Unchanged, "unchanged",
        //: The outcome of a target whose site had no changes to post since its last success
        QT_TRANSLATE_NOOP("Quillpost", "Unchanged"),
        //: The outcome of a post at the start of a line of the command line's output
        QT_TRANSLATE_NOOP("Quillpost", "unchanged")},
    {PostOutcome::Baseline, "baseline",
        //: The outcome of a target's first run, which records what its site holds and posts
        //: nothing
        QT_TRANSLATE_NOOP("Quillpost", "Baseline recorded"),
        //: The outcome at the start of a line of the command line's output of a target's first
        //: run, which only recorded its site's addresses
        QT_TRANSLATE_NOOP("Quillpost", "baseline")},
    {PostOutcome::WouldPost, "would_post",
        //: A dry run's post that would go; nothing was sent
        QT_TRANSLATE_NOOP("Quillpost", "Would post"), nullptr},
};

const COutcomeWords& WordsOf(PostOutcome outcome)
{
    for (const COutcomeWords& words : Words) {
        if (words.m_outcome == outcome)
            return words;
    }
    return Words[0];
}

} // namespace

const char* OutcomeWord(PostOutcome outcome)
{
    return WordsOf(outcome).m_strWord;
}

std::optional<PostOutcome> OutcomeOf(std::string_view word)
{
    for (const COutcomeWords& words : Words) {
        if (word == words.m_strWord)
            return words.m_outcome;
    }
    return std::nullopt;
}

CText OutcomeName(PostOutcome outcome)
{
    return CText(WordsOf(outcome).m_strName);
}

CText OutcomeLineWord(PostOutcome outcome)
{
    const COutcomeWords& words = WordsOf(outcome);
    return words.m_strLineWord ? CText(words.m_strLineWord) : CText::Verbatim(words.m_strWord);
}

bool IsFailure(PostOutcome outcome)
{
    return outcome == PostOutcome::Failed || outcome == PostOutcome::NotPosted
        || outcome == PostOutcome::Stopped;
}
