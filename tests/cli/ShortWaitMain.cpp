// The program's command line, set up as main.cpp sets it up, but waiting only a second for
// another run of its list, or for the record, so that a test sees it give up.
#include "cli/CommandLine.h"

#include <curl/curl.h>

#include <chrono>
#include <csignal>

int main(int argc, char** argv)
{
    CCommand::GuardStandardStreams();
    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::signal(SIGPIPE, SIG_IGN);
    CCommandSettings settings;
    settings.m_lockWait = std::chrono::seconds(1);
    settings.m_lockPoll = std::chrono::milliseconds(50);
    settings.m_recordWait = std::chrono::seconds(1);
    const int result = CCommandLine::Run(argc, argv, settings);
    curl_global_cleanup();
    return result;
}
