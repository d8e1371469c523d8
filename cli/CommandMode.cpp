#include "cli/CommandMode.h"

#include "cli/CommandList.h"
#include "core/system/HelperPrograms.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

namespace CommandMode {

namespace {

// The options that name the commands, each as its command is registered, so that a new one
// comes here too; and the help and the version.
#define QUILLPOST_DASHED(name, Class) "--" name,
const char* const OwnOptions[] = {QUILLPOST_COMMANDS(QUILLPOST_DASHED) "--help", "-h", "--version"};
#undef QUILLPOST_DASHED

// An option Qt's window takes from the command line, by its name after the dash.
struct CQtOption
{
    const char* m_strName;
    // The next argument is its value.
    bool m_bValue;
    // It also takes its value as "name=value".
    bool m_bJoined;
};

// Those of QCoreApplication, QGuiApplication, QApplication and the X11 platform.
const CQtOption QtOptions[] = {
    {"platform", true, false},
    {"platformpluginpath", true, false},
    {"platformtheme", true, false},
    {"plugin", true, false},
    {"qwindowgeometry", true, false},
    {"geometry", true, false},
    {"qwindowtitle", true, false},
    {"title", true, false},
    {"qwindowicon", true, false},
    {"icon", true, false},
    {"session", true, false},
    {"style", true, true},
    {"stylesheet", true, true},
    {"qmljsdebugger", true, true},
    {"display", true, false},
    {"name", true, false},
    {"visual", true, false},
    {"reverse", false, false},
    {"testability", false, false},
    {"widgetcount", false, false},
    {"qdevel", false, false},
    {"qdebug", false, false},
    {"nograb", false, false},
    {"dograb", false, false},
};

// "name" or "name=value" for name, with its value joined.
bool Names(const char* argument, const char* name, bool joined)
{
    const std::size_t length = std::strlen(name);
    return std::strncmp(argument, name, length) == 0
        && (argument[length] == '\0' || (joined && argument[length] == '='));
}

// "--submit-all", and "--submit-all=x", which the command line then refuses with its usage.
bool IsOwnOption(const char* argument)
{
    for (const char* option : OwnOptions) {
        if (Names(argument, option, true))
            return true;
    }
    return false;
}

// Qt's option that argument (after its first dash) is, if it is one.
const CQtOption* QtOptionOf(const char* argument)
{
    for (const CQtOption& option : QtOptions) {
        if (Names(argument, option.m_strName, option.m_bJoined))
            return &option;
    }
    return nullptr;
}

} // namespace

bool Wanted(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (IsOwnOption(argv[i]))
            return true;
    }
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (argument[0] != '-' || std::strcmp(argument, "--") == 0)
            continue;
        const bool twoDashes = argument[1] == '-';
        const CQtOption* option = QtOptionOf(argument + (twoDashes ? 2 : 1));
        if (!option && twoDashes)
            return true;
        // Its value is Qt's too, whatever it looks like.
        if (option && option->m_bValue && !std::strchr(argument, '='))
            ++i;
    }
    return false;
}

int HandOver(const char* program, char** argv)
{
    int error = ENOENT;
    for (const std::string& candidate : HelperCandidates(program)) {
        ::execv(candidate.c_str(), argv);
        // A candidate that is not there leaves the reason of one that is.
        if (errno != ENOENT || error == ENOENT)
            error = errno;
    }
    std::fprintf(stderr, "quillpost: %s cannot be started: %s\n", program, std::strerror(error));
    return 2;
}

} // namespace CommandMode
