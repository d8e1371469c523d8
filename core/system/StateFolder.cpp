#include "core/system/StateFolder.h"

#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A path that names the same folder from any working folder.
bool IsAbsolute(const std::string& path)
{
    return !path.empty() && path.front() == '/';
}

// "/a//b/./c/../" as "/a/b".
std::string Clean(const std::string& path)
{
    std::string clean = std::filesystem::path(path).lexically_normal().string();
    while (clean.size() > 1 && clean.back() == '/')
        clean.pop_back();
    return clean;
}

} // namespace

CStateFolder StateFolderOf(
    const std::string& xdgStateHome, const std::string& home, const std::string& appFolder)
{
    if (IsAbsolute(xdgStateHome))
        return {Clean(xdgStateHome + '/' + appFolder), {}};
    if (IsAbsolute(home))
        return {Clean(home + "/.local/state/" + appFolder), {}};
    // Whole sentences, so that a translation can word each as it needs.
    CText unknown;
    if (xdgStateHome.empty()) {
        unknown = home.empty()
            ? CText(QT_TRANSLATE_NOOP("Quillpost", "HOME is not set"))
            : CText(QT_TRANSLATE_NOOP("Quillpost", "HOME (%1) is not an absolute path"), {home});
    } else {
        unknown = home.empty()
            ? CText(QT_TRANSLATE_NOOP("Quillpost",
                        "XDG_STATE_HOME (%1) is not an absolute path, and HOME is not set"),
                {xdgStateHome})
            : CText(QT_TRANSLATE_NOOP("Quillpost",
                        "XDG_STATE_HOME (%1) is not an absolute path, and HOME (%2) is not an "
                        "absolute path"),
                {xdgStateHome, home});
    }
    return {std::string(), unknown};
}

int MakePrivateFolder(const std::string& folder)
{
    if (folder.empty())
        return ENOENT;
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        const bool last = end == std::string::npos;
        if (::mkdir(part.c_str(), 0700) == 0) {
            // The umask may have taken bits away, even the owner's own; what was just made
            // is no link, and is opened as such in case it was swapped for one since.
            const int fd = ::open(part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            const bool privateNow = fd >= 0 && ::fchmod(fd, 0700) == 0;
            const int error = errno;
            if (fd >= 0)
                ::close(fd);
            if (!privateNow)
                return error;
        } else if (errno != EEXIST) {
            return errno;
        } else if (last) {
            // Something is there: it has to be a folder, or a link to one.
            struct stat info;
            if (::stat(part.c_str(), &info) != 0)
                return errno;
            if (!S_ISDIR(info.st_mode))
                return ENOTDIR;
        }
        // A part that is no folder makes the next mkdir fail with ENOTDIR.
        if (last)
            return 0;
    }
}
