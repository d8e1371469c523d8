// Where the list is kept: beside a copy of the program the user may write, else in the
// user's own folder, starting from a shipped list only until the user has one.
#include "DataTestSupport.h"

#include "data/DataFile.h"
#include "data/DataLocation.h"

#include <QDir>
#include <QFileInfo>

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
        ::mkdir(m_bin.c_str(), 0755);
    }

    CDataLocation::CInputs Inputs() const
    {
        return {Q(m_bin), Q(m_user), {Q(m_share1), Q(m_share2)}, Q(m_root.File("usr-bin"))};
    }

    // As an installed program: its folder is the install folder.
    CDataLocation Installed() const
    {
        CDataLocation::CInputs inputs = Inputs();
        inputs.m_strInstallBinFolder = Q(m_bin);
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

TEST_F(DataLocationTest, StartingListIsReadUntilTheUserHasOne)
{
    const CDataLocation location = Installed();
    EXPECT_EQ(location.LoadPath(), DataFilePath(m_user));
    // Lists turn up from the least to the most preferred; each load looks anew.
    for (const std::string& folder : {m_share2, m_share1, m_bin, m_user}) {
        PutList(folder);
        EXPECT_EQ(location.LoadPath(), DataFilePath(folder));
        EXPECT_EQ(location.SavePath(), DataFilePath(m_user));
    }
}

// The user's data folder by the XDG Base Directory rules, from XDG_DATA_HOME and HOME as
// given, and what a location makes of a folder that is relative or not known.

TEST(UserFolderOf, XdgDataHomeWhenItIsAnAbsolutePath)
{
    const auto user = CDataLocation::UserFolderOf("/data/home/", "/home/u", "Quillpost");
    EXPECT_EQ(user.m_strPath, "/data/home/Quillpost");
    EXPECT_EQ(user.m_strUnknown, "");
    // HOME is not needed then.
    EXPECT_EQ(CDataLocation::UserFolderOf("/data/home", "", "Quillpost").m_strPath,
        "/data/home/Quillpost");
}

TEST(UserFolderOf, HomeWhenXdgDataHomeIsNotSet)
{
    const auto user = CDataLocation::UserFolderOf("", "/home/u", "Quillpost");
    EXPECT_EQ(user.m_strPath, "/home/u/.local/share/Quillpost");
    EXPECT_EQ(user.m_strUnknown, "");
}

// The rules: "If an implementation encounters a relative path in any of these variables it
// should consider the path invalid and ignore it."
TEST(UserFolderOf, RelativeXdgDataHomeIsIgnored)
{
    for (const char* relative : {"rel/xdg", "./xdg", "xdg", "~/data", ":/data"}) {
        SCOPED_TRACE(relative);
        const auto user = CDataLocation::UserFolderOf(relative, "/home/u", "Quillpost");
        EXPECT_EQ(user.m_strPath, "/home/u/.local/share/Quillpost");
        EXPECT_EQ(user.m_strUnknown, "");
    }
}

TEST(UserFolderOf, NoneWithoutAnAbsoluteHome)
{
    auto user = CDataLocation::UserFolderOf("", "", "Quillpost");
    EXPECT_EQ(user.m_strPath, "");
    EXPECT_EQ(user.m_strUnknown, "HOME is not set");

    user = CDataLocation::UserFolderOf("rel/xdg", "", "Quillpost");
    EXPECT_EQ(user.m_strPath, "");
    EXPECT_EQ(
        user.m_strUnknown, "XDG_DATA_HOME (rel/xdg) is not an absolute path, and HOME is not set");

    user = CDataLocation::UserFolderOf("", "home/u", "Quillpost");
    EXPECT_EQ(user.m_strPath, "");
    EXPECT_EQ(user.m_strUnknown, "HOME (home/u) is not an absolute path");
}

TEST_F(DataLocationTest, UnknownUserFolderSavesNowhere)
{
    for (const QString& folder : {QString(), QStringLiteral("rel/xdg/Quillpost")}) {
        SCOPED_TRACE(folder.toStdString());
        CDataLocation::CInputs inputs = Inputs();
        inputs.m_strInstallBinFolder = Q(m_bin);
        inputs.m_strUserFolder = folder;
        const CDataLocation location = CDataLocation::Resolve(inputs);
        EXPECT_EQ(location.Folder(), QString());
        EXPECT_EQ(location.SavePath(), "");
        EXPECT_EQ(location.LoadPath(), "");
        std::string reason;
        EXPECT_FALSE(location.MakeFolder(reason));
        EXPECT_EQ(reason,
            folder.isEmpty()
                ? "the user's data folder is unknown"
                : "the user's data folder is unknown: rel/xdg/Quillpost is not an absolute path");
        // A starting list is still read.
        PutList(m_share2);
        EXPECT_EQ(location.LoadPath(), DataFilePath(m_share2));
        ::unlink(DataFilePath(m_share2).c_str());
    }
}

TEST_F(DataLocationTest, UnknownUserFolderSaysWhy)
{
    const auto user = CDataLocation::UserFolderOf("rel/xdg", "", "Quillpost");
    CDataLocation::CInputs inputs = Inputs();
    inputs.m_strInstallBinFolder = Q(m_bin);
    inputs.m_strUserFolder = user.m_strPath;
    inputs.m_strUserFolderUnknown = user.m_strUnknown;
    std::string reason;
    EXPECT_FALSE(CDataLocation::Resolve(inputs).MakeFolder(reason));
    EXPECT_EQ(reason,
        "the user's data folder is unknown: XDG_DATA_HOME (rel/xdg) is not an absolute path, and "
        "HOME is not set");
}

TEST_F(DataLocationTest, MakeFolderSaysWhatCouldNotBeMadeAndWhy)
{
    std::string reason;
    // Which sites the user runs is theirs alone, whatever the umask: even one that would take
    // the owner's own right to write from a folder made.
    const mode_t umaskBefore = ::umask(0277);
    EXPECT_TRUE(Installed().MakeFolder(reason)) << reason;
    ::umask(umaskBefore);
    EXPECT_TRUE(Installed().MakeFolder(reason)) << reason;
    EXPECT_TRUE(QFileInfo(Q(m_user)).isDir());
    struct stat home = {};
    struct stat user = {};
    EXPECT_EQ(::stat(m_root.File("home").c_str(), &home) | ::stat(m_user.c_str(), &user), 0);
    EXPECT_EQ((home.st_mode | user.st_mode) & 07777, 0700u);
    // A file in the way.
    const std::string blocked = m_root.File("blocked");
    WriteBytes(blocked, "");
    EXPECT_FALSE(CDataLocation(Q(blocked + "/Quillpost")).MakeFolder(reason));
    EXPECT_EQ(reason, "the folder " + blocked + "/Quillpost could not be made: Not a directory");
    EXPECT_FALSE(CDataLocation(Q(blocked)).MakeFolder(reason));
    EXPECT_EQ(reason, "the folder " + blocked + " could not be made: Not a directory");

    // A folder the user may not write, which root may: decided by an ordinary user.
    const std::string locked = m_root.File("locked");
    ASSERT_EQ(::mkdir(locked.c_str(), 0555), 0);
    const std::string folder = locked + "/share/Quillpost";
    const int result = RunInChild([&] {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return CannotDropPrivileges;
        std::string why;
        if (CDataLocation(Q(folder)).MakeFolder(why))
            return 1;
        return why == "the folder " + folder + " could not be made: Permission denied" ? 0 : 2;
    });
    if (result == CannotDropPrivileges)
        GTEST_SKIP() << "cannot run as an ordinary user";
    EXPECT_EQ(result, 0);
}

} // namespace
