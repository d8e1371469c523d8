#include "cli/CommandMode.h"

#include "runs/ProgramFolders.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

namespace CommandMode {

namespace {

constexpr char CommandProgram[] = "quillpost-cli";
const char* const OwnOptions[]
    = {"--submit-all", "--check-keys", "--history", "--help", "-h", "--version"};

// "--submit-all", and "--submit-all=x", which the command line then refuses with its usage.
bool IsOwnOption(const char* argument)
{
    for (const char* option : OwnOptions) {
        const std::size_t length = std::strlen(option);
        if (std::strncmp(argument, option, length) == 0
            && (argument[length] == '\0' || argument[length] == '='))
            return true;
    }
    return false;
}

} // namespace

bool Wanted(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (IsOwnOption(argv[i]))
            return true;
    }
    return false;
}

int HandOver(char** argv)
{
    int error = ENOENT;
    for (const std::string& candidate : ProgramFolders::HelperCandidates(CommandProgram)) {
        ::execv(candidate.c_str(), argv);
        // A candidate that is not there leaves the reason of one that is.
        if (errno != ENOENT || error == ENOENT)
            error = errno;
    }
    std::fprintf(stderr, "quillpost: the command-line program %s cannot be started: %s\n",
        CommandProgram, std::strerror(error));
    return 2;
}

} // namespace CommandMode
