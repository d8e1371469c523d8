#pragma once

#include "cli/Command.h"
#include "core/indexnow/KeyCheck.h"
#include "core/text/Text.h"
#include "data/DataFile.h"

#include <optional>
#include <string>
#include <vector>

// quillpost --check-keys: fetches the key file of every IndexNow target of a list, as a search
// engine would, and says whether it holds the key. Targets that share a key file share one
// fetch. It never posts and takes no lock on the list: a run may post it meanwhile.
class CCheckKeysCommand : public CCommand
{
    Q_DECLARE_TR_FUNCTIONS(CCheckKeysCommand)

public:
    // A key file and the targets that publish their key there; or a target whose key file
    // cannot be known, with the reason.
    struct CKeyGroup
    {
        CKeyFile m_file;
        std::optional<CText> m_refusal;
        // Their URLs as stored.
        std::vector<std::string> m_targets;
    };

    CCheckKeysCommand(const char* name, const CCommandSettings& settings);

    QList<QCommandLineOption> Options() const override;
    CHelp Help() const override;
    bool Take(const QCommandLineParser& parser, QString& error) override;
    int Run() override;

    // The key files of the list's IndexNow targets, each once, in the order of their first
    // targets.
    static std::vector<CKeyGroup> GroupsOf(const TargetRecords& records);

private:
    // False once output could not be written.
    bool Write(const CKeyGroup& group, const CKeyVerdict& verdict);

    std::optional<QString> m_file;
};
