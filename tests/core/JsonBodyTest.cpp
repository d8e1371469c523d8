#include "core/post/JsonBody.h"

#include "BodyOrReason.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string build(const TestParams& params)
{
    return BodyOrReason(BuildJsonBody, params);
}

} // namespace

TEST(JsonBody, ExactBodies)
{
    EXPECT_EQ(build({}), "{}");
    EXPECT_EQ(build({{"host", "www.example.com"}, {"key", "0123abcd"},
                  {"urlList[]", "https://www.example.com/a"},
                  {"urlList[]", "https://www.example.com/b"}}),
        R"({"host":"www.example.com","key":"0123abcd","urlList":)"
        R"(["https://www.example.com/a","https://www.example.com/b"]})");
    // An array stands where its first name does; brackets inside a name are plain.
    EXPECT_EQ(build({{"urlList[]", "u1"}, {"a", "1"}, {"urlList[]", "u2"}, {"x[]y", "2"}}),
        R"({"urlList":["u1","u2"],"a":"1","x[]y":"2"})");
    EXPECT_EQ(build({{"q\"", "say \"hi\"\\ \n\t\x01 caf\xC3\xA9 \xF0\x9F\x98\x80 </"}}),
        "{\"q\\\"\":\"say \\\"hi\\\"\\\\ \\n\\t\\u0001 caf\xC3\xA9 \xF0\x9F\x98\x80 </\"}");
    // Escapes at either end of a text; hex in lower case; DEL is not a control character here.
    EXPECT_EQ(build({{"\b", "\f\r\x1F\x7F\\"}, {"a[]", "\""}}),
        R"({"\b":"\f\r\u001f)"
        "\x7F"
        R"(\\","a":["\""]})");
}

TEST(JsonBody, RefusalsNameTheParameter)
{
    const std::string twice = "\xE2\x80\x9D is given more than once, which a JSON body cannot hold";
    const std::string notUtf8 = "\xE2\x80\x9D cannot be sent in a JSON body: it is not UTF-8 text";
    const std::pair<TestParams, std::string> rows[] = {
        {{{"a", "1"}, {"b", "2"}, {"a", "3"}}, "a" + twice},
        {{{"urlList", "x"}, {"urlList[]", "y"}}, "urlList" + twice},
        {{{"urlList[]", "x"}, {"urlList", "y"}}, "urlList" + twice},
        {{{"ok", "1"}, {"key", "caf\xE9"}}, "key" + notUtf8},
        {{{"key", "\xED\xA0\x80"}}, "key" + notUtf8},
        {{{"url", "https://www.example.com/caf\xE9/"}}, "url" + notUtf8},
        {{{"k\xFF", "v"}}, "k\xEF\xBF\xBD" + notUtf8},
        {{{"list\xC3[]", "v"}}, "list\xEF\xBF\xBD[]" + notUtf8},
        // The first fault in list order, whatever comes after it.
        {{{"a", "caf\xE9"}, {"b", "1"}, {"b", "2"}}, "a" + notUtf8},
        {{{"a", "1"}, {"a", "caf\xE9"}}, "a" + notUtf8},
        {{{"urlList[]", "ok"}, {"urlList[]", "\xFF"}}, "urlList[]" + notUtf8},
        {{{"l[]", "ok"}, {"a", "1"}, {"a", "2"}, {"l[]", "\xFF"}}, "a" + twice},
    };
    for (const auto& [params, reason] : rows)
        EXPECT_EQ(build(params), "refused: \xE2\x80\x9C" + reason);
}
