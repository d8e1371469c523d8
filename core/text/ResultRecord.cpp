#include "core/text/ResultRecord.h"

#include "core/net/Address.h"
#include "core/post/PostResult.h"

COutputFields FieldsOf(const CResultRecord& record)
{
    COutputFields fields;
    fields.Address("url", record.m_strUrl)
        .Text("body", record.m_strBody)
        .Flag("success", record.m_outcome == PostOutcome::Succeeded)
        .Text("outcome", OutcomeWord(record.m_outcome))
        .Number("addresses", static_cast<long long>(record.m_addresses))
        .Number("status", record.m_status)
        .Words("reason", record.m_strReason)
        .Words("service_message", record.m_strServiceMessage)
        .Text("error", record.m_strError)
        .Seconds("seconds", record.m_seconds)
        .Address("final_url", record.m_strFinalUrl)
        .Time("finished_at", record.m_finishedAt)
        .Address("moved_to", record.m_strMovedTo);
    // A dry run's records say what would go on the wire, whole.
    if (record.m_bDryRun)
        fields.Text("content_type", record.m_strContentType)
            .Text("request_body", record.m_strRequestBody);
    // Last, as they came last: readers that take the fields by position read on as before.
    fields.Number("left_out", static_cast<long long>(record.m_leftOut))
        .Number("removed", static_cast<long long>(record.m_removed));
    return fields;
}

COutputFields FieldsOf(const CPostLogEntry& entry)
{
    // The log keeps URLs masked already; masked again, as a log from an older version may not
    // have been. It keeps a source as the list has it, to know the target by.
    COutputFields fields;
    fields.Time("time", entry.m_time)
        .Number("run", entry.m_run)
        .Address("url", entry.m_strUrl)
        .Text("body", entry.m_strBody)
        .Address("changes", entry.m_strChanges)
        .Text("outcome", OutcomeWord(entry.m_outcome))
        .Flag("success", entry.m_outcome == PostOutcome::Succeeded)
        .Number("status", entry.m_status)
        .Text("reason", entry.m_strReason)
        .Text("service_message", entry.m_strServiceMessage)
        .Seconds("seconds", entry.m_seconds)
        .Number("addresses", entry.m_addresses);
    return fields;
}

COutputFields FieldsOf(const CPageEvent& event)
{
    COutputFields fields = FieldsOf(event.m_entry);
    fields.Address("page", event.m_address.m_strAddress)
        .Text("page_outcome", FateWord(event.m_address.m_fate))
        .Text("page_reason", event.m_address.m_strReason);
    return fields;
}

CPostLogEntry LogEntryOf(const CPostResult& result)
{
    CPostLogEntry entry;
    entry.m_time = result.m_finishedAt;
    entry.m_strUrl = MaskPassword(result.m_strUrl);
    entry.m_strBody = result.m_strBody;
    entry.m_strChanges = result.m_strChanges.value_or(std::string());
    entry.m_outcome = result.m_outcome;
    entry.m_status = result.m_status;
    entry.m_strReason = result.m_reason.English();
    entry.m_strServiceMessage = result.m_serviceMessage.English();
    entry.m_seconds = result.m_seconds;
    entry.m_addresses = static_cast<std::int64_t>(result.m_addresses);
    return entry;
}

std::string WhyFailed(const CPostLogEntry& entry)
{
    const bool answeredSuccess = entry.m_status >= 200 && entry.m_status <= 299;
    return answeredSuccess && !entry.m_strServiceMessage.empty() ? entry.m_strServiceMessage
                                                                 : entry.m_strReason;
}

CResultRecord RecordOf(const CPostResult& result)
{
    CResultRecord record;
    record.m_strUrl = result.m_strUrl;
    record.m_strBody = result.m_strBody;
    record.m_outcome = result.m_outcome;
    record.m_addresses = result.m_addresses;
    record.m_removed = result.m_removed.size();
    record.m_leftOut = result.m_leftOut.size();
    record.m_strContentType = result.m_strContentType;
    record.m_strRequestBody = result.m_strRequestBody;
    record.m_status = result.m_status;
    record.m_strReason = result.m_reason.English();
    record.m_strServiceMessage = result.m_serviceMessage.English();
    record.m_strError = result.m_strError;
    record.m_seconds = result.m_seconds;
    record.m_strFinalUrl = result.m_strFinalUrl;
    record.m_finishedAt = result.m_finishedAt;
    record.m_strMovedTo = result.m_strMovedTo;
    return record;
}
