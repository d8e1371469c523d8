#include "tests/support/CurlSetup.h"

#include <curl/curl.h>

#include <csignal>

void PrepareCurl()
{
    static const bool done = [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        std::signal(SIGPIPE, SIG_IGN);
        return true;
    }();
    (void)done;
}
