// Where the list is kept: beside a copy of the program the user may write, else in the
// user's own folder, starting from a shipped list only until the user has one.
#include "DataTestSupport.h"

#include "data/DataFile.h"
#include "data/DataLocation.h"

#include <QDir>

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace datatest;

namespace {

constexpr int CannotDropPrivileges = 77;

QString Q(const std::string& path)
{
    return QString::fromStdString(path);
}

class DataLocationTest : public testing::Test
{
protected:
    DataLocationTest()
    {
        // An ordinary user must be able to look into the folders.
        ::chmod(m_root.Path().c_str(), 0755);
        for (const std::string* folder : {&m_bin, &m_share1, &m_share2})
            ::mkdir(folder->c_str(), 0755);
    }

    CDataLocation::Inputs Inputs() const
    {
        return {Q(m_bin), Q(m_user), {Q(m_share1), Q(m_share2)}, Q(m_root.File("usr-bin"))};
    }

    // As an installed program: its folder is the install folder.
    CDataLocation Installed() const
    {
        CDataLocation::Inputs inputs = Inputs();
        inputs.installBinFolder = Q(m_bin);
        return CDataLocation::Resolve(inputs);
    }

    static void PutList(const std::string& folder)
    {
        QDir().mkpath(Q(folder));
        WriteBytes(DataFilePath(folder), "<data/>");
    }

    TempFolder m_root;
    const std::string m_bin = m_root.File("bin");
    const std::string m_user = m_root.File("home/.local/share/Quillpost");
    const std::string m_share1 = m_root.File("share1");
    const std::string m_share2 = m_root.File("share2");
};

TEST_F(DataLocationTest, WritableProgramFolderKeepsTheListBesideIt)
{
    PutList(m_share1);
    PutList(m_user);
    const CDataLocation location = CDataLocation::Resolve(Inputs());
    EXPECT_EQ(location.Folder(), Q(m_bin));
    EXPECT_EQ(location.SavePath(), DataFilePath(m_bin));
    // No list there yet: the first start finds none, whatever is shipped elsewhere.
    EXPECT_EQ(location.LoadPath(), DataFilePath(m_bin));
}

TEST_F(DataLocationTest, InstallFolderIsNeverWrittenEvenWhenWritable)
{
    // Reached through a link, as /bin is /usr/bin.
    ASSERT_EQ(::symlink(m_bin.c_str(), m_root.File("usr-bin").c_str()), 0);
    PutList(m_bin);
    const CDataLocation location = CDataLocation::Resolve(Inputs());
    EXPECT_EQ(location.Folder(), Q(m_user));
    EXPECT_EQ(location.SavePath(), DataFilePath(m_user));
    EXPECT_EQ(location.LoadPath(), DataFilePath(m_bin));
}

// Root may write any folder, so the rule is decided by an ordinary user in a child.
TEST_F(DataLocationTest, ReadOnlyProgramFolderGoesToTheUserFolder)
{
    for (const bool writableList : {false, true}) {
        SCOPED_TRACE(writableList ? "with a list the user may write" : "without a list");
        if (writableList) {
            WriteBytes(DataFilePath(m_bin), "<data/>");
            ASSERT_EQ(::chmod(DataFilePath(m_bin).c_str(), 0666), 0);
        }
        ASSERT_EQ(::chmod(m_bin.c_str(), 0555), 0);
        const int result = RunInChild([&] {
            if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                return CannotDropPrivileges;
            const CDataLocation location = CDataLocation::Resolve(Inputs());
            if (location.Folder() != Q(m_user) || location.SavePath() != DataFilePath(m_user))
                return 1;
            // A list there is where the user's own starts from; it cannot be replaced in a
            // folder that is not writable.
            const std::string start = writableList ? DataFilePath(m_bin) : DataFilePath(m_user);
            return location.LoadPath() == start ? 0 : 2;
        });
        ASSERT_EQ(::chmod(m_bin.c_str(), 0755), 0);
        if (result == CannotDropPrivileges)
            GTEST_SKIP() << "cannot run as an ordinary user";
        EXPECT_EQ(result, 0);
    }
}

struct StartCase
{
    const char* name;
    bool own, besideProgram, share1, share2;
    // Which list a load reads.
    enum
    {
        Own,
        BesideProgram,
        Share1,
        Share2
    } expected;
};

void PrintTo(const StartCase& c, std::ostream* os)
{
    *os << c.name;
}

class StartingList : public DataLocationTest, public testing::WithParamInterface<StartCase>
{
};

TEST_P(StartingList, IsReadOnlyUntilTheUserHasAList)
{
    const StartCase& c = GetParam();
    if (c.own)
        PutList(m_user);
    if (c.besideProgram)
        PutList(m_bin);
    if (c.share1)
        PutList(m_share1);
    if (c.share2)
        PutList(m_share2);
    const std::string lists[] = {
        DataFilePath(m_user), DataFilePath(m_bin), DataFilePath(m_share1), DataFilePath(m_share2)};

    const CDataLocation location = Installed();
    EXPECT_EQ(location.LoadPath(), lists[c.expected]);
    EXPECT_EQ(location.SavePath(), DataFilePath(m_user));
}

INSTANTIATE_TEST_SUITE_P(Lists, StartingList,
    testing::Values(StartCase{"none", false, false, false, false, StartCase::Own},
        StartCase{"second_share_folder", false, false, false, true, StartCase::Share2},
        StartCase{"first_share_folder_first", false, false, true, true, StartCase::Share1},
        StartCase{"beside_program_first", false, true, true, false, StartCase::BesideProgram},
        StartCase{"own_list_over_all", true, true, true, true, StartCase::Own}),
    [](const testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

} // namespace
