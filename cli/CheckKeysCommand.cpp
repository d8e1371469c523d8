#include "cli/CheckKeysCommand.h"

#include "core/indexnow/IndexNow.h"
#include "core/net/Address.h"
#include "core/net/PostLimits.h"
#include "core/post/PostRequest.h"
#include "core/target/SubmitHost.h"
#include "core/text/OutputFields.h"
#include "runs/ProgramFolders.h"
#include "runs/ResultText.h"
#include "runs/TargetStore.h"

#include <QCommandLineParser>
#include <QFile>

#include <algorithm>
#include <utility>

namespace {

// A key file's verdict for other programs.
COutputFields FieldsOf(const CCheckKeysCommand::CKeyGroup& group, const CKeyVerdict& verdict)
{
    COutputFields fields;
    fields.Address("key_file", group.m_file.m_strUrl)
        .Flag("ok", verdict.m_bOk)
        .Text("reason", verdict.m_reason.English())
        .Addresses("targets", group.m_targets);
    return fields;
}

} // namespace

CCheckKeysCommand::CCheckKeysCommand(const char* name, const CCommandSettings& settings)
    : CCommand(name, settings)
{
}

QList<QCommandLineOption> CCheckKeysCommand::Options() const
{
    return {FormatOption()};
}

CCheckKeysCommand::CHelp CCheckKeysCommand::Help() const
{
    CHelp help;
    help.m_strUsage = tr("--check-keys [FILE] [--format=text|json|csv]");
    help.m_strOptions
        = tr("  --check-keys [FILE]     fetch the key file of every IndexNow target of FILE, or\n"
             "                          of the list the window would load, and print whether\n"
             "                          it holds the key; nothing is posted\n");
    help.m_strExits
        = tr("--check-keys: 0 when every key file holds its key, 1 when one fails, 2 when the\n"
             "list could not be read.\n");
    help.m_strExample = QStringLiteral("  quillpost --check-keys --format=csv > keys.csv\n");
    return help;
}

bool CCheckKeysCommand::Take(const QCommandLineParser& parser, QString& error)
{
    return TakeList(parser.positionalArguments(), m_file, error) && TakeFormat(parser, error);
}

int CCheckKeysCommand::Run()
{
    // Read as a run reads the list, so that what is checked is what a run would post.
    CTargetStore store(ProgramFolders::DataLocation());
    const CTargetStore::CLoaded loaded
        = store.LoadToPost(m_file ? QFile::encodeName(*m_file).toStdString() : std::string());
    if (!loaded.m_bOk) {
        Say(loaded.m_strMessage);
        return ExitUnusable;
    }
    if (OutputFormat() == Format::Csv
        && !Emit(stdout, FieldsOf(CKeyGroup(), CKeyVerdict()).CsvHeader()))
        return ExitUnusable;
    // What the window's runs check with.
    const CKeyCheck check{CPostSettings()};
    bool anyFailed = false;
    for (const CKeyGroup& group : GroupsOf(loaded.m_records)) {
        CKeyVerdict verdict;
        if (group.m_refusal) {
            verdict.m_strKeyFile = group.m_file.m_strUrl;
            verdict.m_reason = *group.m_refusal;
        } else {
            verdict = check.Check(group.m_file);
        }
        anyFailed = anyFailed || !verdict.m_bOk;
        if (!Write(group, verdict))
            return ExitUnusable;
    }
    return anyFailed ? ExitFailed : ExitSucceeded;
}

std::vector<CCheckKeysCommand::CKeyGroup> CCheckKeysCommand::GroupsOf(const TargetRecords& records)
{
    std::vector<CKeyGroup> groups;
    for (const std::shared_ptr<CSubmitHost>& record : records) {
        if (!record || !IsIndexNowTarget(*record))
            continue;
        CKeyGroup group;
        group.m_targets.push_back(record->m_strUrl);
        CPostRequest request;
        CText refusal;
        // What a run refuses is refused here before anything is fetched for it.
        if (!PrepareRequest(*record, request, refusal)
            || !CheckIndexNow(*record, group.m_file, refusal)) {
            group.m_refusal = refusal;
            // The address the target gives, for the user to find it by.
            group.m_file.m_strUrl = record->FirstValue("keyLocation").value_or(std::string());
            groups.push_back(std::move(group));
            continue;
        }
        const auto same = std::find_if(groups.begin(), groups.end(), [&](const CKeyGroup& known) {
            return !known.m_refusal && known.m_file.m_strUrl == group.m_file.m_strUrl
                && known.m_file.m_strKey == group.m_file.m_strKey;
        });
        if (same != groups.end())
            same->m_targets.push_back(record->m_strUrl);
        else
            groups.push_back(std::move(group));
    }
    return groups;
}

bool CCheckKeysCommand::Write(const CKeyGroup& group, const CKeyVerdict& verdict)
{
    if (OutputFormat() == Format::Json)
        return Emit(stdout, FieldsOf(group, verdict).JsonLine());
    if (OutputFormat() == Format::Csv)
        return Emit(stdout, FieldsOf(group, verdict).CsvLine());
    //: A key file's verdict at the start of a line of quillpost --check-keys
    const QString ok = tr("ok");
    //: A key file's verdict at the start of a line of quillpost --check-keys
    const QString failed = tr("failed");
    const auto width = std::max(ok.size(), failed.size()) + 1;
    QString line = (verdict.m_bOk ? ok : failed).leftJustified(width) + QLatin1Char(' ')
        + CResultText::Printable(QString::fromStdString(MaskPassword(group.m_file.m_strUrl)));
    const QString reason = CResultText::Translated(verdict.m_reason);
    if (!reason.isEmpty())
        line += QStringLiteral("  ") + CResultText::Printable(reason);
    return Emit(stdout, line.toStdString() + '\n');
}
