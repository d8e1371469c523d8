#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The data file is UTF-8 holding only characters XML 1.0 allows: no NUL, no control
// character but TAB, LF and CR, no U+FFFE or U+FFFF. Both functions treat any other
// one like a malformed sequence.

// Byte offset of the first malformed sequence or disallowed character in text, or npos
// when there is none.
std::size_t FindBadXmlChar(std::string_view text);

// text with every malformed sequence and disallowed character replaced by U+FFFD.
std::string ToXmlChars(std::string_view text);
