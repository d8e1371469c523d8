#include "runs/DesktopNotifier.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

#include <utility>

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

CDesktopNotifier::CDesktopNotifier(QString busAddress, std::chrono::milliseconds budget)
    : m_strBusAddress(std::move(busAddress))
    , m_deadline(budget)
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

void CDesktopNotifier::Tell(std::vector<CStreakAlert>& alerts)
{
    CDesktopNotifier notifier;
    std::vector<CStreakAlert> untold;
    for (CStreakAlert& alert : alerts) {
        if (!notifier.OutOfTime())
            notifier.Notify(alert.m_bFailing ? StreakAlert::Failing : StreakAlert::WorksAgain,
                QString::fromStdString(alert.m_strUrl), QString::fromStdString(alert.m_strReason));
        if (notifier.OutOfTime())
            untold.push_back(std::move(alert));
    }
    alerts = std::move(untold);
}

bool CDesktopNotifier::Connect()
{
    if (m_bus)
        return m_bus->isConnected();
    // One connection a bus for the process, kept from one run to the next.
    const QString name = QStringLiteral("quillpost-notifications ") + m_strBusAddress;
    QDBusConnection kept(name);
    if (kept.isConnected()) {
        m_bus = kept;
        return true;
    }
    QDBusConnection::disconnectFromBus(name);
    const BusProbe::CResult probe = BusProbe::Ask(m_strBusAddress, m_deadline);
    m_bOutOfTime = probe.m_answer == BusProbe::Answer::Mute;
    if (probe.m_answer != BusProbe::Answer::Answered)
        return false;
    m_bus = QDBusConnection::connectToBus(probe.m_strAddress, name);
    return m_bus->isConnected();
}

bool CDesktopNotifier::Send(const QString& summary, const QString& body)
{
    if (m_bOutOfTime || !Connect())
        return false;
    const qint64 left = m_deadline.remainingTime();
    if (left == 0) {
        m_bOutOfTime = true;
        return false;
    }
    QDBusMessage call
        = QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("Notify"));
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the
    // service's own).
    call << QStringLiteral("Quillpost") << 0u << IconName << summary << AsBodyText(body)
         << QStringList() << QVariantMap() << -1;
    const QDBusMessage reply = m_bus->call(call, QDBus::Block, static_cast<int>(left));
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    // No answer in time, from a bus or a service that has gone quiet; another error (no
    // service, a refusal) is an answer, and waiting would not change it.
    const QDBusError::ErrorType error = QDBusError(reply).type();
    m_bOutOfTime = error == QDBusError::NoReply || error == QDBusError::Timeout
        || error == QDBusError::TimedOut;
    return false;
}
