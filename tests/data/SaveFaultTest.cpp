// Faults while saving: in every case the old file must survive byte for byte and no
// temporary file may be left beside it. Faults that need another process state (another
// user, a file-size limit, a kill) run in a forked child.
#include "DataTestSupport.h"

#include "data/DataFile.h"
#include "data/XmlDocument.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace datatest;

namespace {

const std::string OldFile = "<?xml version=\"1.0\"?><data><Host URL=\"old\"/></data>";

Targets ManyTargets(int count, std::size_t valueSize)
{
    Targets targets;
    for (int i = 0; i < count; ++i)
        targets.push_back({"http://t" + std::to_string(i) + ".example/",
            {{"furl", std::string(valueSize, static_cast<char>('a' + i % 26))}}});
    return targets;
}

class SaveFault : public testing::Test
{
protected:
    void SetUp() override
    {
        m_path = DataFilePath(m_folder.Path());
        WriteBytes(m_path, OldFile);
    }

    void ExpectOldFileIntact()
    {
        EXPECT_EQ(ReadBytes(m_path), OldFile);
        EXPECT_EQ(ListFolder(m_folder.Path()), std::vector<std::string>{"submitdata.xml"});
    }

    TempFolder m_folder;
    std::string m_path;
};

// Exit codes of the children.
constexpr int Refused = 0;
constexpr int Saved = 1;
constexpr int NoReason = 2;
constexpr int CannotDropPrivileges = 3;
constexpr int ClaimsReplaced = 4;

int SaveAndReport(const std::string& path, const Targets& targets)
{
    CXmlDocument doc;
    WriteTargetValues(doc, targets);
    if (doc.SaveFile(path))
        return Saved;
    if (doc.FileReplaced())
        return ClaimsReplaced;
    return doc.LastError().empty() ? NoReason : Refused;
}

// The folder sync after the rename fails, as on an I/O error.
class UnsyncedDocument : public CXmlDocument
{
protected:
    bool SyncFolder(const std::string&, std::string& reason) override
    {
        reason = "Input/output error";
        return false;
    }
};

// Stops for good in the middle of the write, once `at` bytes are in the temporary file,
// and says so on `ready`.
class StalledDocument : public CXmlDocument
{
public:
    StalledDocument(std::uint64_t at, int ready)
        : m_at(at)
        , m_ready(ready)
    {
    }

protected:
    void OnWritten(std::uint64_t written) override
    {
        if (written < m_at)
            return;
        const char go = 'g';
        (void)!::write(m_ready, &go, 1);
        for (;;)
            ::pause();
    }

private:
    std::uint64_t m_at;
    int m_ready;
};

} // namespace

TEST_F(SaveFault, FolderNotWritable)
{
    // Root writes anywhere, so the save runs as an ordinary user.
    ASSERT_EQ(::chmod(m_folder.Path().c_str(), 0555), 0);
    const int result = RunInChild([&] {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return CannotDropPrivileges;
        return SaveAndReport(m_path, ManyTargets(3, 10));
    });
    ASSERT_EQ(::chmod(m_folder.Path().c_str(), 0755), 0);
    if (result == CannotDropPrivileges)
        GTEST_SKIP() << "running as root and cannot become an ordinary user (uid 65534), "
                        "for whom the folder's permissions would count";
    EXPECT_EQ(result, Refused);
    ExpectOldFileIntact();
}

TEST_F(SaveFault, FileSizeLimitReached)
{
    const int result = RunInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        return SaveAndReport(m_path, ManyTargets(100, 100));
    });
    EXPECT_EQ(result, Refused);
    ExpectOldFileIntact();
}

// What stands in the file's place, made in the test's own folder.
struct NonFileCase
{
    const char* name;
    // Makes it at path; false when the system does not allow it here.
    bool (*make)(const std::string& path);
};

void PrintTo(const NonFileCase& c, std::ostream* os)
{
    *os << c.name;
}

class SaveOverNonFile : public SaveFault, public testing::WithParamInterface<NonFileCase>
{
};

TEST_P(SaveOverNonFile, IsRefusedAndLeftAlone)
{
    const std::string path = m_folder.File("taken");
    if (!GetParam().make(path))
        GTEST_SKIP() << "cannot make a " << GetParam().name << " here: " << std::strerror(errno);
    struct stat before = {};
    ASSERT_EQ(::lstat(path.c_str(), &before), 0);

    CXmlDocument doc;
    WriteTargetValues(doc, ManyTargets(1, 1));
    EXPECT_FALSE(doc.SaveFile(path));
    EXPECT_EQ(doc.LastError(), "not a regular file");
    EXPECT_FALSE(doc.FileReplaced());

    struct stat after = {};
    ASSERT_EQ(::lstat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_rdev, before.st_rdev);
    for (const std::string& name : ListFolder(m_folder.Path()))
        EXPECT_TRUE(name == "submitdata.xml" || name.rfind("taken", 0) == 0) << name;
    EXPECT_EQ(ReadBytes(m_path), OldFile);
}

