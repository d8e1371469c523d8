#pragma once

#include <cstdio>

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
