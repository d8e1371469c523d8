#include "core/post/XmlRpcBody.h"

#include "core/target/SubmitHost.h"
#include "core/text/Utf8.h"
#include "core/text/XmlChars.h"

#include <string_view>
#include <utility>

const char XmlRpcContentType[] = "text/xml";

namespace {

constexpr std::string_view MethodNameParam = "methodName";
constexpr std::string_view DefaultMethod = "weblogUpdates.ping";

bool isMethodName(std::string_view name)
{
    if (name.empty())
        return false;
    for (const char c : name) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')
            || (c >= '0' && c <= '9') || c == '_' || c == '.' || c == ':' || c == '/';
        if (!allowed)
            return false;
    }
    return true;
}

// Appends text as XML character data; false if XML 1.0 cannot hold it. A CR is written as a
// reference because a reader would otherwise turn it and a following LF into one LF.
bool appendXmlText(std::string& out, std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (static_cast<unsigned char>(c) < 0x80) {
            switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '\r':
                out += "&#xD;";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n')
                    return false;
                out += c;
            }
            ++pos;
            continue;
        }
        const std::size_t start = pos;
        char32_t codePoint;
        if (!DecodeUtf8(text, pos, codePoint) || !IsXmlChar(codePoint))
            return false;
        out.append(text, start, pos - start);
    }
    return true;
}

} // namespace

bool BuildXmlRpcBody(const CSubmitHost& host, std::string& body, CText& refusal)
{
    static constexpr std::string_view ParamOpen = "<param><value><string>";
    static constexpr std::string_view ParamClose = "</string></value></param>";

    std::string method;
    bool haveMethod = false;
    std::string params;
    CSubmitHost::ParamPosition pos;
    CPostParam param;
    for (bool more = host.GetFirstParam(pos, param); more; more = host.GetNextParam(pos, param)) {
        if (!haveMethod && param.m_strName == MethodNameParam) {
            if (!isMethodName(param.m_strValue)) {
                refusal = CText(QT_TRANSLATE_NOOP("Quillpost",
                                    "“%1” is not an XML-RPC method name: it may only hold "
                                    "letters, digits and _ . : /"),
                    {ShownUtf8(param.m_strValue)});
                return false;
            }
            method = std::move(param.m_strValue);
            haveMethod = true;
            continue;
        }
        params += ParamOpen;
        if (!appendXmlText(params, param.m_strValue)) {
            refusal = CText(QT_TRANSLATE_NOOP(
                                "Quillpost", "The value of “%1” cannot be sent in an XML-RPC call"),
                {ShownUtf8(param.m_strName)});
            return false;
        }
        params += ParamClose;
    }

    static constexpr std::string_view Head = "<?xml version=\"1.0\"?>\n<methodCall><methodName>";
    static constexpr std::string_view Middle = "</methodName><params>";
    static constexpr std::string_view Tail = "</params></methodCall>";
    const std::string_view name = haveMethod ? std::string_view(method) : DefaultMethod;
    body.clear();
    body.reserve(Head.size() + name.size() + Middle.size() + params.size() + Tail.size());
    body += Head;
    body += name;
    body += Middle;
    body += params;
    body += Tail;
    return true;
}
