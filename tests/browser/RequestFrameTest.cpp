// The frame that carries a Submit's request to the browser helper program.
#include "core/RequestFrame.h"

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

std::optional<CPostRequest> ReadFrame(const std::string& frame, std::string& error)
{
    std::istringstream in(frame);
    return RequestFrame::Read(in, error);
}

void ExpectRoundTrip(const CPostRequest& request)
{
    std::string error;
    const std::optional<CPostRequest> back = ReadFrame(RequestFrame::Write(request), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->m_strUrl, request.m_strUrl);
    EXPECT_EQ(back->m_strContentType, request.m_strContentType);
    EXPECT_EQ(back->m_body, request.m_body);
}

CPostRequest Sample()
{
    CPostRequest request;
    request.m_strUrl = "http://127.0.0.1:8080/cgi/submit?u=1";
    request.m_body = "a=1&b=x%20y";
    return request;
}

} // namespace

TEST(RequestFrame, CarriesEveryByteValueInEveryPart)
{
    CPostRequest request;
    request.m_strUrl = EveryByte();
    request.m_strContentType = EveryByte();
    request.m_body = EveryByte() + EveryByte();
    ExpectRoundTrip(request);
}

TEST(RequestFrame, EmptyAndLargeParts)
{
    CPostRequest empty = Sample();
    empty.m_body.clear();
    empty.m_strContentType.clear();
    ExpectRoundTrip(empty);

    CPostRequest large = Sample();
    large.m_body.resize(1024 * 1024);
    for (std::size_t i = 0; i < large.m_body.size(); ++i)
        large.m_body[i] = static_cast<char>((i * 7919) >> 3);
    ExpectRoundTrip(large);
}

// Whatever the helper is handed, it ends reading with an answer, never waits for more.
TEST(RequestFrame, RefusesTruncatedAndMalformedInput)
{
    const std::string frame = RequestFrame::Write(Sample());
    std::string error;
    for (std::size_t length = 0; length < frame.size(); ++length) {
        error.clear();
        EXPECT_FALSE(ReadFrame(frame.substr(0, length), error)) << length;
        EXPECT_FALSE(error.empty()) << length;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }

    const std::string magic = "quillpost-browser-request 2\n";
    const struct
    {
        const char* name;
        std::string input;
    } bad[] = {
        {"not a request", "GET / HTTP/1.1\r\n\r\n"},
        {"other version", "quillpost-browser-request 1\nurl 0\ntype 0\nbody 0\n"},
        {"body before url", magic + "body 0\n"},
        {"two urls", magic + "url 0\nurl 0\ntype 0\nbody 0\n"},
        {"type before url", magic + "type 1\nx" + "url 0\nbody 0\n"},
        {"no type", magic + "url 0\nbody 0\n"},
        {"unknown keyword", magic + "url 0\ncookie 1\nx" + "type 0\nbody 0\n"},
        {"signed count", magic + "url +1\nx" + "type 0\nbody 0\n"},
        {"negative count", magic + "url -1\ntype 0\nbody 0\n"},
        {"count with letters", magic + "url 1x\nxtype 0\nbody 0\n"},
        {"missing count", magic + "url\ntype 0\nbody 0\n"},
        {"two counts", magic + "url 0\ntype 1 1\nab" + "body 0\n"},
        {"double space", magic + "url  0\ntype 0\nbody 0\n"},
        {"huge count", magic + "url 0\ntype 0\nbody 99999999999\n"},
        {"count beyond the input", magic + "url 0\ntype 0\nbody 1000000\nabc"},
        {"overlong line", magic + std::string(100, 'u') + "\n"},
        {"bytes after body", magic + "url 0\ntype 0\nbody 1\nab"},
    };
    for (const auto& row : bad) {
        error.clear();
        EXPECT_FALSE(ReadFrame(row.input, error)) << row.name;
        EXPECT_FALSE(error.empty()) << row.name;
    }
}
