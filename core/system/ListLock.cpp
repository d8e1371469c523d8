#include "core/system/ListLock.h"

#include "core/system/StateFolder.h"
#include "core/text/TimeText.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* AppFolder = "Quillpost";

// FNV-1a: short, and the same on every machine, which std::hash need not be.
std::uint64_t Hash(const std::string& text)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string UtcNow()
{
    const std::string now = IsoUtc(std::chrono::system_clock::now(), IsoPrecision::Seconds);
    return now.empty() ? "-" : now;
}

} // namespace

std::string CListLock::FolderOf(const char* runtimeDir, const char* stateHome, const char* home)
{
    // The runtime folder only its user may enter, and on a file system in memory, is made
    // for exactly this; the state folder serves where there is none (no login session).
    if (runtimeDir && runtimeDir[0] == '/')
        return (fs::path(runtimeDir) / AppFolder).lexically_normal().string();
    return StateFolderOf(stateHome ? stateHome : "", home ? home : "", AppFolder).m_strPath;
}

std::string CListLock::UserFolder()
{
    return FolderOf(
        std::getenv("XDG_RUNTIME_DIR"), std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
}

std::string CListLock::FileFor(const std::string& folder, const std::string& listPath)
{
    if (folder.empty() || listPath.empty())
        return std::string();
    // Links and ".." are followed as far as the path exists: a list not there yet is named
    // as it will be.
    std::error_code error;
    fs::path absolute = fs::absolute(listPath, error);
    if (error)
        absolute = listPath;
    fs::path canonical = fs::weakly_canonical(absolute, error);
    if (error)
        canonical = absolute.lexically_normal();
    char name[40];
    std::snprintf(name, sizeof name, "list-%016llx.lock",
        static_cast<unsigned long long>(Hash(canonical.string())));
    return (fs::path(folder) / name).string();
}

std::string CListLock::HolderLine(const CHolder& holder)
{
    return std::to_string(holder.m_pid) + ' ' + holder.m_strSide + ' ' + holder.m_strSince;
}

bool CListLock::ParseHolder(const std::string& line, CHolder& holder)
{
    const std::size_t first = line.find(' ');
    const std::size_t last = line.rfind(' ');
    if (first == std::string::npos || first == 0 || last <= first + 1 || last + 1 == line.size()
        || line.find('\n') != std::string::npos)
        return false;
    long pid = 0;
    for (std::size_t i = 0; i < first; ++i) {
        if (line[i] < '0' || line[i] > '9' || pid > 99999999)
            return false;
        pid = pid * 10 + (line[i] - '0');
    }
    if (pid == 0)
        return false;
    holder.m_pid = pid;
    holder.m_strSide = line.substr(first + 1, last - first - 1);
    holder.m_strSince = line.substr(last + 1);
    return true;
}

CListLock::CListLock(std::string folder, const std::string& listPath)
    : m_strFolder(std::move(folder))
    , m_strPath(FileFor(m_strFolder, listPath))
{
}

CListLock::~CListLock()
{
    Release();
}

bool CListLock::MakeFolder(std::string& reason) const
{
    if (const int made = MakePrivateFolder(m_strFolder); made != 0) {
        reason = "the folder " + m_strFolder + " could not be made: " + std::strerror(made);
        return false;
    }
    // Which lists a user posts is theirs alone, even in a folder made before.
    struct stat info = {};
    if (::stat(m_strFolder.c_str(), &info) == 0 && (info.st_mode & 07777) != 0700
        && info.st_uid == ::geteuid())
        ::chmod(m_strFolder.c_str(), 0700);
    return true;
}

CListLock::Outcome CListLock::TryTake(const std::string& side, std::string& reason)
{
    if (m_fd >= 0)
        return Outcome::Taken;
    if (m_strPath.empty()) {
        reason = "no folder for it is known: XDG_RUNTIME_DIR, XDG_STATE_HOME and HOME are "
                 "not set, or not absolute paths";
        return Outcome::Failed;
    }
    if (!MakeFolder(reason))
        return Outcome::Failed;
    const int fd = ::open(m_strPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        reason = m_strPath + ": " + std::strerror(errno);
        return Outcome::Failed;
    }
    struct stat info = {};
    if (::fstat(fd, &info) == 0 && (info.st_mode & 07777) != 0600)
        ::fchmod(fd, 0600);
    int locked = 0;
    do
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return Outcome::Busy;
        reason = m_strPath + ": " + std::strerror(error);
        return Outcome::Failed;
    }
    m_fd = fd;
    // Only what others are told; the lock holds whether or not it is written.
    CHolder holder;
    holder.m_pid = static_cast<long>(::getpid());
    holder.m_strSide = side;
    holder.m_strSince = UtcNow();
    const std::string line = HolderLine(holder) + '\n';
    if (::ftruncate(fd, 0) == 0)
        (void)!::pwrite(fd, line.data(), line.size(), 0);
    return Outcome::Taken;
}

void CListLock::Release()
{
    if (m_fd < 0)
        return;
    // The file is never removed: a run that has just opened it would lock a file no other
    // run finds any more.
    (void)!::ftruncate(m_fd, 0);
    ::close(m_fd);
    m_fd = -1;
}

bool CListLock::ReadHolder(CHolder& holder) const
{
    if (m_strPath.empty())
        return false;
    const int fd = ::open(m_strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    char text[512];
    ssize_t got = 0;
    do
        got = ::pread(fd, text, sizeof text, 0);
    while (got < 0 && errno == EINTR);
    ::close(fd);
    if (got <= 0)
        return false;
    std::string line(text, static_cast<std::size_t>(got));
    const std::size_t end = line.find('\n');
    if (end == std::string::npos)
        return false;
    line.resize(end);
    return ParseHolder(line, holder);
}
