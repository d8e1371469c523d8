// quillpost-window: the program's window, which quillpost starts for any command line that
// is not the command-line program's.
#include "app/QuillpostApp.h"

#include <curl/curl.h>

#include <csignal>

int main(int argc, char** argv)
{
    // libcurl is set up once, before any thread starts; a peer closing a socket must not
    // kill the program, so SIGPIPE is ignored here rather than by each transfer.
    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::signal(SIGPIPE, SIG_IGN);
    CQuillpostApp app(argc, argv);
    const int result = app.InitInstance();
    curl_global_cleanup();
    return result;
}
