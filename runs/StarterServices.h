#pragma once

#include "data/DataFile.h"

// The well-known services a list can start from, as the program ships them: a WebSub hub,
// XML-RPC ping services and IndexNow. They hold placeholders for the user's own site and
// key (core/target/Placeholders.h), so none is posted until the user has put those in.
TargetRecords StarterServices();
