#include "cli/AddSiteCommand.h"

#include "cli/DiscoveryWait.h"
#include "cli/ListWait.h"
#include "cli/StopSignals.h"
#include "core/indexnow/IndexNow.h"
#include "core/net/Address.h"
#include "core/site/SiteDiscovery.h"
#include "core/system/ListLock.h"
#include "core/target/SubmitHost.h"
#include "runs/IndexNowKey.h"
#include "runs/ProgramFolders.h"
#include "runs/ResultText.h"
#include "runs/SiteTargets.h"
#include "runs/TargetStore.h"

#include <QCommandLineParser>
#include <QFile>

#include <memory>

namespace {

QCommandLineOption KeyOption()
{
    return QCommandLineOption(QStringLiteral("key"), QString(), QStringLiteral("key"));
}

// A line of the output: its first word, a tab and the address.
void AddLine(QString& out, const QString& label, const std::string& address)
{
    out += label + QLatin1Char('\t')
        + CResultText::Printable(QString::fromStdString(MaskPassword(address))) + QLatin1Char('\n');
}

} // namespace

CAddSiteCommand::CAddSiteCommand(const char* name, const CCommandSettings& settings)
    : CCommand(name, settings)
{
}

QList<QCommandLineOption> CAddSiteCommand::Options() const
{
    return {KeyOption()};
}

CAddSiteCommand::CHelp CAddSiteCommand::Help() const
{
    CHelp help;
    help.m_strUsage = tr("--add-site URL [FILE] [--key KEY]");
    help.m_strOptions = tr(
        "  --add-site URL [FILE]   add the targets that announce the site at URL to FILE, or\n"
        "                          to the list the window would load, and save it: IndexNow\n"
        "                          with a new key (or --key KEY), the hubs its feeds name and\n"
        "                          the well-known ping services; nothing is posted\n");
    help.m_strExits
        = tr("--add-site: 0 when targets were added, 1 when nothing new was found or the site\n"
             "could not be reached, 2 for an address that is no site's, a wrong key, or a list\n"
             "that could not be read or saved, 75 when another run kept the list.\n");
    help.m_strExample = QStringLiteral("  quillpost --add-site www.example.com\n");
    return help;
}

bool CAddSiteCommand::Take(const QCommandLineParser& parser, QString& error)
{
    QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty() || arguments.front().isEmpty()) {
        error = tr("--add-site takes a site address");
        return false;
    }
    m_strSite = arguments.takeFirst().toStdString();
    if (!TakeList(arguments, m_file, error))
        return false;
    m_strKey
        = parser.isSet(KeyOption()) ? parser.value(KeyOption()).toStdString() : NewIndexNowKey();
    if (!IsIndexNowKey(m_strKey)) {
        error = tr("--key takes 8 to 128 letters, digits or hyphens");
        return false;
    }
    return true;
}

std::optional<int> CAddSiteCommand::SayFound(const CDiscovery& found)
{
    // Each thing said of the site first, a private site above all, before anything is added.
    for (const CText& note : found.m_notes)
        Say(CResultText::Translated(note));
    if (found.m_bBadInput)
        return ExitUnusable;
    for (const CText& unread : found.m_unread)
        Say(CResultText::Translated(unread));
    if (found.m_bUnreached)
        return ExitFailed;
    return std::nullopt;
}

TargetRecords CAddSiteCommand::WithTargets(const CDiscovery& found, const TargetRecords& list,
    QString& out, std::shared_ptr<CSubmitHost>& indexNow) const
{
    TargetRecords records = list;
    for (const CSiteTarget& made : CSiteTargets::Of(found, m_strKey, list)) {
        if (made.m_bInList) {
            //: A line's first word in quillpost --add-site: a target the list holds already
            AddLine(out, tr("there"), made.m_target->m_strUrl);
        } else if (made.ChosenByDefault()) {
            //: A line's first word in quillpost --add-site
            AddLine(out, tr("added"), made.m_target->m_strUrl);
            records.push_back(made.m_target);
            if (made.m_kind == CSiteTarget::Kind::IndexNow)
                indexNow = made.m_target;
        }
    }
    return records;
}

int CAddSiteCommand::Run()
{
    CStopSignals signals;
    const CDiscovery found = CDiscoveryWait::Discover(m_strSite, signals);
    if (signals.Status())
        return *signals.Status();
    if (const std::optional<int> exit = SayFound(found))
        return *exit;

    CTargetStore store(ProgramFolders::DataLocation());
    const std::string given = m_file ? QFile::encodeName(*m_file).toStdString() : std::string();
    std::unique_ptr<CListLock> lock;
    switch (CListWait::Take(
        given.empty() ? store.Location().SavePath() : given, Settings(), signals, lock)) {
    case CListWait::Outcome::Held:
        break;
    case CListWait::Outcome::Busy:
        return ExitBusy;
    case CListWait::Outcome::Stopped:
        return *signals.Status();
    }
    CTargetStore::CLoaded loaded = store.LoadToAdd(given);
    if (!loaded.m_strMessage.isEmpty())
        Say(loaded.m_strMessage);
    if (!loaded.m_bOk)
        return ExitUnusable;

    QString out;
    // The IndexNow target added, whose key file the user is to upload.
    std::shared_ptr<CSubmitHost> indexNow;
    const TargetRecords records = WithTargets(found, loaded.m_records, out, indexNow);
    if (records.size() == loaded.m_records.size()) {
        Emit(stdout, out.toStdString());
        Say(found.FoundAny() ? tr("Nothing new to add: the list holds these targets already.")
                             : tr("Nothing was found to announce the site from."));
        return ExitFailed;
    }
    const CTargetStore::CSaved saved = store.SaveTo(given, records);
    if (!saved.m_strMessage.isEmpty())
        Say(saved.m_strMessage);
    if (!saved.m_bOk)
        return ExitUnusable;
    if (indexNow) {
        //: A line's first word in quillpost --add-site: the IndexNow key made
        out += tr("key") + QLatin1Char('\t') + QString::fromStdString(m_strKey) + QLatin1Char('\n');
        //: A line's first word in quillpost --add-site: where the key file must be served
        AddLine(out, tr("key file"), indexNow->FirstValue("keyLocation").value_or(std::string()));
    }
    if (!Emit(stdout, out.toStdString()))
        return ExitUnusable;
    if (indexNow)
        Say(tr("Upload a file named %1.txt that holds the key alone to the site's root; "
               "quillpost --check-keys checks it.")
                .arg(QString::fromStdString(m_strKey)));
    return ExitSucceeded;
}
