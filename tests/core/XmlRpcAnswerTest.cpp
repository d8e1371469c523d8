#include "core/post/XmlRpcAnswer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string Declaration = "<?xml version=\"1.0\"?>\n";

std::string member(const std::string& name, const std::string& value)
{
    return "<member><name>" + name + "</name><value>" + value + "</value></member>";
}

std::string response(const std::string& members)
{
    return "<methodResponse><params><param><value><struct>" + members
        + "</struct></value></param></params></methodResponse>";
}

std::string fault(const std::string& code, const std::string& text)
{
    return "<methodResponse><fault><value><struct>" + member("faultCode", code)
        + member("faultString", text) + "</struct></value></fault></methodResponse>";
}

// Each entity ten times the one before: a million "ha" if anything expanded them.
std::string laughs()
{
    std::string doctype = "<!DOCTYPE methodResponse [<!ENTITY e0 \"ha\">";
    for (char level = '1'; level <= '6'; ++level) {
        doctype += std::string("<!ENTITY e") + level + " \"";
        for (int i = 0; i < 10; ++i)
            doctype += std::string("&e") + static_cast<char>(level - 1) + ';';
        doctype += "\">";
    }
    return Declaration + doctype + "]>" + response(member("message", "&e6;"));
}

} // namespace

TEST(XmlRpcAnswer, Verdicts)
{
    const std::string thanks = member("message", "Thanks for the ping.");
    const std::string error = "The service reported an error";
    const std::string notAnswer = "Not an XML-RPC answer";
    const struct
    {
        const char* name;
        std::string body;
        bool success;
        std::string message;
        // The service's own words rather than one of the program's texts.
        bool verbatim;
    } rows[] = {
        {"booleanZero", Declaration + response(member("flerror", "<boolean>0</boolean>") + thanks),
            true, "Thanks for the ping.", true},
        {"intZero", response(member("flerror", "<int>0</int>")), true, "", false},
        {"i4Zero", response(member("flerror", "<i4> 0 </i4>")), true, "", false},
        {"untypedFalse", response(thanks + member("flerror", "false")), true,
            "Thanks for the ping.", true},
        {"flagAbsent", response(thanks), true, "Thanks for the ping.", true},
        {"booleanOne",
            response(member("flerror", "<boolean>1</boolean>")
                + member("message", "<string>Bad URL</string>")),
            false, "Bad URL", true},
        {"untypedTrue", response(member("flerror", "true")), false, error, false},
        {"nestedFlagIgnored",
            response(member("x", "<struct>" + member("flerror", "1") + "</struct>")), true, "",
            false},
        {"messageRaw", response(member("message", " Two\nlines &amp; caf&#233; &lt;ok&gt; ")), true,
            " Two\nlines & caf\xC3\xA9 <ok> ", true},
        {"typedMessageInBlanks", response(member("message", "\n  <string>Hi</string>\n")), true,
            "Hi", true},
        {"faultInt", fault("<int>4</int>", "<string>Too many parameters</string>"), false,
            "Fault 4: Too many parameters", false},
        {"faultI4", fault("<i4>-32601</i4>", "No such method"), false,
            "Fault -32601: No such method", false},
        {"notXml", "<html><body>Thanks!</body>", false, notAnswer, false},
        {"otherRoot", "<methodCall><params/></methodCall>", false, notAnswer, false},
        {"empty", "", false, notAnswer, false},
        {"cutShort", response(thanks).substr(0, 60), false, notAnswer, false},
        {"entityLaughs", laughs(), false, notAnswer, false},
        {"externalEntity",
            "<!DOCTYPE methodResponse [<!ENTITY x SYSTEM \"file:///etc/hostname\">]>"
                + response(member("message", "&x;")),
            false, notAnswer, false},
        {"bareDoctype", "<!DOCTYPE methodResponse>" + response(thanks), false, notAnswer, false},
        {"undeclaredEntity", response(member("message", "a&nbsp;b")), false, notAnswer, false},
        // One params with one param and its value, or one fault; blanks between, nothing else.
        {"blanksBetween",
            "<methodResponse>\n <params> <param> <value>1</value> </param> </params>"
            "</methodResponse>",
            true, "", false},
        {"neitherParamsNorFault", "<methodResponse/>", false, notAnswer, false},
        {"junkElement", "<methodResponse><result>ok</result></methodResponse>", false, notAnswer,
            false},
        {"junkText", "<methodResponse>Thanks!</methodResponse>", false, notAnswer, false},
        {"emptyParams", "<methodResponse><params/></methodResponse>", false, notAnswer, false},
        {"paramsAndFault",
            "<methodResponse><params><param><value>1</value></param></params>"
            "<fault><value/></fault></methodResponse>",
            false, notAnswer, false},
        // A fault without words has no colon hanging after its code.
        {"faultEmptyString", fault("<int>4</int>", "<string></string>"), false, "Fault 4", false},
        {"faultNoMembers",
            "<methodResponse><fault><value><struct/></value></fault></methodResponse>", false,
            "Fault", false},
        {"faultNoCode",
            "<methodResponse><fault><value><struct>" + member("faultString", "Bad URL")
                + "</struct></value></fault></methodResponse>",
            false, "Fault: Bad URL", false},
    };
    for (const auto& row : rows) {
        const CXmlRpcVerdict verdict = JudgeXmlRpcAnswer(row.body);
        EXPECT_EQ(verdict.m_bSuccess, row.success) << row.name;
        EXPECT_EQ(verdict.m_bFault, row.message.rfind("Fault", 0) == 0) << row.name;
        EXPECT_EQ(verdict.m_message.English(), row.message) << row.name;
        EXPECT_EQ(verdict.m_message.Source() == nullptr, row.verbatim || row.message.empty())
            << row.name;
    }
}

// A service that writes its answer in a single-byte charset is read in it: the declaration's
// first, else the Content-Type's.
TEST(XmlRpcAnswer, Charsets)
{
    const auto declared = [](const std::string& encoding) {
        return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>";
    };
    const std::string notAnswer = "Not an XML-RPC answer";
    const struct
    {
        const char* name;
        std::string body;
        std::string charset;
        bool success;
        std::string message;
    } rows[] = {
        {"windows1252Declared",
            declared("windows-1252") + response(member("message", "Caf\xE9 \x80")), "", true,
            "Caf\xC3\xA9 \xE2\x82\xAC"},
        {"latin9Declared", declared("LATIN-9") + response(member("message", "\xA4")), "", true,
            "\xE2\x82\xAC"},
        {"headerOnly", response(member("message", "Caf\xE9")), "windows-1252", true, "Caf\xC3\xA9"},
        // 0x80 is U+0080 in ISO-8859-1, the euro sign in windows-1252.
        {"declarationBeatsHeader", declared("ISO-8859-1") + response(member("message", "\x80")),
            "windows-1252", true, "\xC2\x80"},
        {"undeclaredIsUtf8", response(member("message", "Caf\xE9")), "", false, notAnswer},
        // A byte the charset does not define is no character.
        {"byteWithoutCharacter", declared("windows-1252") + response(member("message", "\x81")), "",
            false, notAnswer},
        {"unknownCharset", declared("x-no-such-charset") + response(member("message", "a")), "",
            false, notAnswer},
    };
    for (const auto& row : rows) {
        const CXmlRpcVerdict verdict = JudgeXmlRpcAnswer(row.body, row.charset);
        EXPECT_EQ(verdict.m_bSuccess, row.success) << row.name;
        EXPECT_EQ(verdict.m_message.English(), row.message) << row.name;
    }
}
