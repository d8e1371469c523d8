#pragma once

#include <string>

// A new IndexNow key: 32 lowercase hexadecimal digits from the system's source of randomness,
// for the IndexNow Key dialog and for setting up a site alike.
std::string NewIndexNowKey();
