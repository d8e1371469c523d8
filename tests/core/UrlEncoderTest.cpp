#include "core/post/UrlEncoder.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The expectation is written from the other side: the 69 bytes that pass, and the
// printf spelling of an escape, rather than the escape set the encoder is built from.
std::string expectedFor(unsigned char byte)
{
    static const std::string passing = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                       "abcdefghijklmnopqrstuvwxyz"
                                       "0123456789"
                                       "'()*-._";
    if (passing.find(static_cast<char>(byte)) != std::string::npos)
        return std::string(1, static_cast<char>(byte));
    char escape[4];
    std::snprintf(escape, sizeof escape, "%%%02X", byte);
    return escape;
}

} // namespace

TEST(UrlEncoder, EveryByteValue)
{
    const CUrlEncoder encoder;
    int passing = 0;
    for (int i = 0; i < 256; ++i) {
        const auto byte = static_cast<unsigned char>(i);
        const char c = static_cast<char>(byte);
        const std::string expected = expectedFor(byte);
        SCOPED_TRACE(i);
        EXPECT_EQ(encoder.Encode(std::string(1, c)), expected);
        EXPECT_EQ(CUrlEncoder::NeedsEscape(c), expected.size() == 3);
        // Any byte escaped, whether or not it needs to be, against printf's spelling.
        char escape[4];
        std::snprintf(escape, sizeof escape, "%%%02X", byte);
        EXPECT_EQ(CUrlEncoder::EscapeChar(c), escape);
        passing += expected.size() == 1 ? 1 : 0;
    }
    EXPECT_EQ(passing, 69);

    std::string all;
    std::string allExpected;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
        allExpected += expectedFor(static_cast<unsigned char>(i));
    }
    EXPECT_EQ(encoder.Encode(all), allExpected) << "a NUL byte must not end the text";
}

struct EncodeCase
{
    const char* name;
    std::string input;
    std::string expected;
};

class UrlEncoderExamples : public testing::TestWithParam<EncodeCase>
{
};

TEST_P(UrlEncoderExamples, Encode)
{
    EXPECT_EQ(CUrlEncoder().Encode(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, UrlEncoderExamples,
    testing::Values(EncodeCase{"empty", "", ""},
        EncodeCase{"blank", "hello world", "hello%20world"},
        EncodeCase{"reserved", "a+b=c&d", "a%2Bb%3Dc%26d"},
        EncodeCase{"percent", "50% off!", "50%25%20off%21"},
        EncodeCase{"tilde", "~user", "%7Euser"},
        EncodeCase{"punctuationKept", "it's (ok)*", "it's%20(ok)*"},
        EncodeCase{"unreserved", "A-Z_a.z", "A-Z_a.z"},
        EncodeCase{"lineBreaks", "one\r\ntwo\tthree", "one%0D%0Atwo%09three"},
        EncodeCase{"braces", "{|}", "%7B%7C%7D"}, EncodeCase{"escapedTwice", "%20", "%2520"},
        EncodeCase{"latin1", "caf\xE9", "caf%E9"}, EncodeCase{"utf8", "caf\xC3\xA9", "caf%C3%A9"},
        EncodeCase{"url", "http://www.site.example/?q=1#x",
            "http%3A%2F%2Fwww.site.example%2F%3Fq%3D1%23x"}),
    [](const testing::TestParamInfo<EncodeCase>& info) { return info.param.name; });

TEST(UrlEncoder, HexIsTwoUpperCaseDigits)
{
    EXPECT_EQ(CUrlEncoder::ToHex('\x0A'), "0A");
    EXPECT_EQ(CUrlEncoder::ToHex('\x3F'), "3F");
    EXPECT_EQ(CUrlEncoder::ToHex('\xE9'), "E9");
    EXPECT_EQ(CUrlEncoder::ToHex('\0'), "00");
}

TEST(UrlEncoder, AppendKeepsWhatIsThere)
{
    std::string out = "x=";
    CUrlEncoder().AppendEncoded(out, "a b");
    EXPECT_EQ(out, "x=a%20b");
}

// The key file's address was escaped by libcurl before; it must stay the same to the byte,
// for every byte, a NUL aside, which libcurl cannot be handed.
TEST(UrlEncoder, PathStyleEscapesAsLibcurlDoes)
{
    const CUrlEncoder encoder(CUrlEncoder::Style::Path);
    const auto viaLibcurl = [](const std::string& path) {
        CURLU* url = curl_url();
        char* text = nullptr;
        std::string escaped;
        if (url && curl_url_set(url, CURLUPART_URL, "http://h.example/", 0) == CURLUE_OK
            && curl_url_set(url, CURLUPART_PATH, path.c_str(), CURLU_URLENCODE) == CURLUE_OK
            && curl_url_get(url, CURLUPART_PATH, &text, 0) == CURLUE_OK)
            escaped = text;
        curl_free(text);
        curl_url_cleanup(url);
        return escaped;
    };
    for (int i = 1; i < 256; ++i) {
        const std::string path = "/k" + std::string(1, static_cast<char>(i)) + ".txt";
        SCOPED_TRACE(i);
        EXPECT_EQ(encoder.Encode(path), viaLibcurl(path));
    }
    EXPECT_EQ(encoder.Encode(std::string("a\0b", 3)), "a%00b");
}
