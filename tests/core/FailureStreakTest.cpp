#include "core/FailureStreak.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

TEST(FailureStreak, WhatTheLatestRunRaises)
{
    const struct
    {
        // The record's words, oldest first.
        const char* runs;
        StreakAlert alert;
    } rows[] = {
        {"", StreakAlert::None},
        {"failed failed", StreakAlert::None},
        {"failed not_posted failed", StreakAlert::Failing},
        {"failed failed failed failed", StreakAlert::None},
        {"failed unchanged failed baseline failed", StreakAlert::Failing},
        {"failed stopped failed stopped failed", StreakAlert::Failing},
        {"failed failed failed stopped", StreakAlert::None},
        {"failed failed failed unchanged", StreakAlert::None},
        {"failed failed succeeded failed", StreakAlert::None},
        {"failed failed failed succeeded", StreakAlert::WorksAgain},
        {"failed failed failed failed stopped baseline succeeded", StreakAlert::WorksAgain},
        {"failed failed succeeded", StreakAlert::None},
        {"failed failed failed succeeded succeeded", StreakAlert::None},
    };
    for (const auto& row : rows) {
        std::vector<PostOutcome> outcomes;
        std::istringstream words(row.runs);
        for (std::string word; words >> word;) {
            const auto outcome = OutcomeOf(word);
            ASSERT_TRUE(outcome) << word;
            outcomes.push_back(*outcome);
        }
        EXPECT_EQ(FailureStreakAlert(outcomes), row.alert) << row.runs;
    }
    EXPECT_FALSE(OutcomeOf("Failed"));
}
