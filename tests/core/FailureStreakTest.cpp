#include "core/history/FailureStreak.h"

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
        // Runs before these could not change the alert (a streak read too short, when not).
        bool settled;
    } rows[] = {
        {"", StreakAlert::None, true},
        {"succeeded", StreakAlert::None, false},
        {"failed failed", StreakAlert::None, false},
        {"failed not_posted failed", StreakAlert::Failing, false},
        {"failed failed failed failed", StreakAlert::None, true},
        {"failed unchanged failed baseline failed", StreakAlert::Failing, false},
        {"failed stopped failed stopped failed", StreakAlert::Failing, false},
        {"failed failed failed stopped", StreakAlert::None, true},
        {"failed failed failed unchanged", StreakAlert::None, true},
        {"failed failed succeeded failed", StreakAlert::None, true},
        {"failed failed failed succeeded", StreakAlert::WorksAgain, true},
        {"failed failed failed failed stopped baseline succeeded", StreakAlert::WorksAgain, true},
        {"failed failed succeeded", StreakAlert::None, false},
        {"failed failed failed succeeded succeeded", StreakAlert::None, true},
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
        EXPECT_EQ(FailureStreakSettled(outcomes), row.settled) << row.runs;
    }
    EXPECT_FALSE(OutcomeOf("Failed"));
}
