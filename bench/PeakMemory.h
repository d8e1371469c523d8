#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

// The peak resident memory of this process since its exec, in KiB. Not getrusage's, which
// keeps the peak of the process that forked it until the exec: a benchmark that measures in a
// child it starts afresh reads this there.
inline long PeakSinceExec()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    long peak = 0;
    while (status && std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "VmHWM: %ld kB", &peak) == 1)
            break;
    }
    if (status)
        std::fclose(status);
    return peak;
}

// Runs this program again, arguments[0] being the name it is given, adding what it printed to
// said; false when it could not start or did not end with 0. A child so started reads its own
// peak.
inline bool RunSelf(const std::vector<std::string>& arguments, std::string& said)
{
    int output[2];
    if (pipe(output) != 0)
        return false;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(output[1], STDOUT_FILENO);
        close(output[0]);
        close(output[1]);
        execv("/proc/self/exe", argv.data());
        _exit(127);
    }
    close(output[1]);
    char buffer[512];
    for (ssize_t got; (got = read(output[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, static_cast<std::size_t>(got));
    close(output[0]);
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)
        && WEXITSTATUS(status) == 0;
}
