#pragma once

#include <cstdint>
#include <string>

// What became of one background post: whether the service took it, what it answered or why
// there was no answer, and what the user needs to look into it.
struct CPostResult
{
    // The post and the row it was made for, as the caller numbered them.
    std::uint64_t m_jobId = 0;
    std::uint64_t m_rowId = 0;

    // The service answered with a final 200.
    bool m_bSuccess = false;
    // The final status, or 0 when there was no (usable) answer.
    long m_status = 0;
    // The status's reason phrase ("Not Found"), or the failure in plain words
    // ("Connection refused", "Stopped").
    std::string m_strReason;
    // libcurl's own, fuller message for a failure; empty for an answer.
    std::string m_strMessage;
    double m_seconds = 0;
    // The address that answered, after redirects.
    std::string m_strFinalUrl;
    // The start of the answer, at most ExcerptLength characters of UTF-8 as received.
    std::string m_strExcerpt;

    static constexpr std::size_t ExcerptLength = 300;

    // "404 Not Found", "299" for a code without a phrase, or the failure ("Stopped").
    std::string Summary() const;
};

// The reason phrase the HTTP standard gives a status, or nullptr for a code it does not name.
const char* StandardReason(long status);
