#pragma once

#include "BenchServer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class CSubmitHost;

// What the Submit All figures are measured against: a local server that answers every POST
// with 200 and an XML-RPC call's thanks after a delay, targets shaped like a real list's, and
// a bare libcurl loop.
class OkServer
{
public:
    explicit OkServer(std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    std::string Url(int target) const;

private:
    CBenchServer m_http;
};

// A target with two parameters, the first different for each i, of the given body kind.
std::shared_ptr<CSubmitHost> makeTarget(
    std::string url, int i, std::optional<std::string> kind = std::nullopt);

// The benchmark of the targets' bodies, in their kinds, posted one after another, a fresh
// libcurl handle each, as a program without a scheduler would.
void postBare(benchmark::State& state, const std::vector<std::shared_ptr<CSubmitHost>>& targets);
