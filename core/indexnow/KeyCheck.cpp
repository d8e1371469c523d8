#include "core/indexnow/KeyCheck.h"

#include "core/indexnow/IndexNow.h"
#include "core/net/Address.h"
#include "core/net/Fetch.h"
#include "core/net/TransferFailure.h"
#include "core/post/PostResult.h"
#include "core/post/UrlEncoder.h"
#include "core/text/AsciiText.h"
#include "core/text/Utf8.h"

#include <curl/curl.h>

#include <memory>
#include <string_view>

namespace {

// What the user is shown of a file that holds something else.
constexpr std::size_t ShownChars = 40;

bool StartsWithByteOrderMark(std::string_view body)
{
    return body.substr(0, 3) == "\xEF\xBB\xBF" || body.substr(0, 2) == "\xFE\xFF"
        || body.substr(0, 2) == "\xFF\xFE";
}

// The first characters of text, controls as spaces and broken UTF-8 as U+FFFD, so a file
// of any bytes can be shown on one line.
std::string Shown(std::string_view text)
{
    std::string shown;
    std::size_t pos = 0;
    for (std::size_t chars = 0; pos < text.size(); ++chars) {
        if (chars == ShownChars)
            return shown + "…";
        const std::size_t start = pos;
        char32_t codePoint = 0;
        if (!DecodeUtf8(text, pos, codePoint)) {
            shown += "\xEF\xBF\xBD";
            ++pos;
        } else if (codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F)) {
            shown += ' ';
        } else {
            shown.append(text.substr(start, pos - start));
        }
    }
    return shown;
}

// Where a Location header sends the reader of the file: resolved against the file's
// address, as a browser would.
std::string Destination(const std::string& fileUrl, const std::string& location)
{
    CAddress::Handle url(curl_url());
    if (url && curl_url_set(url.get(), CURLUPART_URL, fileUrl.c_str(), 0) == CURLUE_OK
        && curl_url_set(url.get(), CURLUPART_URL, location.c_str(), CURLU_NON_SUPPORT_SCHEME)
            == CURLUE_OK) {
        if (auto resolved = UrlPart(url.get(), CURLUPART_URL))
            return *resolved;
    }
    return Shown(location);
}

// "text/html" of "Text/HTML; charset=utf-8", for comparing and showing.
std::string MediaType(const std::string& contentType)
{
    return LowerAscii(
        TrimmedBlanks(std::string_view(contentType).substr(0, contentType.find(';'))));
}

// Why an answer is not the key file; empty when it is.
CText AnswerFault(const CKeyFile& file, const CFetchAnswer& answer)
{
    const long status = answer.m_status;
    const std::optional<std::string> location = answer.Header("location");
    if (status >= 300 && status <= 399) {
        if (location)
            return CText(QT_TRANSLATE_NOOP("Quillpost", "Key file %1 moved to %2"),
                {file.m_strUrl, Destination(file.m_strUrl, *location)});
        //: A key file's redirect that says not where: "Key file … moved: 304 Not Modified"
        return CText(QT_TRANSLATE_NOOP("Quillpost", "Key file %1 moved: %2"),
            {file.m_strUrl, StatusWords(status, Shown(answer.m_strReason))});
    }
    if (status != 200)
        //: "Key file https://www.example.com/k.txt not found: 404 Not Found"
        return CText(QT_TRANSLATE_NOOP("Quillpost", "Key file %1 not found: %2"),
            {file.m_strUrl, StatusWords(status, Shown(answer.m_strReason))});
    if (answer.m_bCut)
        return CText(
            QT_TRANSLATE_NOOP("Quillpost", "Key file %1 is larger than 64 KiB"), {file.m_strUrl});
    const std::string_view body = answer.m_strBody;
    if (StartsWithByteOrderMark(body))
        return CText(QT_TRANSLATE_NOOP("Quillpost", "Key file %1 starts with a byte-order mark"),
            {file.m_strUrl});
    const std::string_view content = TrimmedBlanks(body);
    if (!content.empty() && content.front() == '<')
        return CText(QT_TRANSLATE_NOOP("Quillpost", "Key file %1 is a web page, not the key"),
            {file.m_strUrl});
    if (content != file.m_strKey)
        return CText(QT_TRANSLATE_NOOP("Quillpost", "Key file %1 holds something else: “%2”"),
            {file.m_strUrl, Shown(content)});
    return CText();
}

