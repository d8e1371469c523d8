#pragma once

#include "cli/Command.h"

#include <optional>
#include <string>

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
    std::string m_strSite;
    std::optional<QString> m_file;
    std::string m_strKey;
};
