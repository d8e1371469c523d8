#include "runs/DesktopNotifier.h"

#include "core/history/PostHistory.h"
#include "core/net/PostLimits.h"
#include "core/target/SubmitHost.h"
#include "runs/SubmitRuns.h"
#include "runs/TargetList.h"
#include "tests/support/LocalServer.h"

#include <QDBusContext>
#include <QElapsedTimer>
#include <QMutex>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cstring>

#include <atomic>
#include <chrono>
#include <utility>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");

// A bus that takes connections and never says a word, as a stopped daemon does.
class CMuteSocket
{
public:
    explicit CMuteSocket(const QString& path)
        : m_strPath(QFile::encodeName(path))
        , m_fd(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, m_strPath.constData(), std::size_t(m_strPath.size()));
        m_bListening = ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
            && ::listen(m_fd, 16) == 0;
    }
    ~CMuteSocket()
    {
        ::close(m_fd);
        ::unlink(m_strPath.constData());
    }
    bool Listening() const { return m_bListening; }

private:
    const QByteArray m_strPath;
    int m_fd;
    bool m_bListening = false;
};

} // namespace

// A notification service on the test's own bus, living on a thread of its own so that the
// notifier's blocking call can be answered. Silent, it never answers, as a hung service.
class CFakeNotifications : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    std::atomic<bool> m_bSilent{false};
    // Calls that came, answered or not.
    std::atomic<int> m_received{0};

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
        ++m_received;
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
    void oneBudgetForARun_data();
    void oneBudgetForARun();
    void toldWithTheNextRun();
    void runsWithoutAReceiver_data();
    void runsWithoutAReceiver();

private:
    QTemporaryDir m_dir;
    QString m_strAddress;
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
    m_strAddress = QString::fromUtf8(m_daemon.readLine()).trimmed();
    // The notifier's default, the session bus, is this one for the rest of the test.
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_strAddress.toUtf8());

    QDBusConnection serviceBus = QDBusConnection::connectToBus(m_strAddress, "service");
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
    CDesktopNotifier notifier(nowhere);
    QVERIFY(!notifier.Notify(StreakAlert::Failing, "https://hub.example/", "Connection refused"));
}

void DesktopNotifierTest::oneBudgetForARun_data()
{
    QTest::addColumn<QString>("bus"); // DAEMON: the test's own; MUTE: a mute socket
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("registered");
    QTest::addColumn<int>("told");
    QTest::addColumn<bool>("outOfTime");
    QTest::addColumn<int>("received"); // by the service

    QTest::newRow("service answers") << "DAEMON" << false << true << 3 << false << 3;
    // One call waits the budget out; the others would each have waited as long.
    QTest::newRow("silent service") << "DAEMON" << true << true << 0 << true << 1;
    QTest::newRow("no service") << "DAEMON" << false << false << 0 << false << 0;
    QTest::newRow("mute bus") << "MUTE" << false << true << 0 << true << 0;
    QTest::newRow("no bus") << "unix:path=DIR/no-bus" << false << true << 0 << false << 0;
    QTest::newRow("no address") << "" << false << true << 0 << false << 0;
    // A connection that could not be kept to the budget is not tried.
    QTest::newRow("not a unix socket")
        << "tcp:host=127.0.0.1,port=1" << false << true << 0 << false << 0;
}

// Connecting and every notification of a run share one budget, whatever the bus does.
void DesktopNotifierTest::oneBudgetForARun()
{
    QFETCH(QString, bus);
    QFETCH(bool, silent);
    QFETCH(bool, registered);
    QFETCH(int, told);
    QFETCH(bool, outOfTime);
    QFETCH(int, received);

    const CMuteSocket mute(m_dir.filePath("mute"));
    QVERIFY(mute.Listening());
    bus.replace("DAEMON", m_strAddress)
        .replace("MUTE", "unix:path=" + m_dir.filePath("mute"))
        .replace("DIR", m_dir.path());
    QDBusConnection serviceBus("service");
    if (!registered)
        QVERIFY(serviceBus.unregisterService(Service));
    m_service->m_bSilent = silent;
    m_service->m_received = 0;

    CDesktopNotifier notifier(bus, std::chrono::milliseconds(500));
    int took = 0;
    for (int i = 0; i < 3; ++i)
        took += notifier.Notify(StreakAlert::Failing, "https://hub.example/", "refused") ? 1 : 0;
    m_service->m_bSilent = false;
    if (!registered)
        QVERIFY(serviceBus.registerService(Service));
    QCOMPARE(took, told);
    QCOMPARE(notifier.OutOfTime(), outOfTime);
    QCOMPARE(m_service->m_received.load(), received);
    m_service->TakeCalls();
}