INSTANTIATE_TEST_SUITE_P(SaveFault, SaveOverNonFile,
    testing::Values(NonFileCase{"Folder",
                        [](const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0; }},
        NonFileCase{
            "Fifo", [](const std::string& path) { return ::mkfifo(path.c_str(), 0644) == 0; }},
        NonFileCase{"LinkToFifo",
            [](const std::string& path) {
                const std::string fifo = path + "-fifo";
                return ::mkfifo(fifo.c_str(), 0644) == 0
                    && ::symlink(fifo.c_str(), path.c_str()) == 0;
            }},
        // The numbers of the null device; needs a right containers often withhold.
        NonFileCase{"DeviceNode",
            [](const std::string& path) {
                return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
            }}),
    [](const testing::TestParamInfo<NonFileCase>& info) { return info.param.name; });

TEST_F(SaveFault, ThroughALinkTheTargetIsReplacedAndTheLinkKept)
{
    const std::string link = m_folder.File("link.xml");
    ASSERT_EQ(::symlink("submitdata.xml", link.c_str()), 0);
    CXmlDocument doc;
    WriteTargetValues(doc, ManyTargets(1, 1));
    ASSERT_TRUE(doc.SaveFile(link)) << doc.LastError();
    struct stat info = {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadBytes(m_path), doc.ToText());
    EXPECT_EQ(
        ListFolder(m_folder.Path()), (std::vector<std::string>{"link.xml", "submitdata.xml"}));
}

TEST_F(SaveFault, ListLargerThanTheLoaderTakesIsRefused)
{
    // Quotes are written six bytes each: 12 MiB of values make a 72 MiB file.
    const std::string quotes(6 * 1024 * 1024, '"');
    CXmlDocument doc;
    WriteTargetValues(doc, {{"a", {{"n", quotes}}}, {"b", {{"n", quotes}}}});
    EXPECT_FALSE(doc.SaveFile(m_path));
    EXPECT_FALSE(doc.FileReplaced());
    EXPECT_NE(doc.LastError().find("the list is larger than 64 MiB"), std::string::npos)
        << doc.LastError();
    ExpectOldFileIntact();
}

TEST_F(SaveFault, FolderNotSyncedAfterTheFileWasReplaced)
{
    UnsyncedDocument doc;
    WriteTargetValues(doc, ManyTargets(2, 10));
    EXPECT_FALSE(doc.SaveFile(m_path));
    EXPECT_TRUE(doc.FileReplaced());
    EXPECT_EQ(doc.LastError(), "its folder could not be synced: Input/output error");
    EXPECT_EQ(ReadBytes(m_path), doc.ToText());

    // The next save that succeeds no longer claims so.
    CXmlDocument again;
    WriteTargetValues(again, ManyTargets(1, 1));
    EXPECT_TRUE(again.SaveFile(m_path)) << again.LastError();
    EXPECT_FALSE(again.FileReplaced());
}

TEST_F(SaveFault, KilledWhileSaving)
{
    const Targets big = ManyTargets(64, 512 * 1024);
    CXmlDocument expected;
    WriteTargetValues(expected, big);
    const std::uint64_t size = expected.ToText().size();

    // Killed after the first piece, half way, and with every byte written but not committed.
    for (const std::uint64_t at : {std::uint64_t(1), size / 2, size}) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(ready[0]);
            StalledDocument doc(at, ready[1]);
            WriteTargetValues(doc, big);
            doc.SaveFile(m_path);
            ::_exit(0);
        }
        ::close(ready[1]);
        char go = 0;
        const bool stalled = ::read(ready[0], &go, 1) == 1;
        ::kill(pid, SIGKILL);
        ::close(ready[0]);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(stalled) << "the save ended before " << at << " bytes";
        EXPECT_TRUE(WIFSIGNALED(status));
        ExpectOldFileIntact();
    }
}

TEST_F(SaveFault, NeverOverTheRunningProgram)
{
    char exe[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    struct stat before = {};
    ASSERT_EQ(::stat(exe, &before), 0);
    const std::string link = m_folder.File("link");
    ASSERT_EQ(::symlink(exe, link.c_str()), 0);

    for (const std::string& path : {std::string(exe), link}) {
        CXmlDocument doc;
        WriteTargetValues(doc, {});
        EXPECT_FALSE(doc.SaveFile(path)) << path;
        EXPECT_FALSE(doc.LastError().empty());
    }
    struct stat after = {};
    ASSERT_EQ(::stat(exe, &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}
