// The frame that carries a Submit's request to the browser helper program.
#include "core/BrowserRequest.h"
#include "core/BrowserLauncher.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

std::string EveryByte()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes.push_back(static_cast<char>(i));
    return bytes;
}

std::optional<CBrowserRequest> ReadFrame(const std::string& frame, std::string& error)
{
    std::istringstream in(frame);
    return CBrowserRequest::Read(in, error);
}

void ExpectRoundTrip(const CBrowserRequest& request)
{
    std::string error;
    const std::optional<CBrowserRequest> back = ReadFrame(request.Frame(), error);
    ASSERT_TRUE(back) << error;
    EXPECT_TRUE(*back == request);
}

CBrowserRequest Sample()
{
    CBrowserRequest request;
    request.m_strUrl = "http://127.0.0.1:8080/cgi/submit?u=1";
    request.m_headers = {{"Content-Type", "application/x-www-form-urlencoded"}};
    request.m_body = "a=1&b=x%20y";
    return request;
}

} // namespace

TEST(BrowserRequest, CarriesEveryByteValueInEveryPart)
{
    CBrowserRequest request;
    request.m_strUrl = EveryByte();
    request.m_headers = {{EveryByte(), EveryByte()}, {"", ""}, {"X-Empty", ""}};
    request.m_body = EveryByte() + EveryByte();
    ExpectRoundTrip(request);
}

TEST(BrowserRequest, EmptyAndLargeBodies)
{
    CBrowserRequest empty = Sample();
    empty.m_body.clear();
    empty.m_headers.clear();
    ExpectRoundTrip(empty);

    CBrowserRequest large = Sample();
    large.m_body.resize(1024 * 1024);
    for (std::size_t i = 0; i < large.m_body.size(); ++i)
        large.m_body[i] = static_cast<char>((i * 7919) >> 3);
    ExpectRoundTrip(large);
}

// Submit hands over header lines; the helper wants names and values.
TEST(BrowserRequest, HeaderLinesBecomePairs)
{
    CBrowserPost post;
    post.m_strUrl = "https://forms.example/";
    post.m_postData = std::string("n\0m=v", 5);
    post.m_strHeaders = "Content-Type: application/x-www-form-urlencoded\r\n"
                        "X-Plain:\tno space \n"
                        "no colon here\r\n"
                        ": no name\r\n"
                        "X-Last: ends without a line feed";
    const CBrowserRequest request = CBrowserRequest::FromPost(post);
    EXPECT_EQ(request.m_strUrl, post.m_strUrl);
    EXPECT_EQ(request.m_body, post.m_postData);
    const std::vector<CBrowserRequest::Header> expected = {
        {"Content-Type", "application/x-www-form-urlencoded"},
        {"X-Plain", "no space"},
        {"X-Last", "ends without a line feed"},
    };
    EXPECT_EQ(request.m_headers, expected);
}

// Whatever the helper is handed, it ends reading with an answer, never waits for more.
TEST(BrowserRequest, RefusesTruncatedAndMalformedInput)
{
    const std::string frame = Sample().Frame();
    std::string error;
    for (std::size_t length = 0; length < frame.size(); ++length) {
        error.clear();
        EXPECT_FALSE(ReadFrame(frame.substr(0, length), error)) << length;
        EXPECT_FALSE(error.empty()) << length;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }

    const std::string magic = "quillpost-browser-request 1\n";
    const struct
    {
        const char* name;
        std::string input;
    } bad[] = {
        {"not a request", "GET / HTTP/1.1\r\n\r\n"},
        {"other version", "quillpost-browser-request 2\nurl 0\nbody 0\n"},
        {"body before url", magic + "body 0\n"},
        {"two urls", magic + "url 0\nurl 0\nbody 0\n"},
        {"header before url", magic + "header 1 1\nab" + "url 0\nbody 0\n"},
        {"unknown keyword", magic + "url 0\ncookie 1\nx" + "body 0\n"},
        {"signed count", magic + "url +1\nx" + "body 0\n"},
        {"negative count", magic + "url -1\nbody 0\n"},
        {"count with letters", magic + "url 1x\nxbody 0\n"},
        {"missing count", magic + "url\nbody 0\n"},
        {"header with one count", magic + "url 0\nheader 2\nab" + "body 0\n"},
        {"double space", magic + "url  0\nbody 0\n"},
        {"huge count", magic + "url 0\nbody 99999999999\n"},
        {"count beyond the input", magic + "url 0\nbody 1000000\nabc"},
        {"overlong line", magic + std::string(100, 'u') + "\n"},
        {"bytes after body", magic + "url 0\nbody 1\nab"},
    };
    for (const auto& row : bad) {
        error.clear();
        EXPECT_FALSE(ReadFrame(row.input, error)) << row.name;
        EXPECT_FALSE(error.empty()) << row.name;
    }
}
