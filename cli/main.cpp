// quillpost-cli: the program's command line (quillpost --submit-all and the other options),
// which quillpost hands over to. It links Qt Core only, so a run from a timer maps no widgets.
#include "cli/CommandLine.h"

#include <curl/curl.h>

#include <csignal>

int main(int argc, char** argv)
{
    CCommand::GuardStandardStreams();
    // libcurl is set up once, before any thread starts; a peer closing a socket must not
    // kill the program, so SIGPIPE is ignored here rather than by each transfer.
    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::signal(SIGPIPE, SIG_IGN);
    const int result = CCommandLine::Run(argc, argv);
    curl_global_cleanup();
    return result;
}
