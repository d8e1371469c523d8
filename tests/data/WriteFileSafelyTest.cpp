// WriteFileSafely keeps the data file's rules for any file: nothing but a regular file is
// replaced, a link to one is kept, and the file keeps its permissions.
#include "DataTestSupport.h"

#include "data/FileAccess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace datatest;

namespace {

constexpr const char* NewBytes = "url,body\r\nhttps://a.example/,form\r\n";

struct Case
{
    const char* name;
    // Puts something at path (in folder) before the write; false when it cannot.
    std::function<bool(const std::string& folder, const std::string& path)> setUp;
    // The reason for a refusal; empty when the write succeeds.
    const char* refused;
    // What is at path afterwards: the mode a file or its link's target has, or what kind of
    // thing was left in place.
    const char* after;
};

bool WriteMode(const std::string& path, mode_t mode)
{
    WriteBytes(path, "old");
    return ::chmod(path.c_str(), mode) == 0;
}

std::string Octal(mode_t mode)
{
    return std::to_string((mode >> 6) & 7) + std::to_string((mode >> 3) & 7)
        + std::to_string(mode & 7);
}

// What is at path now, as the table says it.
std::string Found(const std::string& path)
{
    struct stat link = {};
    struct stat end = {};
    if (::lstat(path.c_str(), &link) != 0)
        return "nothing";
    const bool linked = S_ISLNK(link.st_mode);
    if (::stat(path.c_str(), &end) != 0)
        return "broken link";
    const std::string prefix = linked ? "link to " : "";
    if (S_ISFIFO(end.st_mode))
        return prefix + "fifo";
    if (S_ISCHR(end.st_mode))
        return prefix + "device";
    if (S_ISDIR(end.st_mode))
        return prefix + "folder";
    return prefix + Octal(end.st_mode & 0777);
}

const Case Cases[] = {
    {"new file", [](const std::string&, const std::string&) { return true; }, "", "644"},
    {"private file",
        [](const std::string&, const std::string& path) { return WriteMode(path, 0600); }, "",
        "600"},
    // More than the umask lets a new file have: the old file's bits all the same.
    {"file open to all",
        [](const std::string&, const std::string& path) { return WriteMode(path, 0666); }, "",
        "666"},
    // Written over as root, or by its owner through a folder of theirs: still read-only.
    {"read-only file",
        [](const std::string&, const std::string& path) { return WriteMode(path, 0444); }, "",
        "444"},
    {"link to a file",
        [](const std::string& folder, const std::string& path) {
            return WriteMode(folder + "/target", 0640) && ::symlink("target", path.c_str()) == 0;
        },
        "", "link to 640"},
    {"fifo",
        [](const std::string&, const std::string& path) {
            return ::mkfifo(path.c_str(), 0644) == 0;
        },
        "not a regular file", "fifo"},
    // A node of the null device of the test's own: should the write go through the link
    // after all, as root it would replace the device itself, and the system's would be gone.
    {"link to a device",
        [](const std::string& folder, const std::string& path) {
            const std::string node = folder + "/null";
            return ::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0
                && ::symlink("null", path.c_str()) == 0;
        },
        "not a regular file", "link to device"},
    {"folder",
        [](const std::string&, const std::string& path) {
            return ::mkdir(path.c_str(), 0755) == 0;
        },
        "not a regular file", "folder"},
};

} // namespace

TEST(WriteFileSafely, KeepsTheDataFilesRules)
{
    const mode_t umask = ::umask(022);
    for (const Case& row : Cases) {
        SCOPED_TRACE(row.name);
        TempFolder folder;
        const std::string path = folder.File("results.csv");
        if (!row.setUp(folder.Path(), path)) {
            // Making a device node needs a right containers often withhold.
            std::printf("skipped: %s cannot be made here\n", row.name);
            continue;
        }
        std::string reason;
        const bool written = FileAccess::WriteFileSafely(path, NewBytes, reason);
        EXPECT_EQ(written, *row.refused == '\0') << reason;
        EXPECT_EQ(reason, written ? "" : row.refused);
        EXPECT_EQ(Found(path), row.after);
        if (written) {
            EXPECT_EQ(ReadBytes(path), NewBytes);
        }
        // Nothing is left beside it, written or not.
        for (const std::string& name : ListFolder(folder.Path()))
            EXPECT_TRUE(name == "results.csv" || name == "target" || name == "null") << name;
    }
    ::umask(umask);
}
