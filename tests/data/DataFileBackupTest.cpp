// What a save keeps aside before it replaces a file the list does not hold.
#include "DataTestSupport.h"

#include "core/target/SubmitHost.h"
#include "data/DataFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace datatest;

namespace {

const std::string Refused = "<data><Host URL='a & b'/></data>";

TargetRecords OneRecord()
{
    auto record = std::make_shared<CSubmitHost>();
    record->m_strUrl = "http://new.example/";
    return {record};
}

class DataFileBackup : public testing::Test
{
protected:
    void SetUp() override
    {
        m_path = DataFilePath(m_folder.Path());
        m_backup = CDataFile::BackupPath(m_path);
    }

    TempFolder m_folder;
    std::string m_path;
    std::string m_backup;
    CDataFile m_file;
};

} // namespace

TEST_F(DataFileBackup, CopiesWhereNoHardLinkCanBeMade)
{
    // A link to a file on another file system, as a hard link cannot cross one.
    QTemporaryDir elsewhere(QStringLiteral("/dev/shm/quillpost-test-XXXXXX"));
    struct stat here = {};
    struct stat there = {};
    if (!elsewhere.isValid() || ::stat(m_folder.Path().c_str(), &here) != 0
        || ::stat(elsewhere.path().toStdString().c_str(), &there) != 0
        || here.st_dev == there.st_dev)
        GTEST_SKIP() << "no second file system to link into";
    const std::string target = elsewhere.path().toStdString() + "/submitdata.xml";
    WriteBytes(target, Refused);
    ASSERT_EQ(::symlink(target.c_str(), m_path.c_str()), 0);
    m_file.Load(m_path);

    const CDataFileOutcome saved = m_file.Save(m_path, OneRecord());
    ASSERT_TRUE(saved.m_bOk) << saved.m_strReason;
    EXPECT_EQ(ReadBytes(m_backup), Refused);
    EXPECT_NE(ReadBytes(target), Refused);
}

TEST_F(DataFileBackup, NoSaveWhenTheOldFileCannotBeKept)
{
    WriteBytes(m_path, Refused);
    ASSERT_EQ(::mkdir(m_backup.c_str(), 0755), 0);
    WriteBytes(m_backup + "/inside", "x");
    m_file.Load(m_path);

    const CDataFileOutcome saved = m_file.Save(m_path, OneRecord());
    EXPECT_FALSE(saved.m_bOk);
    EXPECT_FALSE(saved.m_bReplaced);
    EXPECT_NE(saved.m_strReason.find("could not be kept as " + m_backup), std::string::npos)
        << saved.m_strReason;
    EXPECT_EQ(ReadBytes(m_path), Refused);
    EXPECT_EQ(ListFolder(m_folder.Path()),
        (std::vector<std::string>{"submitdata.xml", "submitdata.xml.bak"}));
}

// The list may come from one file and be saved to another.
TEST_F(DataFileBackup, EachPathIsJudgedByWhatWasSeenThere)
{
    WriteBytes(m_path, Refused);
    m_file.Load(m_path);
    const std::string other = m_folder.File("other.xml");
    CDataFileOutcome saved = m_file.Save(other, OneRecord());
    ASSERT_TRUE(saved.m_bOk) << saved.m_strReason;
    EXPECT_EQ(saved.m_strBackupPath, "");
    saved = m_file.Save(other, OneRecord());
    EXPECT_EQ(saved.m_strBackupPath, "");

    // Never read nor written by this program: whatever it holds is kept.
    const std::string unknown = m_folder.File("unknown.xml");
    WriteBytes(unknown, "<data/>");
    EXPECT_EQ(m_file.Save(unknown, OneRecord()).m_strBackupPath, CDataFile::BackupPath(unknown));

    EXPECT_EQ(m_file.Save(m_path, OneRecord()).m_strBackupPath, m_backup);
    EXPECT_EQ(ReadBytes(m_backup), Refused);
}

