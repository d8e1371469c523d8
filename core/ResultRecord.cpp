#include "core/ResultRecord.h"

#include "core/PostResult.h"
#include "core/SubmitHost.h"
#include "core/Utf8.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <string_view>
#include <vector>

namespace {

// A service's words as UTF-8, at most MaxTextLength characters of them.
std::string Cut(const std::string& text)
{
    std::string shown = ShownUtf8(text);
    std::size_t characters = 0;
    std::size_t lastKept = 0;
    for (std::size_t pos = 0; pos < shown.size(); ++pos) {
        if ((static_cast<unsigned char>(shown[pos]) & 0xC0) == 0x80)
            continue;
        if (characters == MaxTextLength - 1)
            lastKept = pos;
        if (++characters > MaxTextLength)
            return shown.substr(0, lastKept) + "\xE2\x80\xA6"; // "…"
    }
    return shown;
}

// The one place that names the fields and their order; the CSV columns follow the JSON keys.
nlohmann::ordered_json Fields(const CResultRecord& record)
{
    // Milliseconds are plenty for a post; more digits would only be noise.
    const double seconds = std::round(record.m_seconds * 1000) / 1000;
    nlohmann::ordered_json fields = {
        {"url", ShownUtf8(MaskPassword(record.m_strUrl))},
        {"body", ShownUtf8(record.m_strBody)},
        {"success", record.m_outcome == PostOutcome::Succeeded},
        {"outcome", OutcomeWord(record.m_outcome)},
        {"addresses", record.m_addresses},
        {"status", record.m_status},
        {"reason", Cut(record.m_strReason)},
        {"service_message", Cut(record.m_strServiceMessage)},
        {"error", ShownUtf8(record.m_strError)},
        {"seconds", seconds},
        {"final_url", ShownUtf8(MaskPassword(record.m_strFinalUrl))},
        {"finished_at", IsoUtc(record.m_finishedAt)},
        {"moved_to", ShownUtf8(MaskPassword(record.m_strMovedTo))},
    };
    // A dry run's records say what would go on the wire, whole.
    if (record.m_bDryRun) {
        fields["content_type"] = ShownUtf8(record.m_strContentType);
        fields["request_body"] = ShownUtf8(record.m_strRequestBody);
    }
    return fields;
}

std::string CsvField(std::string text)
{
    // A spreadsheet runs a cell that starts so as a formula, or may; a quote keeps it text.
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
        text.insert(0, 1, '\'');
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

} // namespace

std::string CsvRecord(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i)
        line += (i ? "," : "") + CsvField(fields[i]);
    return line + "\r\n";
}

CPostLogEntry LogEntryOf(const CPostResult& result)
{
    CPostLogEntry entry;
    entry.m_time = result.m_finishedAt;
    entry.m_strUrl = MaskPassword(result.m_strUrl);
    entry.m_strBody = result.m_strBody;
    entry.m_strChanges = result.m_strChanges.value_or(std::string());
    entry.m_outcome = result.m_outcome;
    entry.m_bSuccess = result.Succeeded();
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

std::string CsvHeader(bool dryRun)
{
    std::vector<std::string> names;
    CResultRecord none;
    none.m_bDryRun = dryRun;
    const auto fields = Fields(none);
    for (const auto& item : fields.items())
        names.push_back(item.key());
    return CsvRecord(names);
}

std::string CsvLine(const CResultRecord& record)
{
    std::vector<std::string> values;
    for (const auto& value : Fields(record))
        values.push_back(value.is_string() ? value.get_ref<const std::string&>() : value.dump());
    return CsvRecord(values);
}

std::string JsonLine(const CResultRecord& record)
{
    return Fields(record).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
        + '\n';
}

std::string IsoUtc(std::chrono::system_clock::time_point time)
{
    using namespace std::chrono;
    // Floored, so a time before 1970 still counts its milliseconds forward from its second.
    const auto millis = floor<milliseconds>(time.time_since_epoch());
    const auto secs = floor<seconds>(millis);
    const std::time_t whole = static_cast<std::time_t>(secs.count());
    std::tm utc{};
    char text[64];
    if (!gmtime_r(&whole, &utc) || std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc) == 0)
        return std::string();
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%03dZ", static_cast<int>((millis - secs).count()));
    return text + std::string(fraction);
}
