#include "cli/ListWait.h"

#include "cli/Command.h"
#include "cli/StopSignals.h"
#include "core/system/ListLock.h"
#include "runs/ListHolderText.h"

#include <QEventLoop>
#include <QTimer>

CListWait::Outcome CListWait::Take(const std::string& path, const CCommandSettings& settings,
    CStopSignals& signals, std::unique_ptr<CListLock>& lock)
{
    if (path.empty())
        return Outcome::Held;
    lock = std::make_unique<CListLock>(CListLock::UserFolder(), path);
    std::string reason;
    CListLock::Outcome outcome = lock->TryTake(CListLock::CommandLine, reason);
    if (outcome == CListLock::Outcome::Busy) {
        CCommand::Say(tr("This list is being posted by %1; waiting for it to end.")
                          .arg(CListHolderText::Of(*lock)));
        // In an event loop, so that a stop signal ends the wait.
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            outcome = lock->TryTake(CListLock::CommandLine, reason);
            if (outcome != CListLock::Outcome::Busy)
                loop.quit();
        });
        poll.start(settings.m_lockPoll);
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        deadline.start(settings.m_lockWait);
        QObject::connect(&signals, &CStopSignals::Stopped, &loop, &QEventLoop::quit);
        if (!signals.Take())
            loop.exec();
    }
    if (signals.Status())
        return Outcome::Stopped;
    if (outcome == CListLock::Outcome::Busy) {
        CCommand::Say(tr("This list is still being posted by %1; nothing was posted.")
                          .arg(CListHolderText::Of(*lock)));
        return Outcome::Busy;
    }
    // Where no lock can be had the list is posted all the same, as before there were locks.
    if (outcome == CListLock::Outcome::Failed)
        CCommand::Say(tr("Runs of this list are not kept apart: %1.")
                          .arg(QString::fromLocal8Bit(reason.c_str())));
    return Outcome::Held;
}
