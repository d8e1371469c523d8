#pragma once

#include "cli/Command.h"
#include "data/DataFile.h"

#include <memory>
#include <optional>
#include <string>

struct CDiscovery;

// quillpost --add-site URL [FILE] [--key KEY]: the targets that announce a site, made from what
// it offers (as --discover finds it) and added to a list, as the window's Set Up Site adds them:
// an IndexNow target with a new key, a WebSub target for each hub of its feeds, the well-known
// ping services. Targets the list holds already are not added again. It changes the list under
// its lock and saves it by the data file's rules, and posts nothing.
class CAddSiteCommand : public CCommand
{
    Q_DECLARE_TR_FUNCTIONS(CAddSiteCommand)

public:
    CAddSiteCommand(const char* name, const CCommandSettings& settings);

    QList<QCommandLineOption> Options() const override;
    CHelp Help() const override;
    bool Take(const QCommandLineParser& parser, QString& error) override;
    int Run() override;

private:
    // Says what discovery found of the site; the exit status when that ends the command.
    std::optional<int> SayFound(const CDiscovery& found);
    // The list with the site's targets that are chosen by default and not in it yet added,
    // each target a line of out; indexNow is the IndexNow target added, if any.
    TargetRecords WithTargets(const CDiscovery& found, const TargetRecords& list, QString& out,
        std::shared_ptr<CSubmitHost>& indexNow) const;

    std::string m_strSite;
    std::optional<QString> m_file;
    std::string m_strKey;
};
