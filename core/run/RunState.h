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
    std::map<std::string, CSourceRead> m_sources;
    // By the file's address and the key it must hold.
    std::map<std::pair<std::string, std::string>, CKeyVerdict> m_keyFiles;
    // The log's number of the run, once it has logged.
    std::optional<std::int64_t> m_logRun;
    // The id its entries in the log all come after; and whether some are missing from it,
    // which only a look at each target's runs can take into account.
    std::optional<std::int64_t> m_loggedAfter;
    bool m_bLogMissed = false;
    // The targets it logged: (URL, body, changes), and the reason of the last failure.
    std::map<std::tuple<std::string, std::string, std::string>, std::string> m_logged;
    // Batches that succeeded but are not recorded yet, as a write failed.
    std::vector<CPending> m_held;
    // Why the first write of the run that failed did; from then on its writes wait for the
    // end of its posts, as each would wait out the same lock again.
    CText m_writeFailure;
    // What could not be written, to be said when the run ends.
    CText m_notRecorded;
    // The pages checked, once for all of its targets; made when the first check is due.
    std::unique_ptr<CPageChecks> m_checks;
    // For the post log: the addresses of each batch, by its token, and those a target left
    // out or recorded at its baseline, by its key in the log.
    std::map<std::uint64_t, std::vector<CLoggedAddress>> m_batchAddresses;
    std::map<std::tuple<std::string, std::string, std::string>, std::vector<CLoggedAddress>>
        m_targetAddresses;
};

// A batch whose addresses are recorded should it succeed.
struct CChangeWorker::CPending
{
    std::uint64_t m_run = 0;
    CPostHistory::CTarget m_key;
    std::vector<CSourceEntry> m_entries;
    // Announced as removed from the site.
    std::vector<CSourceEntry> m_removed;
    bool m_bBaseline = false;
    // Once it succeeded.
    std::string m_strVerdict;
    Time m_when;
};
