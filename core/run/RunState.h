#pragma once

// What the change worker keeps of a run and of a batch, for its two source files.
#include "core/run/ChangeWorker.h"
#include "core/run/PageChecks.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// What a run has read and checked, for all of its targets.
struct CChangeWorker::CRunState
{
    std::map<std::string, CSourceRead> sources;
    // By the file's address and the key it must hold.
    std::map<std::pair<std::string, std::string>, CKeyVerdict> keyFiles;
    // The log's number of the run, once it has logged.
    std::optional<std::int64_t> logRun;
    // The id its entries in the log all come after; and whether some are missing from it,
    // which only a look at each target's runs can take into account.
    std::optional<std::int64_t> loggedAfter;
    bool logMissed = false;
    // The targets it logged: (URL, body, changes), and the reason of the last failure.
    std::map<std::tuple<std::string, std::string, std::string>, std::string> logged;
    // Batches that succeeded but are not recorded yet, as a write failed.
    std::vector<CPending> held;
    // Why the first write of the run that failed did; from then on its writes wait for the
    // end of its posts, as each would wait out the same lock again.
    CText writeFailure;
    // What could not be written, to be said when the run ends.
    CText notRecorded;
    // The pages checked, once for all of its targets; made when the first check is due.
    std::unique_ptr<CPageChecks> checks;
    // For the post log: the addresses of each batch, by its token, and those a target left
    // out or recorded at its baseline, by its key in the log.
    std::map<std::uint64_t, std::vector<CLoggedAddress>> batchAddresses;
    std::map<std::tuple<std::string, std::string, std::string>, std::vector<CLoggedAddress>>
        targetAddresses;
};

// A batch whose addresses are recorded should it succeed.
struct CChangeWorker::CPending
{
    std::uint64_t run = 0;
    CPostHistory::CTarget key;
    std::vector<CSourceEntry> entries;
    // Announced as removed from the site.
    std::vector<CSourceEntry> removed;
    bool baseline = false;
    // Once it succeeded.
    std::string verdict;
    Time when;
};
