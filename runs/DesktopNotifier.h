#pragma once

#include "core/FailureStreak.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QString>

// Tells the user through the desktop's notification service (org.freedesktop.Notifications)
// when a target keeps failing and when it works again. Without a bus or a service nothing is
// shown and nothing fails.
//
// Each notification is a blocking call bounded by CallTimeoutMs, so one sent just before the
// command line exits is delivered, and a bus that does not answer holds a run up no longer.
class CDesktopNotifier
{
    Q_DECLARE_TR_FUNCTIONS(CDesktopNotifier)

public:
    static constexpr int CallTimeoutMs = 2000;

    // bus: where the notification service is; a test hands in a private bus.
    explicit CDesktopNotifier(const QDBusConnection& bus = QDBusConnection::sessionBus());

    // What FailureStreakAlert found for the target at url in the latest run; reason: why that
    // run failed, in the user's language. True when the service took a notification.
    bool Notify(StreakAlert alert, const QString& url, const QString& reason);

private:
    bool Send(const QString& summary, const QString& body);

    QDBusConnection m_bus;
};
