#pragma once

#include "core/history/AddressLog.h"
#include "core/history/PostLogEntry.h"
#include "core/post/PostOutcome.h"
#include "core/text/OutputFields.h"

#include <chrono>
#include <cstddef>
#include <string>

struct CPostResult;

// One target's result as output for other programs carries it: English texts, plain values.
struct CResultRecord
{
    std::string m_strUrl; // the target's URL as stored (masked on output)
    std::string m_strBody; // "form", "xml-rpc", "json", or the unknown kind as stored
    PostOutcome m_outcome = PostOutcome::Failed; // "success" is true for Succeeded alone
    std::size_t m_addresses = 0; // how many addresses of the target's source the post carried
    std::size_t m_removed = 0; // how many of them it announced as removed from the site
    std::size_t m_leftOut = 0; // how many the page checks left out (with the first post only)
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

// The fields of a result, and of a post-log entry, in the order the output writes them. A dry
// run's result adds "content_type" and "request_body", and every result ends with the counts
// "left_out" and "removed"; the reason and the service's message are cut to
// COutputFields::MaxWords characters.
COutputFields FieldsOf(const CResultRecord& record);
COutputFields FieldsOf(const CPostLogEntry& entry);
// A post-log entry's fields, then the page's: "page" as the log keeps it, "page_outcome" its
// fate's word, and "page_reason" why it was left out (empty otherwise).
COutputFields FieldsOf(const CPageEvent& event);