// Search engines read the key whatever the type says, but a page served as something else
// hints that the server does not hand out the file as it is.
CText TypeNote(const CFetchAnswer& answer)
{
    if (answer.m_strContentType.empty())
        return CText();
    const std::string type = MediaType(answer.m_strContentType);
    if (type == "text/plain")
        return CText();
    return CText(
        QT_TRANSLATE_NOOP("Quillpost", "Key file is served as %1, not text/plain"), {Shown(type)});
}

} // namespace

bool KeyFileOf(const std::string& host, const std::string& key,
    const std::optional<std::string>& keyLocation, CKeyFile& file, CText& refusal)
{
    file = CKeyFile();
    file.m_strKey = key;
    // Addresses are read, and hosts compared, as a post's are.
    const std::optional<CAddress> site = IndexNowHost(host);
    if (!site) {
        refusal = CText(QT_TRANSLATE_NOOP("Quillpost", "IndexNow host “%1” is not a host name"),
            {ShownUtf8(MaskPassword(host))});
        return false;
    }
    if (keyLocation) {
        const CAddress location = CAddress::Read(*keyLocation);
        if (!location.IsValid()) {
            refusal = CText(
                QT_TRANSLATE_NOOP("Quillpost", "keyLocation %1 is not an http or https address"),
                {ShownUtf8(location.Shown())});
            return false;
        }
        if (!location.SameHost(*site)) {
            refusal = CText(QT_TRANSLATE_NOOP("Quillpost", "keyLocation %1 is not on the host %2"),
                {ShownUtf8(location.Shown()), ShownUtf8(host)});
            return false;
        }
        file.m_strUrl = location.Url();
        return true;
    }
    // Escaped, so that no character of the key can make a query or a fragment of it.
    const std::string path = CUrlEncoder(CUrlEncoder::Style::Path).Encode("/" + key + ".txt");
    const CAddress::Handle url = site->RequestHandle();
    if (!url || curl_url_set(url.get(), CURLUPART_PATH, path.c_str(), 0) != CURLUE_OK) {
        refusal = CText(QT_TRANSLATE_NOOP("Quillpost", "IndexNow host “%1” is not a host name"),
            {ShownUtf8(host)});
        return false;
    }
    file.m_strUrl = UrlPart(url.get(), CURLUPART_URL).value_or(std::string());
    return true;
}

CKeyCheck::CKeyCheck(const CPostSettings& settings, const std::atomic<bool>* stop)
    : m_settings(settings)
    , m_stop(stop)
{
}

CKeyVerdict CKeyCheck::Check(const CKeyFile& file) const
{
    CKeyVerdict verdict;
    verdict.m_strKeyFile = ShownAddress(file.m_strUrl);
    const auto judged = [&verdict](CText reason) {
        verdict.m_reason = std::move(reason);
        verdict.m_checkedAt = std::chrono::system_clock::now();
        return verdict;
    };
    if (m_stop && m_stop->load())
        return judged(StoppedText());

    CFetchSettings settings;
    settings.m_post = m_settings;
    // A search engine takes the key only from the file itself: no redirect is followed.
    const CFetchRequest request(
        file.m_strUrl, MaxFileBytes, FetchCap::Refuse, FetchRedirects::None);
    const CFetchAnswer answer = CFetchGroup(settings, m_stop).Fetch(request);
    if (!answer.Answered())
        return judged(answer.m_failure);
    CText fault = AnswerFault(file, answer);
    if (!fault.IsEmpty())
        return judged(std::move(fault));
    verdict.m_bOk = true;
    verdict.m_note = TypeNote(answer);
    return judged(CText());
}
