#include "app/QuillpostApp.h"
#include "app/SubmitCommand.h"

#include <curl/curl.h>

#include <csignal>

int main(int argc, char** argv)
{
    CSubmitCommand::GuardStandardStreams();
    // libcurl is set up once, before any thread starts; a peer closing a socket must not
    // kill the program, so SIGPIPE is ignored here rather than by each transfer.
    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::signal(SIGPIPE, SIG_IGN);

    // Arguments ask for the command line, which makes an application object without a GUI;
    // so this is decided before any exists.
    int result = 0;
    if (CSubmitCommand::Wanted(argc)) {
        result = CSubmitCommand::Run(argc, argv);
    } else {
        CQuillpostApp app(argc, argv);
        result = app.InitInstance();
    }
    curl_global_cleanup();
    return result;
}
