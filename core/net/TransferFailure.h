#pragma once

#include "core/net/PostLimits.h"
#include "core/text/Text.h"

#include <curl/curl.h>

#include <chrono>

// Why a transfer gave no usable answer, in the plain words the user reads: a post and the
// check of an IndexNow key file say the same of the same failure.
//
// curl: the transfer's easy handle, or null when it could not be set up. reachedServer: a
// connection was made, although libcurl may not have counted it as connected (in a TLS
// handshake). spent: how long the transfer has been going, which tells the limit on the
// whole from a stall.
CText TransferFailureText(CURLcode code, CURL* curl, const CPostLimits& limits, bool reachedServer,
    std::chrono::steady_clock::duration spent);

// A CURLOPT_CLOSESOCKETFUNCTION that closes the socket and sets the bool that reachedServer
// points to when the socket had a peer, for TransferFailureText.
int CloseSocketNotingPeer(void* reachedServer, curl_socket_t socket);

// What a post or a read that Stop ended comes to.
CText StoppedText();
