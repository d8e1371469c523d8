#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What turns a data file in another encoding into the UTF-8 every check and pugixml
// reads: UTF-16 after a byte order mark, or a single-byte encoding its declaration names.
namespace TextEncoding {

// ASCII letters only: encoding names and the declaration's target are ASCII.
std::string Lower(std::string_view text);

// Inline: the markup scan asks this of nearly every byte.
inline bool IsXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// UTF-16 after its byte order mark, as UTF-8. False on a lone surrogate, a NUL or an odd
// length, with the byte offset of the fault.
bool Utf16ToUtf8(std::string_view in, bool bigEndian, std::string& out, std::size_t& badOffset);

// The encoding named by a declaration at the start of bytes, as written; empty when none.
std::string DeclaredEncoding(std::string_view bytes);

// A single-byte text as UTF-8; false with the offset of a byte windows-1252 leaves undefined.
bool SingleByteToUtf8(
    std::string_view in, bool windows1252, std::string& out, std::size_t& badOffset);

} // namespace TextEncoding
