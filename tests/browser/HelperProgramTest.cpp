// The browser helper program as the main program meets it: a process that reads a request
// on its standard input and gives up with a reason when it cannot open its window.
#include "core/BrowserRequest.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <unistd.h>

namespace {

struct Outcome
{
    bool finished = false;
    int exitCode = -1;
    QByteArray out;
    QString reason;
};

// Runs the helper to its end on the given input; a helper that hangs fails the test
// instead of holding it up.
Outcome RunHelper(const QByteArray& input, const QProcessEnvironment& env)
{
    QProcess helper;
    helper.setProcessEnvironment(env);
    helper.start(QStringLiteral(QUILLPOST_HELPER_PATH), QStringList());
    helper.write(input);
    helper.closeWriteChannel();
    Outcome outcome;
    outcome.finished = helper.waitForFinished(30000);
    if (!outcome.finished)
        helper.kill();
    helper.waitForFinished();
    outcome.exitCode = helper.exitCode();
    outcome.out = helper.readAllStandardOutput();
    const QList<QByteArray> lines = helper.readAllStandardError().trimmed().split('\n');
    const QByteArray last = lines.back();
    if (last.startsWith(CBrowserRequest::ReasonPrefix))
        outcome.reason = QString::fromUtf8(last.mid(int(qstrlen(CBrowserRequest::ReasonPrefix))));
    return outcome;
}

QByteArray SampleFrame()
{
    CBrowserRequest request;
    request.m_strUrl = "http://127.0.0.1:9/";
    request.m_headers = {{"Content-Type", "application/x-www-form-urlencoded"}};
    request.m_body = "a=1";
    return QByteArray::fromStdString(request.Frame());
}

} // namespace

class HelperProgramTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void badInputEndsWithReason_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("nothing") << QByteArray();
        QTest::newRow("truncated body") << SampleFrame().chopped(2);
        QTest::newRow("truncated count line") << SampleFrame().left(40);
        QTest::newRow("not a request") << QByteArray("GET / HTTP/1.1\r\nHost: a\r\n\r\n");
        QTest::newRow("bytes after the body") << SampleFrame() + "more";
        QTest::newRow("a count beyond the input")
            << QByteArray("quillpost-browser-request 1\nurl 0\nbody 1073741824\nshort");
    }
    void badInputEndsWithReason()
    {
        QFETCH(QByteArray, input);
        const Outcome outcome = RunHelper(input, QProcessEnvironment::systemEnvironment());
        QVERIFY(outcome.finished);
        QVERIFY(outcome.exitCode != 0);
        QVERIFY(outcome.out.isEmpty());
        QVERIFY2(!outcome.reason.isEmpty(), "no reason on the last line of standard error");
    }

    // Never the engine's own silent exit, and never the sandbox switched off behind the
    // user's back: the helper says what to do.
    void rootWithoutSandboxVariableIsRefused_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("not set") << QString();
        QTest::newRow("set to 0") << QStringLiteral("0");
    }
    void rootWithoutSandboxVariableIsRefused()
    {
        if (geteuid() != 0)
            QSKIP("needs root");
        QFETCH(QString, value);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
        env.remove(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"));
        if (!value.isNull())
            env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), value);
        const Outcome outcome = RunHelper(SampleFrame(), env);
        QVERIFY(outcome.finished);
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY(outcome.out.isEmpty());
        QVERIFY2(outcome.reason.contains(QLatin1String("normal user"))
                && outcome.reason.contains(QLatin1String("QTWEBENGINE_DISABLE_SANDBOX=1")),
            qPrintable(outcome.reason));
    }
};

QTEST_GUILESS_MAIN(HelperProgramTest)
#include "HelperProgramTest.moc"
