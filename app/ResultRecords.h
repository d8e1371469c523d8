#pragma once

#include "core/ResultRecord.h"

class CSubmitHost;
struct CPostResult;

// A target's result as output for other programs carries it: in English whatever the user's
// language, with the body kind as the data file writes it.
CResultRecord RecordOf(const CSubmitHost& host, const CPostResult& result);
