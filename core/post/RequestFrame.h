#pragma once

#include "core/post/PostRequest.h"

#include <iosfwd>
#include <optional>
#include <string>

// A post as the browser helper program receives it on its standard input.
//
// The frame is a line "quillpost-browser-request 2", then a line of three decimal counts
// apart by one space, each line ended by a line feed; then exactly the bytes they count: the
// address as libcurl gives it back, the content type and the body. Nothing follows the body.
// Every byte value may appear in the counted parts. The address is read again on the other
// side, as CAddress reads it; one that is not valid is the helper's to refuse.
//
// The helper answers with the line "shown <process id>" on its standard output once its
// window is up. When it gives up instead, the last line of its standard error that starts
// with ReasonPrefix says why.
namespace RequestFrame {

constexpr char ShownReply[] = "shown";
constexpr char ReasonPrefix[] = "quillpost-browser: ";

std::string Write(const CPostRequest& request);

// Reads one frame up to the end of the input. Truncated or malformed input gives no
// request and a one-line reason in error.
std::optional<CPostRequest> Read(std::istream& in, std::string& error);

} // namespace RequestFrame
