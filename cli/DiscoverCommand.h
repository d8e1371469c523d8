#pragma once

#include "cli/Command.h"

#include <string>

struct CDiscovery;

// quillpost --discover URL: what a site offers to be announced from, as the site itself says
// it (robots.txt, its home page's head, its feeds) or as found at the usual places: its
// sitemaps, its feeds and the hubs they name. It only reads, and never touches a list.
class CDiscoverCommand : public CCommand
{
    Q_DECLARE_TR_FUNCTIONS(CDiscoverCommand)

public:
    CDiscoverCommand(const char* name, const CCommandSettings& settings);

    QList<QCommandLineOption> Options() const override;
    CHelp Help() const override;
    bool Take(const QCommandLineParser& parser, QString& error) override;
    int Run() override;

private:
    bool WriteText(const CDiscovery& found);
    bool WriteJson(const CDiscovery& found);

    std::string m_strSite;
};
