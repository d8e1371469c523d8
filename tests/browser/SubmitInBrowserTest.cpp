// Submit in the main window through the browser helper program: the real helper posting to
// a local server, and helpers that give up.
#include "app/QuillpostDlg.h"
#include "app/TargetListModel.h"
#include "tests/support/LocalServer.h"
#include "ui/HelperLauncher.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <signal.h>
#include <unistd.h>

namespace {

// Running and not yet a zombie.
bool IsRunning(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const int end = line.lastIndexOf(')');
    return end > 0 && line.mid(end + 2, 1) != "Z";
}

QList<qint64> ZombieChildren()
{
    QList<qint64> zombies;
    const QByteArray self = QByteArray::number(qint64(getpid()));
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // "pid (name) state ppid ..."; the name may hold spaces and parentheses.
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[0] == "Z" && fields[1] == self)
            zombies << entry.toLongLong();
    }
    return zombies;
}

} // namespace

class SubmitInBrowserTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void helperGivingUpIsTold();
    void helperMissing_data();
    void helperMissing();
    void realHelperPostsAndOutlivesTheProgram();
    void rootRefusalIsTold();

private:
    void Open(const QString& helper);
    void Type(const char* name, const QString& text);
    void Press(const char* button);
    void AddSelectedTarget(const std::string& url);
    QStringList Shown() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CHelperLauncher> m_launcher;
    std::unique_ptr<CQuillpostDlg> m_dlg;
    std::unique_ptr<QSignalSpy> m_windows;
    QStringList m_warnings;
};

void SubmitInBrowserTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_warnings.clear();
    CMessageBox::SetTestHook(
        [this](const CMessageBox::CMessage& message) { m_warnings << message.m_strText; });
}

void SubmitInBrowserTest::cleanup()
{
    m_dlg.reset();
    m_launcher.reset();
    if (m_windows) {
        for (const QList<QVariant>& shown : std::as_const(*m_windows))
            kill(pid_t(shown.front().toLongLong()), SIGTERM);
    }
    m_windows.reset();
    m_dir.reset();
    CMessageBox::SetTestHook(nullptr);
}

void SubmitInBrowserTest::Open(const QString& helper)
{
    m_launcher = std::make_unique<CHelperLauncher>(helper);
    m_windows = std::make_unique<QSignalSpy>(m_launcher.get(), &CHelperLauncher::WindowShown);
    m_dlg = std::make_unique<CQuillpostDlg>(m_dir->path(), nullptr, m_launcher.get());
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
    QTRY_VERIFY(!m_dlg->IsLoading());
}

void SubmitInBrowserTest::Type(const char* name, const QString& text)
{
    auto* edit = m_dlg->findChild<QLineEdit*>(name);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QCOMPARE(edit->text(), text);
}

void SubmitInBrowserTest::Press(const char* button)
{
    QTest::mouseClick(m_dlg->findChild<QPushButton*>(button), Qt::LeftButton);
}

