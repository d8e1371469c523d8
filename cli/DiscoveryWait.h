#pragma once

#include <string>

class CStopSignals;
struct CDiscovery;

// Discovery blocks; a command runs it on a thread of its own and waits for it in an event
// loop, so that a stop signal ends it (the discovery then says it was stopped).
class CDiscoveryWait
{
public:
    static CDiscovery Discover(const std::string& site, CStopSignals& signals);
};
