#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The characters XML 1.0 allows: no NUL, no control character but TAB, LF and CR, no
// surrogate, no U+FFFE or U+FFFF. The data file and the XML-RPC body hold only these, as
// UTF-8; the functions on text treat any other one like a malformed sequence.

bool IsXmlChar(char32_t c);

// Byte offset of the first malformed sequence or disallowed character in text, or npos
// when there is none.
std::size_t FindBadXmlChar(std::string_view text);

// text with every malformed sequence and disallowed character replaced by U+FFFD.
std::string ToXmlChars(std::string_view text);
