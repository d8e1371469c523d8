#include "data/XmlCheck.h"

#include "core/text/XmlChars.h"
#include "data/TextEncoding.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace {

using XmlCheck::Encoding;

struct CState
{
    XML_Parser m_parser = nullptr;
    bool m_bByteOrderMark = false;
    // Why a handler stopped the parser.
    std::string m_strReason;
    Encoding m_encoding = Encoding::Detected;
};

void Stop(CState& state, std::string reason)
{
    state.m_strReason = std::move(reason);
    XML_StopParser(state.m_parser, XML_FALSE);
}

void XMLCALL OnDoctype(
    void* data, const XML_Char*, const XML_Char* systemId, const XML_Char* publicId, int subset)
{
    auto& state = *static_cast<CState*>(data);
    // Entities could expand without end or name other files; the list needs none.
    if (subset)
        Stop(state, "declarations in the document type (entities and the like) are not supported");
    else if (systemId || publicId)
        Stop(state, "a document type that refers to another file is not supported");
}

int XMLCALL OnUnknownEncoding(void* data, const XML_Char* name, XML_Encoding* info)
{
    auto& state = *static_cast<CState*>(data);
    const std::string lower = TextEncoding::Lower(name);
    if (lower == "windows-1252" || lower == "cp1252")
        state.m_encoding = Encoding::Windows1252;
    else if (lower == "latin1" || lower == "latin-1" || lower == "iso8859-1"
        || lower == "iso_8859-1")
        state.m_encoding = Encoding::Latin1;
    // A byte order mark says the text is Unicode; it cannot be read as a single-byte one.
    if (state.m_encoding == Encoding::Detected || state.m_bByteOrderMark) {
        state.m_encoding = Encoding::Detected;
        state.m_strReason
            = "unsupported encoding \"" + ToXmlChars(std::string(name).substr(0, 40)) + "\"";
        return XML_STATUS_ERROR;
    }
    for (int c = 0; c < 256; ++c)
        info->map[c] = state.m_encoding == Encoding::Windows1252
            ? TextEncoding::Windows1252ToUnicode(static_cast<unsigned char>(c))
            : c;
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    return XML_STATUS_OK;
}

} // namespace

namespace XmlCheck {

CResult Check(std::string_view bytes)
{
    CResult result;
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        result.m_strFault = "the text is too long";
        return result;
    }
    const std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(
        XML_ParserCreate(nullptr), &XML_ParserFree);
    if (!parser) {
        result.m_strFault = "out of memory";
        return result;
    }
    CState state;
    state.m_parser = parser.get();
    state.m_bByteOrderMark = bytes.substr(0, 3) == "\xEF\xBB\xBF"
        || bytes.substr(0, 2) == "\xFE\xFF" || bytes.substr(0, 2) == "\xFF\xFE";
    XML_SetUserData(parser.get(), &state);
    XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
    XML_SetUnknownEncodingHandler(parser.get(), OnUnknownEncoding, &state);

    if (XML_Parse(parser.get(), bytes.data(), static_cast<int>(bytes.size()), XML_TRUE)
        == XML_STATUS_ERROR) {
        const XML_Error error = XML_GetErrorCode(parser.get());
        if (!state.m_strReason.empty())
            result.m_strFault = state.m_strReason;
        else if (error == XML_ERROR_INVALID_TOKEN) // "not well-formed (invalid token)"
            result.m_strFault = "not well-formed XML: invalid token";
        else
            result.m_strFault = std::string("not well-formed XML: ") + XML_ErrorString(error);
        result.m_strFault += " at line " + std::to_string(XML_GetCurrentLineNumber(parser.get()))
            + ", column " + std::to_string(XML_GetCurrentColumnNumber(parser.get()) + 1);
        return result;
    }
    result.m_encoding = state.m_encoding;
    return result;
}

} // namespace XmlCheck
