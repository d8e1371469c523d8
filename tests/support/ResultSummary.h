#pragma once

#include "core/post/PostResult.h"

#include <string>

// "404 Not Found", "299 Scripted", "Connection refused": the status and reason of a result in
// English, as the tests compare them.
std::string Summary(const CPostResult& result);
