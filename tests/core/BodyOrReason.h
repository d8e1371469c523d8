#pragma once

#include "core/target/SubmitHost.h"
#include "core/text/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

// Targets made of parameters for the body builders' tests, and what the builders make of them.

using TestParams = std::vector<std::pair<std::string, std::string>>;

inline void FillHost(CSubmitHost& host, const TestParams& params)
{
    for (const auto& [name, value] : params)
        host.AddParam(CPostParam(name, value));
}

// What a body builder makes of a target with these parameters: the body, or "refused: " and
// the reason when it builds none.
template <typename Build> std::string BodyOrReason(Build build, const TestParams& params)
{
    CSubmitHost host;
    FillHost(host, params);
    std::string body;
    CText refusal;
    const bool built = build(host, body, refusal);
    EXPECT_EQ(refusal.IsEmpty(), built);
    return built ? body : "refused: " + refusal.English();
}
