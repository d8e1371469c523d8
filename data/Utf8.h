#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The data file is UTF-8 and XML allows no NUL character, so both checks treat a NUL
// byte like a malformed sequence.

// Byte offset of the first malformed sequence or NUL in text, or npos when there is none.
std::size_t FindInvalidUtf8(std::string_view text);

// text with every malformed sequence and NUL replaced by U+FFFD.
std::string ToValidUtf8(std::string_view text);
