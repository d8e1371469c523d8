#include "core/post/XmlRpcAnswer.h"

#include <expat.h>
#include <iconv.h>

#include <cstring>
#include <initializer_list>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Members = std::map<std::string, std::string>;

using ParserPtr = std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)>;

// A charset expat does not know itself is read through iconv, byte by byte: enough for the
// single-byte charsets services declare (windows-1252, ISO-8859-15...). A byte iconv cannot
// map alone is no character; expat refuses a map in which XML's own characters are not ASCII.
int XMLCALL OnUnknownEncoding(void*, const XML_Char* name, XML_Encoding* info)
{
    const iconv_t convert = iconv_open("UTF-32LE", name);
    if (convert == reinterpret_cast<iconv_t>(-1))
        return XML_STATUS_ERROR;
    for (int byte = 0; byte < 256; ++byte) {
        iconv(convert, nullptr, nullptr, nullptr, nullptr);
        char in = static_cast<char>(byte);
        char* inPtr = &in;
        std::size_t inLeft = 1;
        unsigned char out[8];
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t outLeft = sizeof out;
        const std::size_t converted = iconv(convert, &inPtr, &inLeft, &outPtr, &outLeft);
        const bool oneCharacter
            = converted != static_cast<std::size_t>(-1) && inLeft == 0 && sizeof out - outLeft == 4;
        info->map[byte] = oneCharacter
            ? static_cast<int>(static_cast<unsigned>(out[0]) | static_cast<unsigned>(out[1]) << 8
                | static_cast<unsigned>(out[2]) << 16 | static_cast<unsigned>(out[3]) << 24)
            : -1;
    }
    iconv_close(convert);
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    return XML_STATUS_OK;
}

// Reads no further than the XML declaration, or the first element where there is none.
class CDeclarationProbe
{
public:
    // Whether the body's XML declaration names its encoding, which comes before what the
    // Content-Type says.
    static bool DeclaresEncoding(std::string_view body);

private:
    static void XMLCALL OnDeclaration(
        void* self, const XML_Char* version, const XML_Char* encoding, int standalone);
    static void XMLCALL OnStart(void* self, const XML_Char* name, const XML_Char** attributes);

    XML_Parser m_parser = nullptr;
    bool m_bDeclared = false;
};

bool CDeclarationProbe::DeclaresEncoding(std::string_view body)
{
    const ParserPtr parser(XML_ParserCreate(nullptr), XML_ParserFree);
    if (!parser)
        return false;
    CDeclarationProbe probe;
    probe.m_parser = parser.get();
    XML_SetUserData(parser.get(), &probe);
    XML_SetXmlDeclHandler(parser.get(), OnDeclaration);
    XML_SetStartElementHandler(parser.get(), OnStart);
    XML_SetUnknownEncodingHandler(parser.get(), OnUnknownEncoding, nullptr);
    XML_Parse(parser.get(), body.data(), static_cast<int>(body.size()), XML_TRUE);
    return probe.m_bDeclared;
}

void CDeclarationProbe::OnDeclaration(void* self, const XML_Char*, const XML_Char* encoding, int)
{
    auto* probe = static_cast<CDeclarationProbe*>(self);
    probe->m_bDeclared = encoding != nullptr;
    XML_StopParser(probe->m_parser, XML_FALSE);
}

void CDeclarationProbe::OnStart(void* self, const XML_Char*, const XML_Char**)
{
    XML_StopParser(static_cast<CDeclarationProbe*>(self)->m_parser, XML_FALSE);
}

// Reads the members of the fault struct and of the result structs, which is all a verdict
// needs; every other part of the answer is walked over.
class CAnswerReader
{
public:
    explicit CAnswerReader(XML_Parser parser);

    bool m_bRefused = false;
    bool m_bRootSeen = false;
    bool m_bFault = false;
    Members m_faultMembers;
    Members m_resultMembers;

    // The methodResponse holds one params with one param and its value, or one fault and its
    // value, and nothing else.
    bool IsWellFormedAnswer() const;

private:
    static void XMLCALL OnStart(void* self, const XML_Char* name, const XML_Char** attributes);
    static void XMLCALL OnEnd(void* self, const XML_Char* name);
    static void XMLCALL OnText(void* self, const XML_Char* text, int length);
    static void XMLCALL OnDoctype(void* self, const XML_Char* name, const XML_Char* systemId,
        const XML_Char* publicId, int hasInternalSubset);
    static void XMLCALL OnEntityDecl(void* self, const XML_Char* name, int isParameterEntity,
        const XML_Char* value, int valueLength, const XML_Char* base, const XML_Char* systemId,
        const XML_Char* publicId, const XML_Char* notationName);
    static int XMLCALL OnExternalEntity(XML_Parser parser, const XML_Char* context,
        const XML_Char* base, const XML_Char* systemId, const XML_Char* publicId);

