#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Strict UTF-8, as JSON and XML readers take it: no overlong forms, no surrogates, nothing
// beyond U+10FFFF, no sequence cut short.

// Decodes the character at pos and moves pos past it; on a sequence strict UTF-8 does not
// allow, returns false and leaves pos where it was.
bool DecodeUtf8(std::string_view text, std::size_t& pos, char32_t& codePoint);
bool IsUtf8(std::string_view text);
// The first count characters of text; a byte that does not begin a valid one counts as one
// character of its own, so nothing is cut in two.
std::string_view FirstCharacters(std::string_view text, std::size_t count);
// The text with every byte that is not part of a valid character shown as U+FFFD, so that a
// reason naming a broken value can still be shown and printed.
std::string ShownUtf8(std::string_view text);
