#pragma once

#include <string>
#include <string_view>

// The strict check a document's bytes pass before pugixml, which does not check
// well-formedness, builds the document from them. expat reads the bytes whole in the
// encoding they declare; a document type with declarations or a reference to another file
// is refused before anything in it is expanded or fetched.
namespace XmlCheck {

// How pugixml is to read bytes that passed, where its own detection would read them
// otherwise: it knows Latin-1 by two of its names only, and windows-1252 not at all.
enum class Encoding
{
    Detected,
    Latin1,
    Windows1252,
};

struct CResult
{
    // Empty when the bytes are a well-formed document; else why not, with the line and
    // column.
    std::string m_strFault;
    Encoding m_encoding = Encoding::Detected;
};

CResult Check(std::string_view bytes);

} // namespace XmlCheck
