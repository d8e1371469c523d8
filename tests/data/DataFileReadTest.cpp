#include "DataTestSupport.h"

#include "core/target/SubmitHost.h"
#include "data/DataFile.h"
#include "data/XmlDocument.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using namespace datatest;

namespace {

struct ReadCase
{
    const char* name;
    std::string text;
    Targets expected;
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

Targets Load(const std::string& path, CXmlDocument& doc)
{
    EXPECT_TRUE(doc.OpenFile(path)) << doc.LastError();
    return ReadTargetValues(doc);
}

// Latin-1 text as UTF-16LE after a byte order mark.
std::string Utf16Le(const std::string& latin1)
{
    std::string out = "\xFF\xFE";
    for (const char c : latin1) {
        out += c;
        out += '\0';
    }
    return out;
}

const Targets OneTarget = {{"http://a.example/", {{"furl", "http://site.example/"}}}};

} // namespace

class HandEditedFile : public testing::TestWithParam<ReadCase>
{
};

TEST_P(HandEditedFile, LoadsWhatTheReaderShouldSee)
{
    TempFolder folder;
    const std::string path = DataFilePath(folder.Path());
    WriteBytes(path, GetParam().text);
    CXmlDocument doc;
    EXPECT_EQ(Load(path, doc), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Reader, HandEditedFile,
    testing::Values(ReadCase{"NoDeclaration",
                        "<data><Host URL=\"http://a.example/\"><param name=\"furl\" "
                        "value=\"http://site.example/\"/></Host></data>",
                        OneTarget},
        ReadCase{"CommentsWhitespaceAndInstructions",
            "\xEF\xBB\xBF<?xml version='1.0' encoding='UTF-8'?>\n<!-- my list -->\n"
            "<?editor keep?>\r\n<data>\n  <!-- first -->\n  <Host URL='http://a.example/'>\n"
            "    text<param value='http://site.example/' name='furl'>inner<x/></param>\n"
            "  </Host>\n</data>\n<!-- end -->\n",
            OneTarget},
        ReadCase{"OtherElementsAndCaseVariantsIgnored",
            "<data><host URL='h'/><Other><Host URL='nested'/></Other>"
            "<Host url='lower' URL='http://a.example/' Extra='e'><PARAM name='P'/>"
            "<param NAME='n' name='furl' Value='v' value='http://site.example/'/>"
            "<Param name='p'/></Host></data>",
            OneTarget},
        ReadCase{"MissingAttributesReadEmpty",
            "<data><Host><param value='only value'/><param name='only name'/><param/>"
            "</Host></data>",
            {{"", {{"", "only value"}, {"only name", ""}, {"", ""}}}}},
        ReadCase{"WrongRootLoadsNothing", "<Data><Host URL='x'/></Data>", {}},
        ReadCase{"HostBelowTheRootIsNeverSeen", "<root><data><Host URL='x'/></data></root>", {}},
        ReadCase{"EmptyRootAndDoctypeWithoutEntities", "<!DOCTYPE data><data/>", {}},
        ReadCase{"ReferencesAndNormalisation",
            "<data><Host URL='a&amp;b&#x20AC;&#10;'><param name='t&#9;ab' "
            "value='line\nbreak'/></Host></data>",
            {{"a&b\xE2\x82\xAC\n", {{"t\tab", "line break"}}}}},
        ReadCase{"Utf16WithByteOrderMark", Utf16Le("<data><Host URL='\xE9'/></data>"),
            {{"\xC3\xA9", {}}}},
        ReadCase{"MarkupCharactersWhereXmlAllowsThem",
            "<?xml version='1.0'?><?xml-stylesheet href='a&b<c'?><!-- a - b & <c> -->"
            "<data><![CDATA[ & < ]]><Host URL='&#x10FFFF;&#xE000;&#13;a>b\x7F' url='lower'/>"
            "</data>",
            {{"\xF4\x8F\xBF\xBF\xEE\x80\x80\ra>b\x7F", {}}}},
        ReadCase{"DeclaredLatin1",
            "<?xml version='1.0' encoding='ISO-8859-1'?><data><Host URL='caf\xE9 "
            "\xA0\xFF'/></data>",
            {{"caf\xC3\xA9 \xC2\xA0\xC3\xBF", {}}}},
        // pugixml itself knows only "ISO-8859-1" and "latin1".
        ReadCase{"Latin1ByAnotherName",
            "<?xml version='1.0' encoding='iso_8859-1'?><data><Host URL='\xE9\x80'/></data>",
            {{"\xC3\xA9\xC2\x80", {}}}},
        ReadCase{"DeclaredWindows1252",
            "<?xml version=\"1.0\" encoding = \"windows-1252\" ?><data><Host URL='\x80\x9F\xE9'/>"
            "</data>",
            {{"\xE2\x82\xAC\xC5\xB8\xC3\xA9", {}}}}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

struct BadCase
{
    const char* name;
    std::string text;
    const char* reason; // part of LastError()
};

void PrintTo(const BadCase& c, std::ostream* os)
{
    *os << c.name;
}

class BadFile : public testing::TestWithParam<BadCase>
{
};

TEST_P(BadFile, IsRefusedWithAReasonAndLeftAlone)
{
    TempFolder folder;
    const std::string path = DataFilePath(folder.Path());
    WriteBytes(path, GetParam().text);
    CXmlDocument doc;
    EXPECT_FALSE(doc.OpenFile(path));
    EXPECT_FALSE(doc.FileMissing());
    EXPECT_NE(doc.LastError().find(GetParam().reason), std::string::npos) << doc.LastError();
    EXPECT_FALSE(doc.FindElement("data"));
    EXPECT_EQ(ReadBytes(path), GetParam().text);

    CDataFile file;
    const CDataFileOutcome outcome = file.Load(path);
    EXPECT_FALSE(outcome.m_bOk);
    EXPECT_TRUE(outcome.m_records.empty());
    EXPECT_EQ(outcome.m_strReason, doc.LastError());
}

namespace {

std::string BillionLaughs()
{
    std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE data [\n<!ENTITY lol \"lol\">\n";
    for (int i = 1; i < 10; ++i) {
        text += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j)
            text += i == 1 ? "&lol;" : "&lol" + std::to_string(i - 1) + ";";
        text += "\">\n";
    }
    return text + "]>\n<data><Host URL=\"&lol9;\"/></data>\n";
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Reader, BadFile,
    testing::Values(BadCase{"Empty", "", "no element found at line 1, column 1"},
        BadCase{"Unclosed", "<data><Host URL='x'>\n</data>", "line 2"},
        BadCase{"BadAttribute", "<data><Host URL=x/></data>", "line 1, column"},
        BadCase{"TwoRoots", "<data/><data/>", "junk after document element at line 1, column 8"},
        BadCase{"BinaryGarbage", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
            "invalid token at line 1, column 1"},
        BadCase{"NulAfterRoot", std::string("<data/>\0<Host/>", 15),
            "invalid token at line 1, column 8"},
        BadCase{"NulInValue", std::string("<data><Host URL='a\0b'/></data>", 30),
            "invalid token at line 1, column 19"},
        BadCase{"InvalidUtf8", "<data><Host URL='\xC3\x28'/></data>",
            "invalid token at line 1, column 18"},
        BadCase{"OverlongUtf8", "<data><Host URL='\xC0\xAF'/></data>",
            "invalid token at line 1, column 18"},
        BadCase{"EncodedSurrogate", "<data><Host URL='\xED\xA0\x80'/></data>",
            "invalid token at line 1, column 18"},
        BadCase{"LoneUtf16Surrogate", std::string("\xFF\xFE<\0\x00\xD8/\0>\0", 10),
            "invalid token at line 1, column 3"},
        BadCase{"BillionLaughs", BillionLaughs(),
            "(entities and the like) are not supported at line 2, column 16"},
        BadCase{"ExternalEntity",
            "<!DOCTYPE data [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
            "<data><Host URL='&x;'/></data>",
            "(entities and the like) are not supported at line 1, column 16"},
        BadCase{"NestedConditionalSections",
            "<!DOCTYPE data [" +
                [] {
                    std::string s;
                    for (int i = 0; i < 100000; ++i)
                        s += "<![INCLUDE[";
                    return s;
                }()
                + "]><data/>",
            "(entities and the like) are not supported at line 1, column 16"},
        // What pugixml would take, and a later save would silently change.
        BadCase{"AttributeGivenTwice", "<data>\n<Host URL=\"a\" URL=\"b\"/></data>",
            "duplicate attribute at line 2, column 15"},
        BadCase{"AttributeGivenTwiceAmongMany",
            "<data><Host " +
                [] {
                    std::string s;
                    for (int i = 0; i < 1000; ++i)
                        s += "a" + std::to_string(i) + "='' ";
                    return s;
                }()
                + "a500=''/></data>",
            "duplicate attribute at line 1, column 7903"},
        BadCase{"LessThanInAttribute", "<data><Host URL='a<b'/></data>",
            "invalid token at line 1, column 19"},
        BadCase{"UndeclaredEntity", "<data><Host URL='&bogus;'/></data>",
            "undefined entity at line 1, column 7"},
        BadCase{"UndeclaredEntityInText", "<data>&nbsp;</data>",
            "undefined entity at line 1, column 7"},
        BadCase{"BareAmpersand", "<data><Host URL='a & b'/></data>",
            "invalid token at line 1, column 21"},
        BadCase{"BareAmpersandInText", "<data>a&b</data>", "invalid token at line 1, column 10"},
        BadCase{"MalformedCharacterReference", "<data><Host URL='&#x;'/></data>",
            "invalid token at line 1, column 21"},
        BadCase{"TextBeforeRoot", "\xEF\xBB\xBFjunk<data/>", "invalid token at line 1, column 6"},
        BadCase{"TextAfterRoot", "<data/>\n x", "junk after document element at line 2, column 2"},
        BadCase{"CdataAfterRoot", "<data/><![CDATA[x]]>",
            "junk after document element at line 1, column 8"},
        BadCase{"RawControlCharacter", "<data><Host URL='a\x01'/></data>",
            "invalid token at line 1, column 19"},
        BadCase{"ControlCharacterReference", "<data><Host URL='&#1;'/></data>",
            "reference to invalid character number at line 1, column 18"},
        BadCase{"SurrogateReference", "<data><Host URL='&#xD800;'/></data>",
            "reference to invalid character number at line 1, column 18"},
        BadCase{"HugeReference", "<data><Host URL='&#99999999999999999999;'/></data>",
            "reference to invalid character number at line 1, column 18"},
        BadCase{"RawNonCharacter", "<data><Host URL='\xEF\xBF\xBF'/></data>",
            "invalid token at line 1, column 18"},
        BadCase{"LateDeclaration", "\n<?xml version='1.0'?><data/>",
            "declaration not at start of entity at line 2, column 1"},
        BadCase{"SecondDeclaration", "<?xml version='1.0'?><data/><?XML version='1.0'?>",
            "invalid token at line 1, column 34"},
        BadCase{"DoubleDashInComment", "<data><!-- a -- b --></data>",
            "invalid token at line 1, column 16"},
        BadCase{"UnsupportedEncoding", "<?xml version='1.0' encoding='Shift_JIS'?><data/>",
            "unsupported encoding \"Shift_JIS\" at line 1, column 31"},
        BadCase{"Utf16DeclaredWithoutByteOrderMark",
            "<?xml version='1.0' encoding='UTF-16'?><data/>",
            "encoding specified in XML declaration is incorrect at line 1, column 31"},
        BadCase{"Windows1252AfterByteOrderMark",
            "\xEF\xBB\xBF<?xml version='1.0' encoding='windows-1252'?><data/>",
            "unsupported encoding \"windows-1252\""},
        BadCase{"DocumentTypeInAnotherFile",
            "<!DOCTYPE data SYSTEM 'data.dtd'><data><Host URL='&bogus;'/></data>",
            "refers to another file is not supported at line 1, column 33"},
        BadCase{"UndefinedWindows1252Byte",
            "<?xml version='1.0' encoding='cp1252'?><data><Host URL='\x81'/></data>",
            "invalid token at line 1, column 57"}),
    [](const testing::TestParamInfo<BadCase>& info) { return info.param.name; });

// A text that begins as the program's own files do is checked only when it is not exactly
// what a save of the targets read from it writes: such texts must still be refused in full.
class SavedLookingFile : public testing::TestWithParam<BadCase>
{
};

TEST_P(SavedLookingFile, IsStillChecked)
{
    TempFolder folder;
    const std::string path = DataFilePath(folder.Path());
    WriteBytes(path, "<?xml version=\"1.0\"?>" + GetParam().text);
    CDataFile file;
    const CDataFileOutcome outcome = file.Load(path);
    EXPECT_FALSE(outcome.m_bOk);
    EXPECT_TRUE(outcome.m_records.empty());
    EXPECT_NE(outcome.m_strReason.find(GetParam().reason), std::string::npos)
        << outcome.m_strReason;
    // The next save keeps it aside: it was not loaded.
    EXPECT_EQ(outcome.m_strBackupPath, CDataFile::BackupPath(path));
}

INSTANTIATE_TEST_SUITE_P(Reader, SavedLookingFile,
    testing::Values(BadCase{"Unclosed", "<data><Host URL=\"a\">", "no element found at line 1"},
        BadCase{"AttributeGivenTwice", "<data><Host URL=\"a\" URL=\"b\"/></data>",
            "duplicate attribute at line 1, column 42"},
        BadCase{"BareAmpersand", "<data><Host URL=\"a&b\"/></data>", "invalid token"},
        BadCase{"LessThanInAttribute", "<data><Host URL=\"a<b\"/></data>", "invalid token"},
        BadCase{"UndeclaredEntity", "<data><Host URL=\"&bogus;\"/></data>", "undefined entity"},
        BadCase{"InvalidUtf8", "<data><Host URL=\"\xC3\x28\"/></data>", "invalid token"},
        BadCase{"RawControlCharacter", "<data><Host URL=\"\x01\"/></data>", "invalid token"},
        BadCase{"NulInValue", std::string("<data><Host URL=\"\0\"/></data>", 27), "invalid token"},
        BadCase{"SecondRoot", "<data/><data/>", "junk after document element"},
        BadCase{"ElementAfterSavedList",
            "<data><Host URL=\"a\"><param name=\"n\" value=\"v\"/></Host></data><x/>",
            "junk after document element"},
        BadCase{"OtherRootWithTheSameStart", "<database/>", "its root element is not \"data\""}),
    [](const testing::TestParamInfo<BadCase>& info) { return info.param.name; });

// The program's own text loads, and so does the same list written another way.
TEST(DataFileRead, SavedTextAndItsHandEditedFormLoadAlike)
{
    const Targets targets = {
        {"http://a.example/?x=1&y=<2>", {{"\"q\" 'a'", ">\t\r\n\xE2\x82\xAC"}}}, {"", {{"", ""}}}};
    CXmlDocument writer;
    WriteTargetValues(writer, targets);
    const std::string saved = writer.ToText();
    std::string edited = saved;
    edited.insert(edited.find("<Host"), "\n  <!-- mine -->\n  ");

    TempFolder folder;
    const std::string path = DataFilePath(folder.Path());
    for (const std::string& text : {saved, edited}) {
        WriteBytes(path, text);
        CDataFile file;
        CDataFileOutcome outcome = file.Load(path);
        ASSERT_TRUE(outcome.m_bOk) << outcome.m_strReason;
        Targets loaded;
        for (const auto& record : outcome.m_records)
            loaded.push_back({record->m_strUrl, ParamsOf(*record)});
        EXPECT_EQ(loaded, targets);
        // Only the edited one held what a save drops, so only it is kept aside.
        EXPECT_EQ(file.Save(path, outcome.m_records).m_strBackupPath.empty(), text == saved);
    }
}

TEST(DataFileRead, MissingFileIsToldApartFromOtherFailures)
{
    TempFolder folder;
    CXmlDocument doc;
    EXPECT_FALSE(doc.OpenFile(DataFilePath(folder.Path())));
    EXPECT_TRUE(doc.FileMissing());

    ASSERT_EQ(::mkdir(DataFilePath(folder.Path()).c_str(), 0755), 0);
    EXPECT_FALSE(doc.OpenFile(DataFilePath(folder.Path())));
    EXPECT_FALSE(doc.FileMissing());
    EXPECT_FALSE(doc.LastError().empty());

    const std::string fifo = folder.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_FALSE(doc.OpenFile(fifo));
    EXPECT_EQ(doc.LastError(), "not a regular file");
}

TEST(DataFileRead, FileOverTheLimitIsRefusedBeforeParsing)
{
    TempFolder folder;
    const std::string path = DataFilePath(folder.Path());
    // Sparse: a well-formed start, then a hole far past the limit.
    WriteBytes(path, "<data/>");
    ASSERT_EQ(::truncate(path.c_str(), CXmlDocument::MaxFileSize + 1), 0);
    CXmlDocument doc;
    EXPECT_FALSE(doc.OpenFile(path));
    EXPECT_FALSE(doc.FileMissing());
    EXPECT_NE(doc.LastError().find("larger than 64 MiB"), std::string::npos) << doc.LastError();
}

TEST(DataFileRead, LargeFilesLoadWithinTheLimit)
{
    TempFolder folder;
    const std::string path = DataFilePath(folder.Path());
    const std::string value(50 * 1000 * 1000, 'v');
    WriteBytes(path, "<data><Host URL='big'><param name='n' value='" + value + "'/></Host></data>");
    CXmlDocument doc;
    const Targets loaded = Load(path, doc);
    ASSERT_EQ(loaded.size(), 1u);
    ASSERT_EQ(loaded[0].params.size(), 1u);
    EXPECT_EQ(loaded[0].params[0].second.size(), value.size());
}

TEST(DataFileRead, MillionNestedElementsNeitherCrashNorHide)
{
    TempFolder folder;
    const std::string path = DataFilePath(folder.Path());
    std::string text = "<data><Host URL='deep'><param name='n' value='v'/>";
    constexpr int depth = 1000000;
    text.reserve(text.size() + depth * 7 + 32);
    for (int i = 0; i < depth; ++i)
        text += "<x>";
    for (int i = 0; i < depth; ++i)
        text += "</x>";
    text += "</Host><Host URL='after'/></data>";
    WriteBytes(path, text);
    CXmlDocument doc;
    EXPECT_EQ(Load(path, doc), (Targets{{"deep", {{"n", "v"}}}, {"after", {}}}));
}

// Other encodings come back the same: xml.etree writes what they cannot hold as references.
TEST(DataFileRead, FileWrittenByPythonLoadsTheSame)
{
    TempFolder folder;
    const std::string path = DataFilePath(folder.Path());
    const std::string script = folder.File("write.py");
    WriteBytes(script,
        "import sys, xml.etree.ElementTree as ET\n"
        "root = ET.Element('data')\n"
        "h = ET.SubElement(root, 'Host', URL='http://a.example/?q=1&r=<2>\\u00fc')\n"
        "ET.SubElement(h, 'param', name='furl', value='x\"y\\'z\\r\\n\\t\\u00e9\\u20ac')\n"
        "ET.SubElement(root, 'Host', URL='')\n"
        "ET.ElementTree(root).write(sys.argv[1], encoding=sys.argv[2], "
        "xml_declaration=True)\n");
    for (const char* encoding : {"utf-8", "iso-8859-1", "cp1252", "us-ascii"}) {
        const std::string command
            = "python3 '" + script + "' '" + path + "' " + encoding + " 2>/dev/null";
        if (std::system(command.c_str()) != 0)
            GTEST_SKIP() << "python3 is not available";
        CXmlDocument doc;
        EXPECT_EQ(Load(path, doc),
            (Targets{{"http://a.example/?q=1&r=<2>\xC3\xBC",
                         {{"furl", "x\"y'z\r\n\t\xC3\xA9\xE2\x82\xAC"}}},
                {"", {}}}))
            << encoding;
    }
    // The declaration really named the encoding and the text really used it.
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.rfind("<?xml version='1.0' encoding='us-ascii'?>", 0), 0u) << bytes;
}

TEST(DataFileWrite, WritesTheDeclarationThenCompactUtf8)
{
    TempFolder folder;
    const std::string path = DataFilePath(folder.Path());
    CXmlDocument doc;
    WriteTargetValues(doc,
        {{"http://a.example/", {{"furl", "http://site.example/"}, {"", ""}}},
            {"u\xE2\x82\xAC", {}}});
    ASSERT_TRUE(doc.SaveFile(path)) << doc.LastError();
    EXPECT_EQ(ReadBytes(path),
        "<?xml version=\"1.0\"?><data><Host URL=\"http://a.example/\"><param name=\"furl\" "
        "value=\"http://site.example/\"/><param name=\"\" value=\"\"/></Host>"
        "<Host URL=\"u\xE2\x82\xAC\"/></data>");

    CXmlDocument empty;
    WriteTargetValues(empty, {});
    ASSERT_TRUE(empty.SaveFile(path)) << empty.LastError();
    EXPECT_EQ(ReadBytes(path), "<?xml version=\"1.0\"?><data/>");
}

TEST(DataFileWrite, EveryValueComesBackByteForByte)
{
    const Targets targets = {
        {"http://a.example/?a=1&b=<2>&c=\"3\"&d='4'", {{"&<>\"'", "&amp; &lt; ]]> -->"}}},
        {"", {{"", ""}, {"", ""}}},
        {"dup", {{"n", "v"}, {"n", "v"}}},
        {"dup", {{"n", "v"}, {"n", "v"}}},
        {"crlf\r\nlf\ncr\rtab\t end ", {{" lead", "trail "}, {"\t\t", "\r\r\n\n"}}},
        {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xE6\x97\xA5",
            {{"\xD0\xB8\xD0\xBC\xD1\x8F", "\xEF\xBF\xBD"}}},
        {"delete\x7F", {{"\xC2\x85", "x"}}},
        {"no params", {}},
    };
    TempFolder folder;
    const std::string path = DataFilePath(folder.Path());
    CXmlDocument writer;
    WriteTargetValues(writer, targets);
    ASSERT_TRUE(writer.SaveFile(path)) << writer.LastError();
    const std::string first = ReadBytes(path);

    CXmlDocument reader;
    EXPECT_EQ(Load(path, reader), targets);

    // Saving what was loaded gives the same file again.
    CXmlDocument again;
    WriteTargetValues(again, targets);
    ASSERT_TRUE(again.SaveFile(path)) << again.LastError();
    EXPECT_EQ(ReadBytes(path), first);
}

// Not UTF-8, control characters, U+FFFF: XML 1.0 has no way to hold them, not even as a
// reference, and a file holding them would be refused on the next start.
TEST(DataFileWrite, ValuesXmlCannotHoldStillGiveALoadableFile)
{
    TempFolder folder;
    const std::string path = DataFilePath(folder.Path());
    CXmlDocument writer;
    WriteTargetValues(writer,
        {{std::string("a\xFF\0b", 4), {{"n\xC3", "v\x01\x1F\t"}, {"\xEF\xBF\xBF", "\x0C"}}}});
    ASSERT_TRUE(writer.SaveFile(path)) << writer.LastError();
    CXmlDocument reader;
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(Load(path, reader),
        (Targets{
            {"a" + fffd + fffd + "b", {{"n" + fffd, "v" + fffd + fffd + "\t"}, {fffd, fffd}}}}));
}

// The document checks each text once and tells which it altered: every text of a record
// counts, and a clean text after an altered one does not clear the record.
TEST(DataFileWrite, RecordsWithTextsXmlCannotHoldAreNamed)
{
    enum Where
    {
        Url,
        BodyKind,
        Changes,
        ParamName,
        ParamValue,
        Nowhere,
    };
    TargetRecords records;
    for (const Where where : {Url, BodyKind, Nowhere, Changes, ParamName, ParamValue, Nowhere}) {
        const auto text = [&](Where here) { return here == where ? "bad\x01" : "good"; };
        auto record = std::make_shared<CSubmitHost>();
        record->m_strUrl = text(Url);
        record->m_strBodyKind = text(BodyKind);
        record->m_strChanges = text(Changes);
        record->AddParam(CPostParam(text(ParamName), text(ParamValue)));
        record->AddParam(CPostParam("good", "good"));
        records.push_back(std::move(record));
    }
    CXmlDocument doc;
    EXPECT_EQ(WriteTargets(doc, records), (std::vector<std::size_t>{0, 1, 3, 4, 5}));
    EXPECT_EQ(doc.ToText().find('\x01'), std::string::npos);
}

// What a load counts a save to write is what the save writes.
TEST(DataFileWrite, SavedSizeIsCountedRight)
{
    const std::vector<Targets> lists = {
        {},
        {{"", {}}},
        {{"http://a.example/?x=1&y=<2>", {{"\"q\" 'a'", ">\t\r\n\xE2\x82\xAC"}, {"", ""}}},
            {"b", {}}},
    };
    for (const Targets& targets : lists) {
        CXmlDocument doc;
        WriteTargetValues(doc, targets);
        EXPECT_EQ(SavedSize(ToRecords(targets)), doc.ToText().size()) << doc.ToText();
    }
}

// Two bytes of UTF-16 for a quote that is saved as six bytes of "&quot;": a file well within
// the limit holds a list no save could write. It is refused whole, and kept by the next save.
TEST(DataFileRead, ListThatWouldSaveOverTheLimitIsRefused)
{
    TempFolder folder;
    const std::string path = DataFilePath(folder.Path());
    // The declaration, <data>, <Host URL=""/> and </data> take 48 bytes.
    const std::size_t fits = (CXmlDocument::MaxFileSize - 48) / 6;
    WriteBytes(path, Utf16Le("<data><Host URL='" + std::string(fits + 1, '"') + "'/></data>"));
    ASSERT_LT(ReadBytes(path).size(), CXmlDocument::MaxFileSize / 2);

    CDataFile file;
    const CDataFileOutcome loaded = file.Load(path);
    EXPECT_FALSE(loaded.m_bOk);
    EXPECT_TRUE(loaded.m_records.empty());
    EXPECT_EQ(loaded.m_strReason, "the list would be saved as more than 64 MiB");
    EXPECT_EQ(loaded.m_strBackupPath, CDataFile::BackupPath(path));

    WriteBytes(path, Utf16Le("<data><Host URL='" + std::string(fits, '"') + "'/></data>"));
    EXPECT_TRUE(file.Load(path).m_bOk);
}
