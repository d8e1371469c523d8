#include "core/system/ListLock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A folder of the test's own, removed with everything in it.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "quillpost-lock-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code error;
        fs::remove_all(m_path, error);
    }
    std::string operator/(const std::string& name) const { return (fs::path(m_path) / name); }

private:
    std::string m_path;
};

unsigned ModeOf(const std::string& path)
{
    struct stat info = {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

} // namespace

TEST(ListLock, FolderByTheXdgRules)
{
    const struct
    {
        const char* runtimeDir;
        const char* stateHome;
        const char* home;
        const char* folder;
    } rows[] = {
        {"/run/user/1000", "/home/u/.state", "/home/u", "/run/user/1000/Quillpost"},
        {"/run/user/1000/", nullptr, nullptr, "/run/user/1000/Quillpost"},
        {nullptr, "/home/u/.state", "/home/u", "/home/u/.state/Quillpost"},
        {"", "", "/home/u", "/home/u/.local/state/Quillpost"},
        // Relative values are ignored, as the rules have it.
        {"run", "state", "/home/u", "/home/u/.local/state/Quillpost"},
        {"run", "/s", "home", "/s/Quillpost"},
        {"run", "state", "home", ""},
        {nullptr, nullptr, nullptr, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.runtimeDir ? row.runtimeDir : "(unset)") + " "
            + (row.stateHome ? row.stateHome : "(unset)") + " "
            + (row.home ? row.home : "(unset)"));
        EXPECT_EQ(CListLock::FolderOf(row.runtimeDir, row.stateHome, row.home), row.folder);
    }
}

// Every spelling of one list's path takes one lock; another list, or a list not there yet,
// another.
TEST(ListLock, OneFileForEachList)
{
    ScratchFolder scratch;
    fs::create_directory(scratch / "sub");
    std::ofstream(scratch / "list.xml") << "<data/>";
    fs::create_symlink(scratch / "list.xml", scratch / "link.xml");
    const std::string folder = scratch / "locks";
    const std::string file = CListLock::FileFor(folder, scratch / "list.xml");

    EXPECT_EQ(fs::path(file).parent_path(), fs::path(folder));
    EXPECT_EQ(CListLock::FileFor(folder, scratch / "link.xml"), file);
    EXPECT_EQ(CListLock::FileFor(folder, scratch / "sub/../list.xml"), file);
    EXPECT_EQ(CListLock::FileFor(folder, scratch / "sub/../link.xml"), file);
    EXPECT_NE(CListLock::FileFor(folder, scratch / "other.xml"), file);
    EXPECT_EQ(CListLock::FileFor(folder, scratch / "sub/../new.xml"),
        CListLock::FileFor(folder, scratch / "new.xml"));
    EXPECT_EQ(CListLock::FileFor(std::string(), scratch / "list.xml"), "");
}

// One holder at a time, which the lock names; only its owner may read the folder or the file.
// (The tests of the window and the command line hold it from two processes.)
TEST(ListLock, OneHolderAtATime)
{
    ScratchFolder scratch;
    const std::string folder = scratch / "state/Quillpost";
    const std::string list = scratch / "list.xml";
    std::string reason;

    CListLock first(folder, list);
    ASSERT_EQ(first.TryTake(CListLock::Window, reason), CListLock::Outcome::Taken) << reason;
    EXPECT_TRUE(first.Held());
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(ModeOf(scratch / "state"), 0700u) << "a parent it made";
    EXPECT_EQ(ModeOf(first.Path()), 0600u);

    CListLock second(folder, list);
    EXPECT_EQ(second.TryTake(CListLock::CommandLine, reason), CListLock::Outcome::Busy);
    CListLock::CHolder holder;
    ASSERT_TRUE(second.ReadHolder(holder));
    EXPECT_EQ(holder.m_pid, static_cast<long>(::getpid()));
    EXPECT_EQ(holder.m_strSide, "window");
    EXPECT_EQ(holder.m_strSince.size(), std::string("2026-12-08T13:45:07Z").size())
        << holder.m_strSince;

    first.Release();
    EXPECT_FALSE(second.ReadHolder(holder));
    ASSERT_EQ(second.TryTake(CListLock::CommandLine, reason), CListLock::Outcome::Taken);
    second.Release();

    // Where no folder is known, there is no lock to be had.
    CListLock nowhere(std::string(), list);
    EXPECT_EQ(nowhere.TryTake(CListLock::Window, reason), CListLock::Outcome::Failed);
    EXPECT_NE(reason, "");
}