    void Start(const char* name);
    void End();
    void Text(const char* text, int length);
    void Refuse();
    // Runs a handler's work; an exception must not cross the parser's C frames.
    template <typename Work> static void Guarded(void* self, Work work);
    bool PathIs(std::initializer_list<const char*> names) const;

    XML_Parser m_parser;
    std::vector<std::string> m_path;
    // Depth of the member being read, 0 when none is.
    std::size_t m_memberDepth = 0;
    Members* m_members = nullptr;
    std::string m_strName;
    std::string m_strPlainValue;
    std::string m_strTypedValue;
    bool m_bTyped = false;
    // Elements seen in the methodResponse, in its params, and in the param or fault.
    int m_bodyElements = 0;
    int m_params = 0;
    int m_values = 0;
    // Something else than the answer's structure where it belongs.
    bool m_bJunk = false;
};

CAnswerReader::CAnswerReader(XML_Parser parser)
    : m_parser(parser)
{
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser, OnText);
    XML_SetStartDoctypeDeclHandler(parser, OnDoctype);
    XML_SetEntityDeclHandler(parser, OnEntityDecl);
    XML_SetExternalEntityRefHandler(parser, OnExternalEntity);
    XML_SetUnknownEncodingHandler(parser, OnUnknownEncoding, nullptr);
}

void CAnswerReader::OnStart(void* self, const XML_Char* name, const XML_Char**)
{
    Guarded(self, [name](CAnswerReader& reader) { reader.Start(name); });
}

void CAnswerReader::OnEnd(void* self, const XML_Char*)
{
    Guarded(self, [](CAnswerReader& reader) { reader.End(); });
}

void CAnswerReader::OnText(void* self, const XML_Char* text, int length)
{
    Guarded(self, [text, length](CAnswerReader& reader) { reader.Text(text, length); });
}

void CAnswerReader::OnDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int)
{
    static_cast<CAnswerReader*>(self)->Refuse();
}

void CAnswerReader::OnEntityDecl(void* self, const XML_Char*, int, const XML_Char*, int,
    const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*)
{
    static_cast<CAnswerReader*>(self)->Refuse();
}

int CAnswerReader::OnExternalEntity(
    XML_Parser, const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*)
{
    return XML_STATUS_ERROR;
}

template <typename Work> void CAnswerReader::Guarded(void* self, Work work)
{
    auto& reader = *static_cast<CAnswerReader*>(self);
    try {
        work(reader);
    } catch (...) {
        reader.Refuse();
    }
}

void CAnswerReader::Refuse()
{
    m_bRefused = true;
    XML_StopParser(m_parser, XML_FALSE);
}

bool CAnswerReader::PathIs(std::initializer_list<const char*> names) const
{
    if (names.size() != m_path.size())
        return false;
    auto element = m_path.begin();
    for (const char* name : names) {
        if (*element++ != name)
            return false;
    }
    return true;
}

void CAnswerReader::Start(const char* name)
{
    if (m_path.empty()) {
        m_bRootSeen = true;
        if (std::strcmp(name, "methodResponse") != 0) {
            Refuse();
            return;
        }
    }
    if (m_memberDepth == 0 && std::strcmp(name, "member") == 0) {
        if (PathIs({"methodResponse", "fault", "value", "struct"}))
            m_members = &m_faultMembers;
        else if (PathIs({"methodResponse", "params", "param", "value", "struct"}))
            m_members = &m_resultMembers;
        if (m_members) {
            m_memberDepth = m_path.size();
            m_strName.clear();
            m_strPlainValue.clear();
            m_strTypedValue.clear();
            m_bTyped = false;
        }
    } else if (m_memberDepth != 0 && m_path.size() == m_memberDepth + 2
        && m_path.back() == "value") {
        m_bTyped = true;
    }
    if (m_path.size() == 1) {
        m_bFault = m_bFault || std::strcmp(name, "fault") == 0;
        m_bJunk = m_bJunk || ++m_bodyElements > 1
            || (std::strcmp(name, "params") != 0 && std::strcmp(name, "fault") != 0);
    } else if (PathIs({"methodResponse", "params"})) {
        m_bJunk = m_bJunk || ++m_params > 1 || std::strcmp(name, "param") != 0;
    } else if (PathIs({"methodResponse", "params", "param"})
        || PathIs({"methodResponse", "fault"})) {
        m_bJunk = m_bJunk || ++m_values > 1 || std::strcmp(name, "value") != 0;
    }
    m_path.emplace_back(name);
}

