#pragma once

#include <QCoreApplication>

#include <memory>
#include <string>

class CListLock;
class CStopSignals;
struct CCommandSettings;

// A run of the command line holds its list's lock (CListLock) from before it reads the list
// until it exits. One that finds the lock held waits for it, at most the settings' wait, and
// says so on standard error; a stop signal ends the wait.
class CListWait
{
    Q_DECLARE_TR_FUNCTIONS(CListWait)

public:
    enum class Outcome
    {
        // The run may go on: the lock is held, or there is none to be had, which was said.
        Held,
        // Another run held it all the time, which was said.
        Busy,
        // A stop signal came first.
        Stopped,
    };

    // Takes the lock of the list at path, waiting for another run to let go of it; lock then
    // holds it for as long as it lives. No list and nowhere to keep one: nothing to keep apart.
    static Outcome Take(const std::string& path, const CCommandSettings& settings,
        CStopSignals& signals, std::unique_ptr<CListLock>& lock);
};
