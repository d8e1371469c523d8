#pragma once

#include "cli/SubmitCommand.h"
#include "core/KeyCheck.h"
#include "core/PostLimits.h"
#include "core/Text.h"
#include "data/DataFile.h"

#include <QCoreApplication>
#include <QString>

#include <optional>
#include <string>
#include <vector>

// quillpost --check-keys [FILE] [--format=text|json|csv]: fetches the key file of every
// IndexNow target of a list, as a search engine would, and says whether it holds the key.
// Targets that share a key file share one fetch. It never posts and takes no lock on the
// list: a run may post it meanwhile.
class CCheckKeysCommand
{
    Q_DECLARE_TR_FUNCTIONS(CCheckKeysCommand)

public:
    // A key file and the targets that publish their key there; or a target whose key file
    // cannot be known, with the reason.
    struct KeyGroup
    {
        CKeyFile m_file;
        std::optional<CText> m_refusal;
        // Their URLs as stored.
        std::vector<std::string> m_targets;
    };

    CCheckKeysCommand(CSubmitCommand::Format format, const CPostSettings& settings);

    // Checks the list at file, or the one the window would load.
    int Run(const std::optional<QString>& file);

    // The key files of the list's IndexNow targets, each once, in the order of their first
    // targets.
    static std::vector<KeyGroup> GroupsOf(const TargetRecords& records);

private:
    // False once output could not be written.
    bool Write(const KeyGroup& group, const CKeyVerdict& verdict);

    const CSubmitCommand::Format m_format;
    const CKeyCheck m_check;
};
