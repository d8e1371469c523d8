#include "cli/CheckKeysCommand.h"

#include "core/IndexNow.h"
#include "core/PostRequest.h"
#include "core/ResultRecord.h"
#include "core/SubmitHost.h"
#include "core/Utf8.h"
#include "runs/ProgramFolders.h"
#include "runs/ResultText.h"
#include "runs/TargetStore.h"

#include <QFile>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <utility>

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CCheckKeysCommand::CCheckKeysCommand(CSubmitCommand::Format format, const CPostSettings& settings)
    : m_format(format)
    , m_check(settings)
{
}

int CCheckKeysCommand::Run(const std::optional<QString>& file)
{
    // Read as a run reads the list, so that what is checked is what a run would post.
    CTargetStore store(ProgramFolders::DataLocation());
    const CTargetStore::CLoaded loaded
        = store.LoadToPost(file ? QFile::encodeName(*file).toStdString() : std::string());
    if (!loaded.m_bOk) {
        CSubmitCommand::Say(loaded.m_message);
        return CSubmitCommand::ExitUnusable;
    }
    if (m_format == CSubmitCommand::Format::Csv
        && !CSubmitCommand::Print(CsvRecord({"key_file", "ok", "reason", "targets"})))
        return CSubmitCommand::ExitUnusable;
    bool anyFailed = false;
    for (const KeyGroup& group : GroupsOf(loaded.m_records)) {
        CKeyVerdict verdict;
        if (group.m_refusal) {
            verdict.m_strKeyFile = group.m_file.m_strUrl;
            verdict.m_reason = *group.m_refusal;
        } else {
            verdict = m_check.Check(group.m_file);
        }
        anyFailed = anyFailed || !verdict.m_bOk;
        if (!Write(group, verdict))
            return CSubmitCommand::ExitUnusable;
    }
    return anyFailed ? CSubmitCommand::ExitFailed : CSubmitCommand::ExitSucceeded;
}

std::vector<CCheckKeysCommand::KeyGroup> CCheckKeysCommand::GroupsOf(const TargetRecords& records)
{
    std::vector<KeyGroup> groups;
    for (const std::shared_ptr<CSubmitHost>& record : records) {
        if (!record || !IsIndexNowTarget(*record))
            continue;
        KeyGroup group;
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
        const auto same = std::find_if(groups.begin(), groups.end(), [&](const KeyGroup& known) {
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

bool CCheckKeysCommand::Write(const KeyGroup& group, const CKeyVerdict& verdict)
{
    const std::string keyFile = ShownUtf8(MaskPassword(group.m_file.m_strUrl));
    std::vector<std::string> targets;
    for (const std::string& url : group.m_targets)
        targets.push_back(ShownUtf8(MaskPassword(url)));
    switch (m_format) {
    case CSubmitCommand::Format::Text: {
        //: A key file's verdict at the start of a line of quillpost --check-keys
        const QString ok = tr("ok");
        //: A key file's verdict at the start of a line of quillpost --check-keys
        const QString failed = tr("failed");
        const auto width = std::max(ok.size(), failed.size()) + 1;
        QString line = (verdict.m_bOk ? ok : failed).leftJustified(width) + QLatin1Char(' ')
            + CResultText::Printable(FromUtf8(keyFile));
        const QString reason = CResultText::Translated(verdict.m_reason);
        if (!reason.isEmpty())
            line += QStringLiteral("  ") + CResultText::Printable(reason);
        return CSubmitCommand::Print(line.toStdString() + '\n');
    }
    case CSubmitCommand::Format::Json: {
        const nlohmann::ordered_json fields = {
            {"key_file", keyFile},
            {"ok", verdict.m_bOk},
            {"reason", ShownUtf8(verdict.m_reason.English())},
            {"targets", targets},
        };
        return CSubmitCommand::Print(
            fields.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + '\n');
    }
    case CSubmitCommand::Format::Csv: {
        std::string joined;
        for (const std::string& url : targets)
            joined += (joined.empty() ? "" : " ") + url;
        return CSubmitCommand::Print(CsvRecord({keyFile, verdict.m_bOk ? "true" : "false",
            ShownUtf8(verdict.m_reason.English()), joined}));
    }
    }
    return true;
}
