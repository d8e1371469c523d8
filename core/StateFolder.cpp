#include "core/StateFolder.h"

#include <filesystem>

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
