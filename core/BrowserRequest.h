#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct CBrowserPost;

// One browser-window POST as the browser helper program receives it on its standard input.
//
// The frame is a line "quillpost-browser-request 1", then "url <n>", one "header <n> <m>"
// for each header field and "body <n>", each line ended by a line feed and followed by
// exactly the bytes it counts (name and value together for a header field). Counts are
// decimal. Nothing follows the body. Every byte value may appear in the counted parts.
//
// The helper answers with the line "shown <process id>" on its standard output once its
// window is up. When it gives up instead, the last line of its standard error that starts
// with ReasonPrefix says why.
struct CBrowserRequest
{
    using Header = std::pair<std::string, std::string>;

    static constexpr char ShownReply[] = "shown";
    static constexpr char ReasonPrefix[] = "quillpost-browser: ";

    std::string m_strUrl;
    std::vector<Header> m_headers;
    std::string m_body;

    // The post's header lines ("Name: value", ended by CR LF or LF) become name and value
    // pairs, trimmed of spaces and tabs; a line without a name is dropped.
    static CBrowserRequest FromPost(const CBrowserPost& post);

    std::string Frame() const;

    // Reads one frame up to the end of the input. Truncated or malformed input gives no
    // request and a one-line reason in error.
    static std::optional<CBrowserRequest> Read(std::istream& in, std::string& error);

    bool operator==(const CBrowserRequest& other) const;
};
