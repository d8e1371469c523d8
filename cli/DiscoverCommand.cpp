#include "cli/DiscoverCommand.h"

#include "cli/DiscoveryWait.h"
#include "cli/StopSignals.h"
#include "core/net/Address.h"
#include "core/site/SiteDiscovery.h"
#include "core/text/OutputFields.h"
#include "runs/ResultText.h"

#include <QCommandLineParser>

CDiscoverCommand::CDiscoverCommand(const char* name, const CCommandSettings& settings)
    : CCommand(name, settings)
{
}

QList<QCommandLineOption> CDiscoverCommand::Options() const
{
    return {FormatOption()};
}

CDiscoverCommand::CHelp CDiscoverCommand::Help() const
{
    CHelp help;
    help.m_strUsage = tr("--discover URL [--format=text|json]");
    help.m_strOptions
        = tr("  --discover URL          print the sitemaps, feeds and hubs the site at URL names\n"
             "                          or has at the usual places; nothing is posted or saved\n");
    help.m_strExits = tr("--discover: 0 when something was found, 1 when nothing was or the site\n"
                         "could not be reached, 2 for an address that is no site's.\n");
    help.m_strExample = QStringLiteral("  quillpost --discover www.example.com\n");
    return help;
}

bool CDiscoverCommand::Take(const QCommandLineParser& parser, QString& error)
{
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() != 1) {
        error = tr("--discover takes one site address");
        return false;
    }
    m_strSite = arguments.front().toStdString();
    if (!TakeFormat(parser, error))
        return false;
    if (OutputFormat() == Format::Csv) {
        // Its lines are of several kinds, which no one CSV header fits.
        error = tr("--discover prints text or json");
        return false;
    }
    return true;
}

int CDiscoverCommand::Run()
{
    CStopSignals signals;
    const CDiscovery found = CDiscoveryWait::Discover(m_strSite, signals);
    if (signals.Status())
        return *signals.Status();
    if (found.m_bBadInput) {
        for (const CText& note : found.m_notes)
            Say(CResultText::Translated(note));
        return ExitUnusable;
    }
    if (!(OutputFormat() == Format::Json ? WriteJson(found) : WriteText(found)))
        return ExitUnusable;
    return found.FoundAny() && !found.m_bUnreached ? ExitSucceeded : ExitFailed;
}

bool CDiscoverCommand::WriteText(const CDiscovery& found)
{
    QString out;
    // An address is shown without its password; a title is only text.
    const auto line = [&out](const QString& label, const std::string& text, QString flags = {},
                          bool address = true) {
        out += label + QLatin1Char('\t')
            + CResultText::Printable(QString::fromStdString(address ? MaskPassword(text) : text));
        if (!flags.isEmpty())
            out += QLatin1Char(' ') + flags;
        out += QLatin1Char('\n');
    };
    //: Said after a sitemap or feed in quillpost --discover: found at a usual place, not named
    //: by the site
    const QString guessed = tr("(guessed)");
    if (!found.m_strSite.empty())
        //: A line's first word in quillpost --discover
        line(tr("site"), found.m_strSite);
    if (!found.m_strTitle.empty())
        //: A line's first word in quillpost --discover
        line(tr("title"), found.m_strTitle, {}, false);
    for (const CFoundSitemap& sitemap : found.m_sitemaps)
        //: A line's first word in quillpost --discover
        line(tr("sitemap"), sitemap.m_strUrl, sitemap.m_bGuessed ? guessed : QString());
    for (const CFoundFeed& feed : found.m_feeds) {
        QStringList flags;
        if (feed.m_bGuessed)
            flags << guessed;
        if (feed.m_bOtherSite)
            //: Said after a feed in quillpost --discover
            flags << tr("(another site's)");
        //: A line's first word in quillpost --discover
        line(tr("feed"), feed.m_strSelf, flags.join(QLatin1Char(' ')));
        for (const std::string& hub : feed.m_hubs)
            //: A line's first word in quillpost --discover: a hub a feed names
            line(tr("  hub"), hub);
    }
    for (const std::string& hub : found.m_hubs)
        //: A line's first word in quillpost --discover: a hub the home page names
        line(tr("hub"), hub);
    // What could not be read says so itself ("… not read: Connection refused").
    //: A line's first word in quillpost --discover: what it could not read, or saw of the site
    const QString note = tr("note");
    for (const CText& unread : found.m_unread)
        out += note + QLatin1Char('\t') + CResultText::Translated(unread) + QLatin1Char('\n');
    for (const CText& said : found.m_notes)
        out += note + QLatin1Char('\t') + CResultText::Translated(said) + QLatin1Char('\n');
    return Emit(stdout, out.toStdString());
}

bool CDiscoverCommand::WriteJson(const CDiscovery& found)
{
    std::string out;
    const auto kind = [](const char* name) {
        COutputFields fields;
        fields.Text("kind", name);
        return fields;
    };
    out += kind("site")
               .Address("url", found.m_strSite)
               .Text("title", found.m_strTitle)
               .Flag("moved", found.m_bMoved)
               .Flag("private", found.m_bPrivate)
               .JsonLine();
    for (const CFoundSitemap& sitemap : found.m_sitemaps)
        out += kind("sitemap")
                   .Address("url", sitemap.m_strUrl)
                   .Flag("guessed", sitemap.m_bGuessed)
                   .JsonLine();
    for (const CFoundFeed& feed : found.m_feeds)
        out += kind("feed")
                   .Address("url", feed.m_strSelf)
                   .Text("title", feed.m_strTitle)
                   .Addresses("hubs", feed.m_hubs)
                   .Flag("guessed", feed.m_bGuessed)
                   .Flag("other_site", feed.m_bOtherSite)
                   .JsonLine();
    for (const std::string& hub : found.m_hubs)
        out += kind("hub").Address("url", hub).JsonLine();
    for (const CText& unread : found.m_unread)
        out += kind("not_read").Text("reason", unread.English()).JsonLine();
    for (const CText& note : found.m_notes)
        out += kind("note").Text("text", note.English()).JsonLine();
    return Emit(stdout, out);
}
