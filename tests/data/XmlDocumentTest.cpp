#include "DataTestSupport.h"

#include "data/XmlDocument.h"

#include <gtest/gtest.h>

#include <string>

using namespace datatest;

namespace {

constexpr const char* Declaration = "<?xml version=\"1.0\"?>";

// The document as saved, without its declaration.
std::string Saved(CXmlDocument& doc)
{
    TempFolder folder;
    const std::string path = folder.File("doc.xml");
    EXPECT_TRUE(doc.SaveFile(path)) << doc.LastError();
    std::string text = ReadBytes(path);
    EXPECT_EQ(text.rfind(Declaration, 0), 0u) << text;
    return text.substr(std::string(Declaration).size());
}

CXmlDocument& Parsed(CXmlDocument& doc, const std::string& text)
{
    EXPECT_TRUE(doc.StartFromText(text)) << doc.LastError();
    return doc;
}

} // namespace

TEST(XmlDocumentCursor, FindPassesOverOtherNodesAndCaseVariants)
{
    CXmlDocument doc;
    Parsed(doc,
        "<?pi x?><!-- c --><data>text<host URL='a'/><!-- c --><HOST URL='b'/>"
        "<?pi?><![CDATA[x]]><Host URL='c'/> <Host URL='d'/></data>");
    ASSERT_TRUE(doc.FindElement("data"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement("Host"));
    EXPECT_EQ(doc.GetAttribute("URL"), "c");
    ASSERT_TRUE(doc.FindElement("Host"));
    EXPECT_EQ(doc.GetAttribute("URL"), "d");
    // Past the last match: false, and the cursor stays on the last element found.
    EXPECT_FALSE(doc.FindElement("Host"));
    EXPECT_EQ(doc.GetAttribute("URL"), "d");
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_FALSE(doc.FindElement("data"));
    EXPECT_FALSE(doc.LeaveElement());
}

TEST(XmlDocumentCursor, EnterNeedsACurrentElementAndLeaveStopsAtTheTop)
{
    CXmlDocument doc;
    Parsed(doc, "<data><Host URL='a'/></data>");
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_FALSE(doc.LeaveElement());
    // Nothing moved: the root is still the first thing found.
    ASSERT_TRUE(doc.FindElement("data"));
}

TEST(XmlDocumentCursor, LeaveThenEnterResumesAfterTheChildLeft)
{
    CXmlDocument doc;
    Parsed(doc, "<data><Host URL='1'/><Host URL='2'/><Host URL='3'/></data>");
    ASSERT_TRUE(doc.FindElement("data"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement("Host"));
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement("Host"));
    EXPECT_EQ(doc.GetAttribute("URL"), "2");

    // A FindElement at the upper level forgets that place.
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_FALSE(doc.FindElement("data"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement("Host"));
    EXPECT_EQ(doc.GetAttribute("URL"), "3");
}

TEST(XmlDocumentCursor, AppendBuildsSiblingsInOrder)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.StartFromText("<?xml version=\"1.0\"?>\r\n"));
    ASSERT_TRUE(doc.AppendElement("data"));
    EXPECT_FALSE(doc.AppendElement("second-root"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AppendElement("a"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AppendElement("a1"));
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.AppendElement("b"));
    EXPECT_FALSE(doc.AppendElement("bad name"));
    EXPECT_EQ(Saved(doc), "<data><a><a1/></a><b/></data>");
}

TEST(XmlDocumentCursor, AppendInsertsDirectlyAfterTheCurrentElement)
{
    CXmlDocument doc;
    Parsed(doc, "<data><a/><c/></data>");
    ASSERT_TRUE(doc.FindElement("data"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement("a"));
    ASSERT_TRUE(doc.AppendElement("b"));
    ASSERT_TRUE(doc.FindElement("c"));
    EXPECT_EQ(Saved(doc), "<data><a/><b/><c/></data>");
}

TEST(XmlDocumentCursor, AttributesReadEmptyWhenAbsentAndAreReplacedNotDoubled)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetAttribute("URL", "x"));
    EXPECT_EQ(doc.GetAttribute("URL"), "");
    doc.StartFromText("");
    ASSERT_TRUE(doc.AppendElement("data"));
    EXPECT_EQ(doc.GetAttribute("URL"), "");
    ASSERT_TRUE(doc.SetAttribute("b", "1"));
    ASSERT_TRUE(doc.SetAttribute("a", "1"));
    ASSERT_TRUE(doc.SetAttribute("b", "2"));
    EXPECT_EQ(doc.GetAttribute("b"), "2");
    EXPECT_EQ(doc.GetAttribute("B"), "");
    EXPECT_FALSE(doc.SetAttribute("bad name", "x"));
    EXPECT_FALSE(doc.SetAttribute("", "x"));
    // What may start a name, what may only follow, and what is no character at all.
    for (const char* name : {"1a", "-a", ".a", "a/b", "a\xFF", "a\xC3", "\xEF\xBF\xBF"})
        EXPECT_FALSE(doc.SetAttribute(name, "x")) << name;
    for (const char* name : {"_:Z-.9", "\xC3\xA9t\xC3\xA9"})
        EXPECT_TRUE(doc.SetAttribute(name, "")) << name;
    EXPECT_EQ(Saved(doc), "<data b=\"2\" a=\"1\" _:Z-.9=\"\" \xC3\xA9t\xC3\xA9=\"\"/>");
}

TEST(XmlDocumentCursor, ANewTextStartsAtTheTopAgain)
{
    CXmlDocument doc;
    Parsed(doc, "<data><Host URL='old'/></data>");
    ASSERT_TRUE(doc.FindElement("data"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement("Host"));
    Parsed(doc, "<data><Host URL='new'/></data>");
    ASSERT_TRUE(doc.FindElement("data"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement("Host"));
    EXPECT_EQ(doc.GetAttribute("URL"), "new");

    // A failed parse leaves an empty document, ready to be built.
    EXPECT_FALSE(doc.StartFromText("<data>"));
    EXPECT_FALSE(doc.FindElement("data"));
    ASSERT_TRUE(doc.AppendElement("data"));
    EXPECT_EQ(Saved(doc), "<data/>");
}
