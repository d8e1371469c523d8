#pragma once

#include "core/Address.h"
#include "core/PostLogEntry.h"
#include "core/PostOutcome.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

struct CPostResult;

// One target's result as output for other programs carries it: English texts, plain values.
struct CResultRecord
{
    std::string m_strUrl; // the target's URL as stored (masked on output)
    std::string m_strBody; // "form", "xml-rpc", "json", or the unknown kind as stored
    PostOutcome m_outcome = PostOutcome::Failed; // "success" is true for Succeeded alone
    std::size_t m_addresses = 0; // how many addresses of the target's source the post carried
    long m_status = 0; // 0 when there was no answer
    std::string m_strReason; // "Not Found", "Connection refused", "Stopped"...
    std::string m_strServiceMessage; // what the service said, if anything
    std::string m_strError; // libcurl's own message, if any
    double m_seconds = 0;
    std::string m_strFinalUrl; // masked on output too
    std::chrono::system_clock::time_point m_finishedAt;
    std::string m_strMovedTo; // where the target moved for good, if it did; masked on output
    // A dry run's record: what would be posted, the body exact and whole.
    bool m_bDryRun = false;
    std::string m_strContentType;
    std::string m_strRequestBody;
};

// A post's result as output for other programs carries it: in English whatever the user's
// language, with the URL and body kind it was posted with, as the data file writes them.
CResultRecord RecordOf(const CPostResult& result);

// A post's result as the post log keeps it; the log numbers its runs itself.
CPostLogEntry LogEntryOf(const CPostResult& result);

// Why a logged post failed, in few words: its reason, or what the service said where the
// status says success (an XML-RPC fault answered with 200 is not "OK").
std::string WhyFailed(const CPostLogEntry& entry);

// CSV as RFC 4180 has it: a header row, then one record per result, each ending in CRLF.
// A field that starts with "=", "+", "-", "@", a tab or a carriage return gets a "'" before
// it, so that a spreadsheet shows it rather than runs it as a formula.
// A dry run's records and header add "content_type" and "request_body".
std::string CsvHeader(bool dryRun = false);
std::string CsvLine(const CResultRecord& record);
// One record of any fields, escaped and guarded as CsvLine's are, for the command line's
// other tables.
std::string CsvRecord(const std::vector<std::string>& fields);

// One compact JSON object with the CSV's field names in the same order, ending in "\n".
std::string JsonLine(const CResultRecord& record);

// In both, every text is UTF-8, bytes that are not shown as U+FFFD, and the reason and the
// service's message are cut to MaxTextLength characters, the last one "…".
constexpr std::size_t MaxTextLength = 1000;

// ISO 8601 in UTC with milliseconds: "2026-12-08T13:45:07.123Z".
std::string IsoUtc(std::chrono::system_clock::time_point time);
