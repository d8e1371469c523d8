#pragma once

// What the program's main does before any post, for test programs that post: libcurl set up
// once before any thread starts, and SIGPIPE ignored so a peer that hangs up mid-write (TLS
// writes do not use MSG_NOSIGNAL) cannot end the test. Safe to call more than once.
void PrepareCurl();
