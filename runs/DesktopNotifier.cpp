#include "runs/DesktopNotifier.h"

#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
// The program's icon, by the name it is installed under.
const QString IconName = QStringLiteral("example.quillpost.Quillpost");

// The service reads a body as markup: what a service or the list wrote must show as text,
// never as a link or an image.
QString AsBodyText(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&amp;"))
        .replace(QLatin1Char('<'), QStringLiteral("&lt;"))
        .replace(QLatin1Char('>'), QStringLiteral("&gt;"));
}

} // namespace

CDesktopNotifier::CDesktopNotifier(const QDBusConnection& bus)
    : m_bus(bus)
{
}

bool CDesktopNotifier::Notify(StreakAlert alert, const QString& url, const QString& reason)
{
    switch (alert) {
    case StreakAlert::None:
        return false;
    case StreakAlert::Failing:
        //: A desktop notification's title; the text below it names the address and why
        return Send(tr("Quillpost: posting failed %1 times").arg(FailuresToAlert),
            QStringLiteral("%1: %2").arg(url, reason));
    case StreakAlert::WorksAgain:
        //: A desktop notification's title; the text below it is the address
        return Send(tr("Quillpost: posting works again"), url);
    }
    return false;
}

bool CDesktopNotifier::Send(const QString& summary, const QString& body)
{
    if (!m_bus.isConnected())
        return false;
    QDBusMessage call
        = QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("Notify"));
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the
    // service's own).
    call << QStringLiteral("Quillpost") << 0u << IconName << summary << AsBodyText(body)
         << QStringList() << QVariantMap() << -1;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, CallTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}
