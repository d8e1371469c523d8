#include "runs/DesktopNotifier.h"

#include <QDBusContext>
#include <QElapsedTimer>
#include <QMutex>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <utility>
#include <vector>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");

} // namespace

// A notification service on the test's own bus, living on a thread of its own so that the
// notifier's blocking call can be answered. Silent, it never answers, as a hung service.
class CFakeNotifications : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    std::atomic<bool> m_bSilent{false};

    QList<QVariantList> TakeCalls()
    {
        const QMutexLocker lock(&m_mutex);
        return std::exchange(m_calls, {});
    }

public Q_SLOTS:
    uint Notify(const QString& appName, uint replacesId, const QString& icon,
        const QString& summary, const QString& body, const QStringList& actions,
        const QVariantMap& hints, int expireTimeout)
    {
        if (m_bSilent) {
            setDelayedReply(true);
            return 0;
        }
        const QMutexLocker lock(&m_mutex);
        m_calls.append({appName, replacesId, icon, summary, body, actions, hints, expireTimeout});
        return static_cast<uint>(m_calls.size());
    }

private:
    QMutex m_mutex;
    QList<QVariantList> m_calls;
};

class DesktopNotifierTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void streakOfFailures();
    void serviceMissingOrHung();
    void noBus();

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QThread m_serviceThread;
    CFakeNotifications* m_service = nullptr;
};

void DesktopNotifierTest::initTestCase()
{
    // A bus of the test's own, with no services to start on demand: a notification daemon
    // installed on the machine must not answer for the fake one.
    const QString config = m_dir.filePath("bus.conf");
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                              "<auth>EXTERNAL</auth><policy context=\"default\">"
                              "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                              "<allow own=\"*\"/></policy>"
                              "</busconfig>")
                   .arg(m_dir.path())
                   .toUtf8());
    file.close();
    m_daemon.start(QStringLiteral("dbus-daemon"),
        {QStringLiteral("--config-file=") + config, QStringLiteral("--print-address"),
            QStringLiteral("--nofork")});
    QVERIFY2(m_daemon.waitForStarted(), "dbus-daemon (Debian package dbus-daemon) is missing");
    while (!m_daemon.canReadLine())
        QVERIFY(m_daemon.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    // The notifier's default, the session bus, is this one for the rest of the test.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());

    QDBusConnection serviceBus = QDBusConnection::connectToBus(address, "service");
    QVERIFY(serviceBus.isConnected());
    m_service = new CFakeNotifications;
    m_service->moveToThread(&m_serviceThread);
    connect(&m_serviceThread, &QThread::finished, m_service, &QObject::deleteLater);
    m_serviceThread.start();
    QVERIFY(serviceBus.registerObject(
        "/org/freedesktop/Notifications", m_service, QDBusConnection::ExportAllSlots));
    QVERIFY(serviceBus.registerService(Service));
}

void DesktopNotifierTest::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus("service");
    m_serviceThread.quit();
    m_serviceThread.wait();
    m_daemon.terminate();
    m_daemon.waitForFinished();
}

void DesktopNotifierTest::streakOfFailures()
{
    const QString url = QStringLiteral("https://search.example/indexnow");
    CDesktopNotifier notifier;
    std::vector<PostOutcome> record;
    for (const PostOutcome run :
        {PostOutcome::Failed, PostOutcome::NotPosted, PostOutcome::Unchanged, PostOutcome::Failed,
            PostOutcome::Failed, PostOutcome::Succeeded, PostOutcome::Succeeded}) {
        record.push_back(run);
        // Markup from a service shows as text, never as a link.
        notifier.Notify(
            FailureStreakAlert(record), url, QStringLiteral("403 <a href=\"x\">&amp;</a>"));
    }
    const auto call = [](const QString& summary, const QString& body) {
        return QVariantList{QStringLiteral("Quillpost"), 0u,
            QStringLiteral("example.quillpost.Quillpost"), summary, body, QStringList(),
            QVariantMap(), -1};
    };
    QCOMPARE(m_service->TakeCalls(),
        QList<QVariantList>({call("Quillpost: posting failed 3 times",
                                 url + ": 403 &lt;a href=\"x\"&gt;&amp;amp;&lt;/a&gt;"),
            call("Quillpost: posting works again", url)}));
}

void DesktopNotifierTest::serviceMissingOrHung()
{
    CDesktopNotifier notifier;
    QDBusConnection serviceBus("service");
    QVERIFY(serviceBus.unregisterService(Service));
    QVERIFY(!notifier.Notify(StreakAlert::WorksAgain, "https://hub.example/", QString()));
    QVERIFY(serviceBus.registerService(Service));

    // Not a measure of speed: without its own bound the call would wait D-Bus's 25 s.
    m_service->m_bSilent = true;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!notifier.Notify(StreakAlert::WorksAgain, "https://hub.example/", QString()));
    QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));
    m_service->m_bSilent = false;
    QVERIFY(m_service->TakeCalls().isEmpty());
}

void DesktopNotifierTest::noBus()
{
    const QString nowhere = QStringLiteral("unix:path=") + m_dir.filePath("no-bus");
    CDesktopNotifier notifier(QDBusConnection::connectToBus(nowhere, "nowhere"));
    QVERIFY(!notifier.Notify(StreakAlert::Failing, "https://hub.example/", "Connection refused"));
}

QTEST_GUILESS_MAIN(DesktopNotifierTest)
#include "DesktopNotifierTest.moc"
