#pragma once

#include <string>
#include <string_view>

// The ASCII rules protocol texts (HTTP headers, robots.txt, HTML attributes) go by, whatever
// bytes are around them.

// Blanks (space, tab, line ends, form feed) around a value are no part of it.
bool IsBlank(char ch);
std::string_view TrimmedBlanks(std::string_view text);
// Equal to a text in lower case, ASCII letters in any case.
bool EqualsNoCase(std::string_view text, std::string_view lower);
std::string LowerAscii(std::string_view text);