// A streak the desktop could not be told of in time is told by the next run that ends, once.
void DesktopNotifierTest::toldWithTheNextRun()
{
    const CMuteSocket mute(m_dir.filePath("mute-runs"));
    QVERIFY(mute.Listening());
    CLocalServer server([](const CRecordedRequest&) { return CScriptedReply::Status(500); });
    qputenv("XDG_STATE_HOME", m_dir.filePath("state").toUtf8());
    CTargetList targets;
    auto target = std::make_shared<CSubmitHost>();
    target->m_strUrl = server.Url("ping");
    targets.AppendRow(target);
    const auto runTimes = [&targets](int times) {
        // Its end, with what it tells, is over once the runs are gone.
        CSubmitRuns runs(targets, CPostSettings());
        QObject::connect(
            &runs, &CSubmitRuns::AlertsDue, &runs, &CDesktopNotifier::Tell, Qt::DirectConnection);
        for (int i = 0; i < times; ++i) {
            runs.SubmitAll();
            QTRY_VERIFY(!runs.IsRunning());
        }
    };

    qputenv(
        "DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(m_dir.filePath("mute-runs")));
    runTimes(3);
    CPostHistory record;
    CText error;
    QCOMPARE(
        record.OpenToRead(m_dir.filePath("state/Quillpost/history.sqlite").toStdString(), error),
        CPostHistory::ReadState::Opened);
    std::vector<CStreakAlert> untold;
    QVERIFY(record.Untold(untold, error));
    QCOMPARE(untold.size(), std::size_t(1));
    record.Close();

    qputenv("DBUS_SESSION_BUS_ADDRESS", m_strAddress.toUtf8());
    runTimes(2);
    const QList<QVariantList> calls = m_service->TakeCalls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].value(3).toString(), QStringLiteral("Quillpost: posting failed 3 times"));
    QVERIFY(calls[0].value(4).toString().startsWith(QString::fromStdString(target->m_strUrl)));
}

void DesktopNotifierTest::runsWithoutAReceiver_data()
{
    // A run a letter: m tells over a mute bus, l over the test's own, q has no one to tell.
    QTest::addColumn<QString>("runs");
    QTest::addColumn<int>("told");

    // Its own word is dropped, not left for a run that speaks.
    QTest::newRow("its own streak") << "qqql" << 0;
    // An earlier run's word it could not tell waits for a run that speaks.
    QTest::newRow("an earlier streak") << "mmmql" << 1;
}

// A run whose alerts no one receives tells nothing and keeps only what earlier runs could not
// tell, as the command line with --no-notify.
void DesktopNotifierTest::runsWithoutAReceiver()
{
    QFETCH(QString, runs);
    QFETCH(int, told);

    const CMuteSocket mute(m_dir.filePath("mute-quiet"));
    QVERIFY(mute.Listening());
    CLocalServer server([](const CRecordedRequest&) { return CScriptedReply::Status(500); });
    qputenv("XDG_STATE_HOME", m_dir.filePath(QTest::currentDataTag()).toUtf8());
    CTargetList targets;
    auto target = std::make_shared<CSubmitHost>();
    target->m_strUrl = server.Url("ping");
    targets.AppendRow(target);
    for (const QChar run : runs) {
        qputenv("DBUS_SESSION_BUS_ADDRESS",
            run == 'm' ? "unix:path=" + QFile::encodeName(m_dir.filePath("mute-quiet"))
                       : m_strAddress.toUtf8());
        // Its end, with what it tells, is over once the runs are gone.
        CSubmitRuns submit(targets, CPostSettings());
        if (run != 'q')
            QObject::connect(&submit, &CSubmitRuns::AlertsDue, &submit, &CDesktopNotifier::Tell,
                Qt::DirectConnection);
        submit.SubmitAll();
        QTRY_VERIFY(!submit.IsRunning());
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_strAddress.toUtf8());
    QCOMPARE(m_service->TakeCalls().size(), told);
}

QTEST_GUILESS_MAIN(DesktopNotifierTest)
#include "DesktopNotifierTest.moc"