// A target with the parameters furl = "see: a/b?c=1" and "x y" = "1 2", selected.
void SubmitInBrowserTest::AddSelectedTarget(const std::string& url)
{
    Type("urlEdit", QString::fromStdString(url));
    Press("addUrlButton");
    Type("paramNameEdit", QStringLiteral("furl"));
    Type("paramValueEdit", QStringLiteral("see: a/b?c=1"));
    Press("addParamButton");
    Type("paramNameEdit", QStringLiteral("x y"));
    Type("paramValueEdit", QStringLiteral("1 2"));
    Press("addParamButton");
    auto* view = m_dlg->findChild<QTableView*>(QStringLiteral("targetList"));
    const QRect row = view->visualRect(view->model()->index(0, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row.center());
}

// Everything the window shows of the list and the fields.
QStringList SubmitInBrowserTest::Shown() const
{
    QStringList shown;
    for (const char* name : {"urlEdit", "paramNameEdit", "paramValueEdit"})
        shown << m_dlg->findChild<QLineEdit*>(name)->text();
    for (const char* name : {"targetList", "paramList"}) {
        const QAbstractItemModel* model = m_dlg->findChild<QTableView*>(name)->model();
        for (int row = 0; row < model->rowCount(); ++row)
            for (int column = 0; column < model->columnCount(); ++column)
                shown << model->index(row, column).data().toString();
    }
    return shown;
}

void SubmitInBrowserTest::helperGivingUpIsTold()
{
    // Chatter first, the helper's own reason last, as an engine that dies would leave it.
    const QString stub = m_dir->filePath(QStringLiteral("stand-in"));
    QFile script(stub);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n"
                 "echo 'engine: something odd' >&2\n"
                 "echo 'quillpost-browser: no display for the window' >&2\n"
                 "echo 'engine: more chatter' >&2\n"
                 "exit 3\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));

    Open(stub);
    AddSelectedTarget("http://127.0.0.1:9/form");
    Type("urlEdit", QStringLiteral("http://unsaved.example/"));
    const QStringList before = Shown();
    Press("submitButton");
    Press("submitButton");
    QTRY_COMPARE_WITH_TIMEOUT(m_warnings.size(), 2, 30000);
    for (const QString& warning : std::as_const(m_warnings)) {
        QVERIFY2(warning.contains(QLatin1String("no display for the window"))
                && !warning.contains(QLatin1String("chatter")),
            qPrintable(warning));
    }
    QCOMPARE(Shown(), before);
    QVERIFY(m_dlg->isVisible());
    QCOMPARE(m_windows->count(), 0);

    // The program goes on as before.
    Press("addUrlButton");
    QCOMPARE(m_dlg->findChild<QTableView*>(QStringLiteral("targetList"))->model()->rowCount(), 2);
}

void SubmitInBrowserTest::helperMissing_data()
{
    QTest::addColumn<QString>("helper");
    QTest::addColumn<QString>("told");
    QTest::newRow("given path") << "/nonexistent/quillpost-browser"
                                << "/nonexistent/quillpost-browser cannot be started";
    // Nothing is installed beside this test program.
    QTest::newRow("looked for") << QString() << "quillpost-browser is missing";
}

void SubmitInBrowserTest::helperMissing()
{
    QFETCH(QString, helper);
    QFETCH(QString, told);
    Open(helper);
    AddSelectedTarget("http://127.0.0.1:9/form");
    const QStringList before = Shown();
    Press("submitButton");
    QTRY_COMPARE(m_warnings.size(), 1);
    QVERIFY2(m_warnings.front().contains(told), qPrintable(m_warnings.front()));
    QCOMPARE(Shown(), before);
}

void SubmitInBrowserTest::realHelperPostsAndOutlivesTheProgram()
{
    CLocalServer server([](const CRecordedRequest&) {
        return CScriptedReply::Status(
            200, "<html><head><title>Posted</title></head></html>", "Content-Type: text/html\r\n");
    });
    Open(QStringLiteral(QUILLPOST_HELPER_PATH));
    AddSelectedTarget(server.Url("form?x=1"));
    auto* view = m_dlg->findChild<QTableView*>(QStringLiteral("targetList"));
    view->selectionModel()->clearSelection();
    Press("submitButton");
    QVERIFY(m_launcher->findChildren<QProcess*>().isEmpty());

    const QRect row = view->visualRect(view->model()->index(0, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row.center());
    // The stored target is posted, not what the fields show.
    Type("urlEdit", QStringLiteral("http://unsaved.example/"));
    Press("submitButton");

    QTRY_COMPARE_WITH_TIMEOUT(m_windows->count(), 1, 60000);
    QVERIFY(server.WaitForRequests(1));
    const CRecordedRequest request = server.Requests().front();
    QCOMPARE(
        QString::fromStdString(request.m_requestLine), QStringLiteral("POST /form?x=1 HTTP/1.1"));
    QCOMPARE(QString::fromStdString(request.Header("Content-Type")),
        QStringLiteral("application/x-www-form-urlencoded"));
    QCOMPARE(QString::fromStdString(request.m_body),
        QStringLiteral("furl=see%3A%20a%2Fb%3Fc%3D1&x y=1%202"));
    QVERIFY(m_warnings.isEmpty());
    QCOMPARE(qobject_cast<CTargetListModel*>(view->model())->Image(0), 0);

    // The engine stays out of this process, and the helper's first process is reaped.
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("libQt6WebEngineCore"));
    QTRY_VERIFY(ZombieChildren().isEmpty());

    // The answer page stays when the main window and its launcher are gone.
    const qint64 window = m_windows->front().front().toLongLong();
    QVERIFY(IsRunning(window));
    m_dlg.reset();
    m_launcher.reset();
    QVERIFY(IsRunning(window));
    kill(pid_t(window), SIGTERM);
    QTRY_VERIFY_WITH_TIMEOUT(!IsRunning(window), 30000);
}

void SubmitInBrowserTest::rootRefusalIsTold()
{
    if (geteuid() != 0)
        QSKIP("needs root");
    const QByteArray variable = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
    qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    Open(QStringLiteral(QUILLPOST_HELPER_PATH));
    AddSelectedTarget("http://127.0.0.1:9/form");
    Press("submitButton");
    QTRY_COMPARE_WITH_TIMEOUT(m_warnings.size(), 1, 30000);
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", variable);
    QVERIFY2(m_warnings.front().contains(QLatin1String("normal user"))
            && m_warnings.front().contains(QLatin1String("QTWEBENGINE_DISABLE_SANDBOX=1")),
        qPrintable(m_warnings.front()));
    QCOMPARE(m_windows->count(), 0);
}

QTEST_MAIN(SubmitInBrowserTest)
#include "SubmitInBrowserTest.moc"