// A target's body kind and its source of changes are content the list holds: a list of any
// kinds and sources, unknown or empty ones included, loads without a word and saves back byte
// for byte, with nothing kept aside.
TEST_F(DataFileBackup, BodyKindsRoundTripWithoutBackup)
{
    const std::string saved = "<?xml version=\"1.0\"?><data>"
                              "<Host URL=\"http://form.example/\"><param name=\"a\" value=\"1\"/>"
                              "</Host><Host URL=\"http://rpc.example/\" body=\"xml-rpc\"/>"
                              "<Host URL=\"http://json.example/\" body=\"json\"/>"
                              "<Host URL=\"http://new.example/\" body=\"Json\"/>"
                              "<Host URL=\"http://empty.example/\" body=\"\"/>"
                              "<Host URL=\"http://a.example/\" changes=\"https://s.example/map\"/>"
                              "<Host URL=\"http://b.example/\" body=\"json\" changes=\"&amp;\"/>"
                              "<Host URL=\"http://c.example/\" changes=\"\"/>"
                              "<Host URL=\"http://d.example/\" changes=\"x\" check=\"no\"/>"
                              "<Host URL=\"http://e.example/\" check=\"No\"/>"
                              "<Host URL=\"http://f.example/\" check=\"\"/></data>";
    WriteBytes(m_path, saved);
    const CDataFileOutcome loaded = m_file.Load(m_path);
    ASSERT_TRUE(loaded.m_bOk) << loaded.m_strReason;
    EXPECT_TRUE(loaded.m_strBackupPath.empty());
    std::vector<std::optional<std::string>> kinds;
    for (const auto& record : loaded.m_records)
        kinds.push_back(record->m_strBodyKind);
    EXPECT_EQ(kinds,
        (std::vector<std::optional<std::string>>{std::nullopt, "xml-rpc", "json", "Json", "",
            std::nullopt, "json", std::nullopt, std::nullopt, std::nullopt, std::nullopt}));
    // Only "no" turns the checks off; an unknown value leaves them on.
    std::vector<bool> checks;
    for (const auto& record : loaded.m_records)
        checks.push_back(record->m_bCheckPages);
    EXPECT_EQ(checks,
        (std::vector<bool>{true, true, true, true, true, true, true, true, false, true, true}));
    EXPECT_EQ(loaded.m_records[5]->m_strChanges, "https://s.example/map");
    EXPECT_EQ(loaded.m_records[6]->m_strChanges, "&");
    EXPECT_EQ(loaded.m_records[7]->m_strChanges, "");
    EXPECT_EQ(loaded.m_records[0]->m_strChanges, std::nullopt);
    EXPECT_EQ(SavedSize(loaded.m_records), saved.size());

    const CDataFileOutcome save = m_file.Save(m_path, loaded.m_records);
    ASSERT_TRUE(save.m_bOk) << save.m_strReason;
    EXPECT_TRUE(save.m_strBackupPath.empty());
    EXPECT_EQ(ReadBytes(m_path), saved);
    EXPECT_EQ(ListFolder(m_folder.Path()), std::vector<std::string>{"submitdata.xml"});

    // Checks turned off are written after the source; turned on, an unknown value goes.
    loaded.m_records[0]->m_bCheckPages = false;
    loaded.m_records[8]->m_bCheckPages = true;
    loaded.m_records[9]->m_strCheckUnknown.reset();
    ASSERT_TRUE(m_file.Save(m_path, loaded.m_records).m_bOk);
    const std::string changed = ReadBytes(m_path);
    EXPECT_NE(changed.find("<Host URL=\"http://form.example/\" check=\"no\">"), std::string::npos);
    EXPECT_NE(changed.find("<Host URL=\"http://d.example/\" changes=\"x\"/>"), std::string::npos);
    EXPECT_NE(changed.find("<Host URL=\"http://e.example/\"/>"), std::string::npos);
    EXPECT_EQ(SavedSize(loaded.m_records), changed.size());

    // Written by hand with the kind first, it is still all the list holds.
    WriteBytes(m_path, "<data><Host changes='x' body='json' URL='http://json.example/'/></data>");
    ASSERT_TRUE(m_file.Load(m_path).m_bOk);
    EXPECT_TRUE(m_file.Save(m_path, m_file.Load(m_path).m_records).m_strBackupPath.empty());
}
