#pragma once

#include <string>
#include <string_view>

// The one encoding of data files that neither expat nor pugixml reads by itself:
// windows-1252, which hand-edited files often declare.
namespace TextEncoding {

// ASCII letters only: encoding names are ASCII.
std::string Lower(std::string_view text);

// The character windows-1252 gives byte; -1 for the five bytes it leaves undefined.
int Windows1252ToUnicode(unsigned char byte);

// windows-1252 text as UTF-8; an undefined byte becomes U+FFFD.
std::string Windows1252ToUtf8(std::string_view in);

} // namespace TextEncoding