bool CAnswerReader::IsWellFormedAnswer() const
{
    return !m_bJunk && m_bodyElements == 1 && m_values == 1 && (m_bFault || m_params == 1);
}

void CAnswerReader::End()
{
    m_path.pop_back();
    if (m_memberDepth != 0 && m_path.size() == m_memberDepth) {
        // A struct that names a member twice keeps the first.
        m_members->emplace(m_strName, m_bTyped ? m_strTypedValue : m_strPlainValue);
        m_memberDepth = 0;
        m_members = nullptr;
    }
}

void CAnswerReader::Text(const char* text, int length)
{
    // Only blanks may stand between the elements of the answer's structure.
    if (PathIs({"methodResponse"}) || PathIs({"methodResponse", "params"})
        || PathIs({"methodResponse", "params", "param"}) || PathIs({"methodResponse", "fault"})) {
        for (int i = 0; i < length; ++i) {
            if (std::strchr(" \t\r\n", text[i]) == nullptr)
                m_bJunk = true;
        }
        return;
    }
    // Text straight inside the member's name or value, or inside the value's type element.
    const std::size_t below = m_memberDepth == 0 ? 0 : m_path.size() - m_memberDepth;
    if (below != 2 && below != 3)
        return;
    const std::string& part = m_path[m_memberDepth + 1];
    if (below == 2 && part == "name")
        m_strName.append(text, static_cast<std::size_t>(length));
    else if (below == 2 && part == "value")
        m_strPlainValue.append(text, static_cast<std::size_t>(length));
    else if (below == 3 && part == "value")
        m_strTypedValue.append(text, static_cast<std::size_t>(length));
}

std::string trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// A boolean, int or untyped flag: only 0 and "false" say no, any other word says yes.
bool isFalse(const std::string& flag)
{
    const std::string word = trimmed(flag);
    return word == "0" || word == "false";
}

std::string memberOf(const Members& members, const char* name)
{
    const auto member = members.find(name);
    return member == members.end() ? std::string() : member->second;
}

} // namespace

CXmlRpcVerdict JudgeXmlRpcAnswer(std::string_view body, const std::string& charset)
{
    CXmlRpcVerdict verdict;
    verdict.m_message = CText(QT_TRANSLATE_NOOP("Quillpost", "Not an XML-RPC answer"));
    if (body.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return verdict;
    // Given to expat, an encoding overrides the declaration's; it is given only without one.
    const bool useCharset = !charset.empty() && !CDeclarationProbe::DeclaresEncoding(body);
    const ParserPtr parser(
        XML_ParserCreate(useCharset ? charset.c_str() : nullptr), XML_ParserFree);
    if (!parser)
        return verdict;
    CAnswerReader reader(parser.get());
    const auto status
        = XML_Parse(parser.get(), body.data(), static_cast<int>(body.size()), XML_TRUE);
    if (status != XML_STATUS_OK || reader.m_bRefused || !reader.m_bRootSeen
        || !reader.IsWellFormedAnswer())
        return verdict;

    if (reader.m_bFault) {
        verdict.m_bFault = true;
        const std::string code = trimmed(memberOf(reader.m_faultMembers, "faultCode"));
        const std::string text = memberOf(reader.m_faultMembers, "faultString");
        // Either member may be missing; what is there is shown without a gap for the other.
        if (trimmed(text).empty())
            verdict.m_message = code.empty()
                //: An XML-RPC fault with neither code nor text
                ? CText(QT_TRANSLATE_NOOP("Quillpost", "Fault"))
                //: An XML-RPC fault without a text: "Fault 4"
                : CText(QT_TRANSLATE_NOOP("Quillpost", "Fault %1"), {code});
        else
            verdict.m_message = code.empty()
                //: An XML-RPC fault without a code: "Fault: Bad request"
                ? CText(QT_TRANSLATE_NOOP("Quillpost", "Fault: %1"), {text})
                : CText(QT_TRANSLATE_NOOP("Quillpost", "Fault %1: %2"), {code, text});
        return verdict;
    }
    const auto message = reader.m_resultMembers.find("message");
    const auto flag = reader.m_resultMembers.find("flerror");
    verdict.m_bSuccess = flag == reader.m_resultMembers.end() || isFalse(flag->second);
    if (message != reader.m_resultMembers.end())
        verdict.m_message = CText::Verbatim(message->second);
    else if (verdict.m_bSuccess)
        verdict.m_message = CText();
    else
        verdict.m_message = CText(QT_TRANSLATE_NOOP("Quillpost", "The service reported an error"));
    return verdict;
}
