#include "core/system/HelperPrograms.h"

#include <climits>

#include <unistd.h>

std::vector<std::string> HelperCandidates(const std::string& name)
{
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return {};
    std::string folder(self, static_cast<std::size_t>(length));
    folder.erase(folder.rfind('/') + 1);
    return {folder + name, folder + QUILLPOST_HELPER_FROM_PROGRAM + "/" + name};
}
