#include "core/history/HistoryFile.h"

#include "core/text/TimeText.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string CHistoryFile::SystemError(int errorNumber)
{
    return std::strerror(errorNumber);
}

bool CHistoryFile::Exists(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

bool CHistoryFile::IsOtherThanFile(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

std::string CHistoryFile::WithFolderResolved(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder
        = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    char* real = ::realpath(folder.c_str(), nullptr);
    if (!real)
        return path;
    std::string resolved = real;
    std::free(real);
    if (resolved.back() != '/')
        resolved += '/';
    return resolved + path.substr(slash == std::string::npos ? 0 : slash + 1);
}

std::string CHistoryFile::ImmutableUri(const std::string& path)
{
    std::string uri = "file:";
    constexpr char Hex[] = "0123456789ABCDEF";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || std::strchr("/._-~", c))
            uri += c;
        else
            uri += {'%', Hex[byte >> 4], Hex[byte & 0xf]};
    }
    return uri + "?immutable=1";
}

int CHistoryFile::RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (Exists(to))
        return EEXIST;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

std::string CHistoryFile::UtcDate(CPostHistory::Time time)
{
    const std::string date = IsoUtc(time, IsoPrecision::Day);
    return date.empty() ? "unknown-date" : date;
}

bool CHistoryFile::MoveAside(
    const std::string& path, CPostHistory::Time now, std::string& movedTo, std::string& failure)
{
    const std::string stem = path + ".damaged-" + UtcDate(now);
    // Far more than a user keeps; a bound, so that a file system that always says a name is
    // taken cannot hold the program here.
    constexpr int MostTries = 10000;
    for (int n = 1; n <= MostTries; ++n) {
        const std::string name = n == 1 ? stem : stem + '-' + std::to_string(n);
        if (Exists(name) || Exists(name + "-wal") || Exists(name + "-shm"))
            continue;
        const int rc = RenameNoReplace(path, name);
        if (rc == EEXIST)
            continue;
        if (rc != 0) {
            failure = SystemError(rc);
            return false;
        }
        movedTo = name;
        for (const char* suffix : {"-wal", "-shm"}) {
            const int moved = RenameNoReplace(path + suffix, name + suffix);
            // A -wal or -shm left behind would be taken into the new file.
            if (moved != 0 && moved != ENOENT) {
                failure = SystemError(moved);
                return false;
            }
        }
        return true;
    }
    failure = SystemError(EEXIST);
    return false;
}
