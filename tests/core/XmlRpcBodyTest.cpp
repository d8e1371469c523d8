#include "core/post/XmlRpcBody.h"

#include "BodyOrReason.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

const std::string Head = "<?xml version=\"1.0\"?>\n<methodCall><methodName>";

std::string build(const TestParams& params)
{
    return BodyOrReason(BuildXmlRpcBody, params);
}

} // namespace

TEST(XmlRpcBody, ExactCalls)
{
    EXPECT_EQ(build({{"Site name", "My Site"}, {"Site URL", "https://www.example.com/"}}),
        Head
            + "weblogUpdates.ping</methodName><params>"
              "<param><value><string>My Site</string></value></param>"
              "<param><value><string>https://www.example.com/</string></value></param>"
              "</params></methodCall>");
    EXPECT_EQ(build({}), Head + "weblogUpdates.ping</methodName><params></params></methodCall>");
    // The first methodName, wherever it stands, names the method; later ones are params.
    EXPECT_EQ(build({{"Site", "A"}, {"methodName", "a_Z.9:x/y"}, {"methodName", "B"}}),
        Head
            + "a_Z.9:x/y</methodName><params><param><value><string>A</string></value></param>"
              "<param><value><string>B</string></value></param></params></methodCall>");
}

TEST(XmlRpcBody, EscapesTextAndKeepsEveryXmlCharacter)
{
    const std::pair<std::string, std::string> rows[] = {
        {"a&b<c>d ]]> &amp; \"it's\"", "a&amp;b&lt;c&gt;d ]]&gt; &amp;amp; \"it's\""},
        // A raw CR would come back as LF from any reader.
        {"a\r\nb\tc\n", "a&#xD;\nb\tc\n"},
        {"caf\xC3\xA9 \x7F \xEE\x80\x80 \xEF\xBF\xBD \xF4\x8F\xBF\xBF",
            "caf\xC3\xA9 \x7F \xEE\x80\x80 \xEF\xBF\xBD \xF4\x8F\xBF\xBF"},
    };
    for (const auto& [value, escaped] : rows) {
        EXPECT_EQ(build({{"v", value}}),
            Head + "weblogUpdates.ping</methodName><params><param><value><string>" + escaped
                + "</string></value></param></params></methodCall>");
    }
}

TEST(XmlRpcBody, RefusesWhatXmlCannotHold)
{
    // NUL and other controls, U+FFFE, U+FFFF, lone surrogates, Latin-1, an overlong "/", a
    // sequence cut short, beyond U+10FFFF.
    for (const std::string& value :
        {"a\0b"s, "\x01"s, "esc\x1B[0m"s, "\xEF\xBF\xBE"s, "\xEF\xBF\xBF"s, "\xED\xA0\x80"s,
            "\xED\xBF\xBF"s, "caf\xE9"s, "\xC0\xAF"s, "\xE2\x82"s, "\xF4\x90\x80\x80"s}) {
        EXPECT_EQ(build({{"Fine", "ok"}, {"Bad one", value}}),
            "refused: The value of \xE2\x80\x9C"
            "Bad one\xE2\x80\x9D cannot be sent in an "
            "XML-RPC call");
    }
    for (const std::string& name :
        {""s, "weblogUpdates ping"s, "ping<x>"s, "p\xC3\xAFng"s, "ping\0"s, "ping\n"s}) {
        EXPECT_NE(
            build({{"methodName", name}}).find("not an XML-RPC method name"), std::string::npos);
    }
}
