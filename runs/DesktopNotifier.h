#pragma once

#include "core/history/FailureStreak.h"
#include "runs/BusProbe.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QString>

#include <chrono>
#include <optional>
#include <vector>

// Tells the user through the desktop's notification service (org.freedesktop.Notifications)
// when a target keeps failing and when it works again. Without a bus or a service nothing is
// shown and nothing fails.
//
// One object connects, and sends all it is given, within one budget from its making: a bus
// that does not answer costs a run that much and no more, however many notifications it has
// (each is a blocking call, so that one sent just before the command line exits is
// delivered). What is not told by then is for the caller to send again later (OutOfTime).
// Several objects, on any threads, share one connection to a bus.
class CDesktopNotifier
{
    Q_DECLARE_TR_FUNCTIONS(CDesktopNotifier)

public:
    static constexpr std::chrono::milliseconds Budget{2000};

    // busAddress: where the notification service is, as D-Bus writes addresses; a test hands
    // in a private bus, and a smaller budget.
    explicit CDesktopNotifier(QString busAddress = BusProbe::SessionBusAddress(),
        std::chrono::milliseconds budget = Budget);

    // What FailureStreakAlert found for the target at url in the latest run; reason: why that
    // run failed, in the user's language. True when the service took a notification.
    bool Notify(StreakAlert alert, const QString& url, const QString& reason);
    // Tells the alerts within one budget, leaving in alerts those it could not tell in time.
    static void Tell(std::vector<CStreakAlert>& alerts);

    // The budget ran out before the bus or the service answered: the notification that was
    // waiting for them was perhaps not shown, and none is sent from now on.
    bool OutOfTime() const { return m_bOutOfTime; }

private:
    bool Send(const QString& summary, const QString& body);
    // The connection to the bus, made at the first notification; none when there is no bus.
    bool Connect();

    const QString m_strBusAddress;
    const QDeadlineTimer m_deadline;
    std::optional<QDBusConnection> m_bus;
    bool m_bOutOfTime = false;
};
