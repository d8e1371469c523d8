// Submit and Submit All in the real window against a local server.
#include "app/QuillpostDlg.h"
#include "app/TargetListModel.h"
#include "core/system/ListLock.h"
#include "runs/ResultText.h"
#include "runs/SubmitRuns.h"
#include "tests/support/CsvReader.h"
#include "tests/support/CurlSetup.h"
#include "tests/support/ScriptedServer.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/Resources.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class SubmitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void submitAllMarksEachRow();
    void rowsChangedDuringRun();
    void loadDataDuringRun();
    void stopEndsHangingPost();
    void submitFailedAgainPostsOnlyFailedRows();
    void rowAddedDuringFailedAgainWaits();
    void refusedRowsCountAsFailed();
    void busyServerRowWaitsUntilStopped();
    void rowChangedWhilePosted_data();
    void rowChangedWhilePosted();
    void noThreadToPostFrom();
    void saveResultsAsCsv();
    void saveResultsNeverIntoAFifo();
    void newestPostDecidesTheRow();
    void closingAbortsHangingPost();
    void twoRunsAtOnce();
    void anotherRunHoldsTheList_data();
    void anotherRunHoldsTheList();
    void windowHoldsTheListWhileItPosts();
    void progressBarFollowsTheRun_data();
    void progressBarFollowsTheRun();

private:
    void Type(const char* name, const QString& text);
    void Press(const char* button);
    void ClickRow(int row);
    void AddTarget(const QString& path, const QString& value = QStringLiteral("v"));
    QList<int> Images() const;
    std::string LockFolder() const { return m_dir->filePath("locks").toStdString(); }
    std::string ListPath() const { return m_dir->filePath("submitdata.xml").toStdString(); }
    QString Status() const;
    QPushButton* Button(const char* name) const;
    QStringList Results() const;
    QStringList Lines() const;

    std::unique_ptr<CScriptedServer> m_server;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CQuillpostDlg> m_dlg;
    QTableView* m_view = nullptr;
    CTargetListModel* m_targets = nullptr;
};

void SubmitTest::init()
{
    m_server = std::make_unique<CScriptedServer>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_dlg = std::make_unique<CQuillpostDlg>(m_dir->path());
    m_dlg->SetLockFolder(LockFolder());
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
    QTRY_VERIFY(!m_dlg->IsLoading());
    m_view = m_dlg->findChild<QTableView*>("targetList");
    m_targets = qobject_cast<CTargetListModel*>(m_view->model());
    QVERIFY(m_targets);
}

void SubmitTest::cleanup()
{
    m_dlg.reset();
    m_server.reset();
    m_dir.reset();
}

void SubmitTest::Type(const char* name, const QString& text)
{
    auto* edit = m_dlg->findChild<QLineEdit*>(name);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QCOMPARE(edit->text(), text);
}

QPushButton* SubmitTest::Button(const char* name) const
{
    return m_dlg->findChild<QPushButton*>(name);
}

void SubmitTest::Press(const char* button)
{
    QTest::mouseClick(Button(button), Qt::LeftButton);
}

QString SubmitTest::Status() const
{
    return m_dlg->findChild<QLabel*>("runStatusLabel")->text();
}

void SubmitTest::ClickRow(int row)
{
    const QRect rect = m_view->visualRect(m_targets->index(row, 0));
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, rect.center());
}

void SubmitTest::AddTarget(const QString& path, const QString& value)
{
    Type("urlEdit", QString::fromStdString(m_server->Server().Url(path.toStdString())));
    Press("addUrlButton");
    Type("paramNameEdit", QStringLiteral("furl"));
    Type("paramValueEdit", value);
    Press("addParamButton");
}

QStringList SubmitTest::Lines() const
{
    QStringList lines;
    for (const std::string& line : m_server->Lines())
        lines << QString::fromStdString(line);
    return lines;
}

QStringList SubmitTest::Results() const
{
    QStringList results;
    for (int row = 0; row < m_targets->RowCount(); ++row)
        results << m_targets->index(row, CTargetListModel::ResultColumn).data().toString();
    return results;
}

QList<int> SubmitTest::Images() const
{
    QList<int> images;
    for (int row = 0; row < m_targets->RowCount(); ++row)
        images << m_targets->Image(row);
    return images;
}

void SubmitTest::submitAllMarksEachRow()
{
    // An empty list makes a run that ends at once.
    Press("submitAllButton");
    QCOMPARE(Status(), QStringLiteral("Done: 0 succeeded, 0 failed in 0:00"));
    QVERIFY(!Button("stopButton")->isEnabled());

    AddTarget("gate");
    AddTarget("fail1");
    AddTarget("ok2", "a b");
    AddTarget("status/202");
    CPostResult earlier;
    earlier.m_outcome = PostOutcome::Succeeded;
    earlier.m_strFinalUrl = "earlier";
    m_targets->SetResult(1, earlier);

    Press("submitAllButton");
    // Every row starts the run at 0 and without a result, also those an earlier run marked.
    QCOMPARE(Images(), (QList<int>{0, 0, 0, 0}));
    QCOMPARE(Results(), (QStringList{"", "", "", ""}));
    QVERIFY(!m_targets->index(1, CTargetListModel::ResultColumn).data(Qt::ToolTipRole).isValid());
    QVERIFY(m_server->Server().WaitForRequests(1));
    // The other rows wait: one post at a time to a server.
    QVERIFY2(
        Status().startsWith("0 of 4 done · 0 succeeded · 0 failed · 0:"), qPrintable(Status()));
    // The clock goes on while nothing else changes.
    QTRY_VERIFY_WITH_TIMEOUT(Status().endsWith("· 0:01"), 5000);
    QVERIFY(Button("stopButton")->isEnabled());
    m_server->Open();
    // Any 2xx succeeds, and the row says what the service answered.
    QTRY_COMPARE_WITH_TIMEOUT(Images(), (QList<int>{2, 1, 2, 2}), 60000);
    const QStringList results = Results();
    const QStringList summaries = {"200 OK", "500 Internal Server Error", "200 OK", "202 Accepted"};
    for (int row = 0; row < results.size(); ++row) {
        const QRegularExpression expected(
            "^" + QRegularExpression::escape(summaries[row]) + " · \\d+\\.\\d\\d s$");
        QVERIFY2(expected.match(results[row]).hasMatch(), qPrintable(results[row]));
    }
    QCOMPARE(Lines(),
        (QStringList{"POST /gate HTTP/1.0 furl=v", "POST /fail1 HTTP/1.0 furl=v",
            "POST /ok2 HTTP/1.0 furl=a%20b", "POST /status/202 HTTP/1.0 furl=v"}));

    // The tooltip: where the post ended up and how the answer began, as plain text.
    const QString details
        = m_targets->index(2, CTargetListModel::ResultColumn).data(Qt::ToolTipRole).toString();
    QVERIFY2(details.contains(
                 "Final address: " + QString::fromStdString(m_server->Url("ok2")).toHtmlEscaped()),
        qPrintable(details));
    QVERIFY2(details.contains("Answer:\n&lt;html&gt;&lt;head&gt;&lt;title&gt;Posted"),
        qPrintable(details));

    QTRY_VERIFY(Status().startsWith("Done: 3 succeeded, 1 failed in 0:"));
    QVERIFY(!Button("stopButton")->isEnabled());
}

void SubmitTest::stopEndsHangingPost()
{
    AddTarget("hang");
    AddTarget("waiting");
    Press("submitAllButton");
    QVERIFY(m_server->Server().WaitForRequests(1));
    Press("stopButton");
    // Well inside the real stall limit (30 s): only Stop can end it this soon.
    QTRY_COMPARE_WITH_TIMEOUT(Images(), (QList<int>{1, 0}), 15000);
    QVERIFY2(Results()[0].startsWith("Stopped · "), qPrintable(Results()[0]));
    QCOMPARE(Results()[1], QString());
    QVERIFY2(Status().startsWith("Stopped: 0 succeeded, 1 failed in 0:"), qPrintable(Status()));
    QVERIFY(!Button("stopButton")->isEnabled());
    QTRY_COMPARE(m_server->Server().ClientHangups(), 1);
    QCOMPARE(m_server->Server().Requests().size(), std::size_t(1));
}

void SubmitTest::submitFailedAgainPostsOnlyFailedRows()
{
    AddTarget("ok1");
    AddTarget("fail2");
    AddTarget("ok3");
    AddTarget("fail4");
    Press("submitAllButton");
    QTRY_COMPARE_WITH_TIMEOUT(Images(), (QList<int>{2, 1, 2, 1}), 60000);
    const QStringList before = Results();

    Press("submitFailedAgainButton");
    QTRY_COMPARE_WITH_TIMEOUT(m_server->Server().Requests().size(), std::size_t(6), 60000);
    QTRY_VERIFY(Status().startsWith("Done: 0 succeeded, 2 failed in 0:"));
    QCOMPARE(Lines().mid(4),
        (QStringList{"POST /fail2 HTTP/1.0 furl=v", "POST /fail4 HTTP/1.0 furl=v"}));
    QCOMPARE(Images(), (QList<int>{2, 1, 2, 1}));
    // The rows that had succeeded keep their result, time and all.
    QCOMPARE(Results()[0], before[0]);
    QCOMPARE(Results()[2], before[2]);
}

// Submit Failed Again posts the failed rows and nothing else, not even a row added meanwhile.
void SubmitTest::rowAddedDuringFailedAgainWaits()
{
    AddTarget("fail1");
    Press("submitAllButton");
    QTRY_COMPARE_WITH_TIMEOUT(Images(), QList<int>{1}, 60000);
    Type("urlEdit", QString::fromStdString(m_server->Url("gatefail")));
    Press("editUrlButton");
    Press("submitFailedAgainButton");
    QVERIFY(m_server->Server().WaitForRequests(2));
    AddTarget("added");
    m_server->Open();
    QTRY_VERIFY_WITH_TIMEOUT(Status().startsWith("Done: 0 succeeded, 1 failed in 0:"), 60000);
    QCOMPARE(Images(), (QList<int>{1, 0}));
    QCOMPARE(
        Lines(), (QStringList{"POST /fail1 HTTP/1.0 furl=v", "POST /gatefail HTTP/1.0 furl=v"}));
}

// A post of an earlier run that answers late must not overwrite what a later run showed.
void SubmitTest::newestPostDecidesTheRow()
{
    CScriptedServer other;
    AddTarget("gate");
    Press("submitAllButton");
    QVERIFY(m_server->Server().WaitForRequests(1));
    Type("urlEdit", QString::fromStdString(other.Url("fail")));
    Press("editUrlButton");
    Press("submitAllButton");
    QTRY_COMPARE_WITH_TIMEOUT(Images(), QList<int>{1}, 60000);
    m_server->Open();
    QTRY_VERIFY(Status().startsWith("Done: 1 succeeded, 1 failed in 0:"));
    QCOMPARE(Images(), QList<int>{1});
    QVERIFY2(Results()[0].startsWith("500 Internal Server Error"), qPrintable(Results()[0]));
}

void SubmitTest::rowsChangedDuringRun()
{
    AddTarget("gate");
    AddTarget("deleted");
    AddTarget("edited");
    Press("submitAllButton");
    QVERIFY(m_server->Server().WaitForRequests(1));

    // While the first post waits: delete row 1, change row 2's URL, add a row.
    ClickRow(1);
    Press("deleteUrlButton");
    ClickRow(1);
    Type("urlEdit", QString::fromStdString(m_server->Server().Url("changed")));
    Press("editUrlButton");
    AddTarget("added", "new");
    m_server->Open();

    QTRY_COMPARE_WITH_TIMEOUT(Images(), (QList<int>{2, 2, 2}), 60000);
    QCOMPARE(Lines(),
        (QStringList{"POST /gate HTTP/1.0 furl=v", "POST /changed HTTP/1.0 furl=v",
            "POST /added HTTP/1.0 furl=new"}));
}

// A load replaces the list: the run over the old one ends there, and the new list waits for
// Submit All.
void SubmitTest::loadDataDuringRun()
{
    AddTarget("gate");
    AddTarget("second");
    Press("submitAllButton");
    QVERIFY(m_server->Server().WaitForRequests(1));
    QFile file(QDir(m_dir->path()).filePath("submitdata.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString("<data><Host URL=\"" + m_server->Url("loaded")
        + "\"><param name=\"furl\" value=\"x\"/></Host></data>"));
    file.close();
    m_dlg->findChild<QAction*>("loadDataAction")->trigger();
    QTRY_VERIFY(!m_dlg->IsLoading());
    QCOMPARE(m_targets->RowCount(), 1);
    QVERIFY2(Status().startsWith("Stopped: 0 succeeded, 0 failed in 0:"), qPrintable(Status()));
    QVERIFY(!Button("stopButton")->isEnabled());
    AddTarget("after");
    m_server->Open();
    // The stopped post of a row that is gone is not counted, and nothing was posted unasked.
    Press("submitAllButton");
    QTRY_VERIFY_WITH_TIMEOUT(Status().startsWith("Done: 2 succeeded, 0 failed in 0:"), 60000);
    QCOMPARE(Images(), (QList<int>{2, 2}));
    QCOMPARE(Lines(),
        (QStringList{"POST /gate HTTP/1.0 furl=v", "POST /loaded HTTP/1.0 furl=x",
            "POST /after HTTP/1.0 furl=v"}));
}

// A row that cannot be posted as it stands fails at once, sends nothing and says why.
void SubmitTest::refusedRowsCountAsFailed()
{
    QFile file(QDir(m_dir->path()).filePath("submitdata.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString("<data><Host URL=\"" + m_server->Url("weird")
        + "\" body=\"weird\"/><Host URL=\"" + m_server->Url("ok") + "\"/></data>"));
    file.close();
    m_dlg->findChild<QAction*>("loadDataAction")->trigger();
    Press("submitAllButton");
    QTRY_VERIFY_WITH_TIMEOUT(Status().startsWith("Done: 1 succeeded, 1 failed in 0:"), 60000);
    QCOMPARE(Images(), (QList<int>{1, 2}));
    QCOMPARE(Results()[0], QStringLiteral("Not posted · Unknown body kind “weird”"));
    QCOMPARE(Lines(), QStringList{"POST /ok HTTP/1.0 "});
}

// A row whose server asks to be tried again later says so and stays "not posted" until Stop.
void SubmitTest::busyServerRowWaitsUntilStopped()
{
    CLocalServer busy([](const CRecordedRequest&) {
        return CScriptedReply::Status(429, "", "Retry-After: 30\r\n");
    });
    Type("urlEdit", QString::fromStdString(busy.Url("ping")));
    Press("addUrlButton");
    Press("submitAllButton");
    QTRY_COMPARE_WITH_TIMEOUT(
        Results(), QStringList{"429 Too Many Requests · again in 30 s"}, 60000);
    QCOMPARE(Images(), QList<int>{0});
    QVERIFY(Button("stopButton")->isEnabled());
    Press("stopButton");
    QTRY_COMPARE(Images(), QList<int>{1});
    QVERIFY2(Results()[0].startsWith("Stopped · "), qPrintable(Results()[0]));
    QVERIFY2(Status().startsWith("Stopped: 0 succeeded, 1 failed in 0:"), qPrintable(Status()));
    QCOMPARE(busy.Requests().size(), std::size_t(1));
}

void SubmitTest::rowChangedWhilePosted_data()
{
    QTest::addColumn<QString>("path"); // of the first row; the second posts "/after"
    QTest::addColumn<QString>("change");
    QTest::addColumn<QList<int>>("images");
    QTest::addColumn<QString>("result"); // how the first row's begins, if it is still there
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("posted");

    // Its server was kept for the wait: dropped or ended, the post frees it for the next row
    // at once, and is never tried again.
    QTest::newRow("deleted while it waits to be tried again") << "busy"
                                                              << "delete" << QList<int>{2} << ""
                                                              << "Done: 1 succeeded, 0 failed" << 2;
    QTest::newRow("edited while it waits to be tried again")
        << "busy"
        << "edit" << QList<int>{1, 2} << "Stopped · "
        << "Done: 1 succeeded, 1 failed" << 2;
    // What a post in flight comes to (here, what Stop makes of it) is about what the row held
    // before, so the row does not show it.
    QTest::newRow("edited while in flight") << "hang"
                                            << "edit" << QList<int>{0, 0} << ""
                                            << "Stopped: 0 succeeded, 1 failed" << 1;
}

void SubmitTest::rowChangedWhilePosted()
{
    QFETCH(QString, path);
    QFETCH(QString, change);
    QFETCH(QList<int>, images);
    QFETCH(QString, result);
    QFETCH(QString, status);
    QFETCH(int, posted);

    CLocalServer server([](const CRecordedRequest& request) {
        if (request.m_requestLine.find("/busy") != std::string::npos)
            return CScriptedReply::Status(429, "", "Retry-After: 30\r\n");
        if (request.m_requestLine.find("/hang") != std::string::npos)
            return CScriptedReply::Hang();
        return CScriptedReply::Status(200);
    });
    for (const QString& target : {path, QStringLiteral("after")}) {
        Type("urlEdit", QString::fromStdString(server.Url(target.toStdString())));
        Press("addUrlButton");
    }
    Press("submitAllButton");
    QVERIFY(server.WaitForRequests(1));
    if (path == "busy")
        QTRY_COMPARE_WITH_TIMEOUT(
            Results()[0], QStringLiteral("429 Too Many Requests · again in 30 s"), 60000);
    ClickRow(0);
    if (change == "delete") {
        Press("deleteUrlButton");
    } else {
        Type("urlEdit", QString::fromStdString(server.Url("changed")));
        Press("editUrlButton");
    }
    if (path == "hang")
        Press("stopButton");
    // Well inside the 30 s the server asked for.
    QTRY_VERIFY_WITH_TIMEOUT(Status().startsWith(status + " in 0:"), 15000);
    QCOMPARE(Images(), images);
    if (images.size() == 2)
        QVERIFY2(result.isEmpty() ? Results()[0].isEmpty() : Results()[0].startsWith(result),
            qPrintable(Results()[0]));
    QCOMPARE(server.Requests().size(), std::size_t(posted));
    QVERIFY(!Button("stopButton")->isEnabled());
}

// Where no thread can be had to post from, the rows say so instead of the button failing.
void SubmitTest::noThreadToPostFrom()
{
    constexpr int CannotDropPrivileges = 77;
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        // As an ordinary user allowed no process beyond this one, no thread can start.
        const rlimit one = {1, 1};
        if (::setgid(65534) != 0 || ::setuid(65534) != 0 || ::setrlimit(RLIMIT_NPROC, &one) != 0)
            ::_exit(CannotDropPrivileges);
        CTargetListModel targets(QList<QIcon>{});
        targets.AppendRow(std::make_shared<CSubmitHost>());
        CSubmitRuns runs(targets, CPostSettings());
        runs.SubmitAll();
        const CPostResult* result = targets.Result(0);
        ::_exit(result && !runs.IsRunning() && targets.Image(0) == ImageFailed
                    && CResultText::Summary(*result) == "Not posted · No thread to post from"
                ? 0
                : 1);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    if (WEXITSTATUS(status) == CannotDropPrivileges)
        QSKIP("cannot run as an ordinary user");
    QCOMPARE(WEXITSTATUS(status), 0);
}

// The rows' results saved as the command line writes them, for a spreadsheet or a script.
void SubmitTest::saveResultsAsCsv()
{
    auto* save = m_dlg->findChild<QAction*>("saveResultsAction");
    QVERIFY(!save->isEnabled());
    AddTarget("ok1");
    AddTarget("fail2");
    AddTarget("hang3");
    Press("submitAllButton");
    QTRY_COMPARE_WITH_TIMEOUT(Images(), (QList<int>{2, 1, 0}), 60000);
    QVERIFY(save->isEnabled());

    const QString path = QDir(m_dir->path()).filePath("results.csv");
    CFileDialog::SetTestHook([&path](const QString&) { return path; });
    save->trigger();
    CFileDialog::SetTestHook(nullptr);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const std::optional<CsvRows> rows = ReadCsv(file.readAll().toStdString());
    QVERIFY(rows);
    // The row still in flight has no result to save.
    QCOMPARE(rows->size(), std::size_t(3));
    QCOMPARE(QString::fromStdString(rows->at(0).at(0)), QStringLiteral("url"));
    const std::vector<std::string> first
        = {m_server->Url("ok1"), "form", "true", "succeeded", "0", "200", "OK"};
    QCOMPARE(std::vector<std::string>(rows->at(1).begin(), rows->at(1).begin() + 7), first);
    QCOMPARE(rows->at(2).at(3), std::string("failed"));
    QCOMPARE(rows->at(2).at(5), std::string("500"));
}

// Save Results writes as the data file is saved (tests/data has the rules in full): never
// into a FIFO, which would hold the window until something read it.
void SubmitTest::saveResultsNeverIntoAFifo()
{
    AddTarget("ok1");
    Press("submitAllButton");
    QTRY_COMPARE_WITH_TIMEOUT(Images(), QList<int>{2}, 60000);
    const QString path = QDir(m_dir->path()).filePath("results.csv");
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);

    QStringList messages;
    CMessageBox::SetTestHook(
        [&messages](const CMessageBox::CMessage& message) { messages << message.m_strText; });
    CFileDialog::SetTestHook([&path](const QString&) { return path; });
    m_dlg->findChild<QAction*>("saveResultsAction")->trigger();
    CFileDialog::SetTestHook(nullptr);
    CMessageBox::SetTestHook(nullptr);
    QCOMPARE(
        messages, QStringList{"The results were not saved to " + path + ": not a regular file."});
    struct stat after = {};
    QCOMPARE(::lstat(QFile::encodeName(path).constData(), &after), 0);
    QVERIFY(S_ISFIFO(after.st_mode));
}

void SubmitTest::closingAbortsHangingPost()
{
    AddTarget("hang");
    AddTarget("never");
    Press("submitAllButton");
    QVERIFY(m_server->Server().WaitForRequests(1));
    m_dlg->close();
    // Well inside the real stall limit (30 s): only the abort can end it this soon.
    QTRY_COMPARE_WITH_TIMEOUT(m_server->Server().ClientHangups(), 1, 15000);
    m_dlg.reset();
    QCOMPARE(m_server->Server().Requests().size(), std::size_t(1));
}

void SubmitTest::twoRunsAtOnce()
{
    AddTarget("ok");
    AddTarget("fail");
    AddTarget("ok2");
    Press("submitAllButton");
    Press("submitAllButton");
    QTRY_COMPARE_WITH_TIMEOUT(m_server->Server().Requests().size(), std::size_t(6), 60000);
    QTRY_COMPARE_WITH_TIMEOUT(Images(), (QList<int>{2, 1, 2}), 60000);
    QCOMPARE(Lines().count("POST /fail HTTP/1.0 furl=v"), 2);
    QTRY_VERIFY(Status().startsWith("Done: 4 succeeded, 2 failed in 0:"));
}

void SubmitTest::anotherRunHoldsTheList_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Submit All") << "submitAllButton";
    QTest::newRow("Submit Failed Again") << "submitFailedAgainButton";
}

// A command-line run (this test stands for it) posts the window's list: the window's runs
// would post to the same servers at once, so they do not start, and the window says why.
void SubmitTest::anotherRunHoldsTheList()
{
    QFETCH(QString, button);
    AddTarget("fail1");
    Press("submitAllButton");
    QTRY_VERIFY_WITH_TIMEOUT(Status().startsWith("Done: 0 succeeded, 1 failed"), 60000);

    // Its run over, the window has let go of the list.
    CListLock commandLine(LockFolder(), ListPath());
    std::string reason;
    QCOMPARE(commandLine.TryTake(CListLock::CommandLine, reason), CListLock::Outcome::Taken);
    QStringList messages;
    CMessageBox::SetTestHook(
        [&messages](const CMessageBox::CMessage& message) { messages << message.m_strText; });
    Press(button.toLatin1().constData());
    CMessageBox::SetTestHook(nullptr);
    const QRegularExpression said("^This list is being posted by the command line \\(process "
        + QString::number(::getpid())
        + ", since \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\): try again once it has "
          "ended.$");
    QCOMPARE(messages.size(), 1);
    QVERIFY2(said.match(messages[0]).hasMatch(), qPrintable(messages[0]));
    QCOMPARE(Status(), messages[0]);
    QCOMPARE(Images(), QList<int>{1});
    QVERIFY(!Button("stopButton")->isEnabled());

    // Once the other run has ended, the same button posts.
    commandLine.Release();
    Press(button.toLatin1().constData());
    QTRY_COMPARE_WITH_TIMEOUT(m_server->Server().Requests().size(), std::size_t(2), 60000);
    QTRY_VERIFY_WITH_TIMEOUT(Status().startsWith("Done: 0 succeeded, 1 failed"), 60000);
}

// From Submit All until the last post has ended the window holds the list, and says so to a
// command-line run; its own second Submit All meanwhile is no other run.
void SubmitTest::windowHoldsTheListWhileItPosts()
{
    AddTarget("gate");
    Press("submitAllButton");
    QVERIFY(m_server->Server().WaitForRequests(1));
    CListLock commandLine(LockFolder(), ListPath());
    std::string reason;
    QCOMPARE(commandLine.TryTake(CListLock::CommandLine, reason), CListLock::Outcome::Busy);
    CListLock::CHolder holder;
    QVERIFY(commandLine.ReadHolder(holder));
    QCOMPARE(holder.m_pid, static_cast<long>(::getpid()));
    QCOMPARE(holder.m_strSide, std::string("window"));

    Press("submitAllButton");
    QVERIFY2(Status().startsWith("0 of 2 done"), qPrintable(Status()));
    m_server->Open();
    QTRY_VERIFY_WITH_TIMEOUT(Status().startsWith("Done: 2 succeeded, 0 failed"), 60000);
    QCOMPARE(commandLine.TryTake(CListLock::CommandLine, reason), CListLock::Outcome::Taken);
}

void SubmitTest::progressBarFollowsTheRun_data()
{
    // A path posted to, or "<path" for a target whose changes are read from it.
    QTest::addColumn<QStringList>("targets");
    // The bar while the run waits: posts done of those known, or "no end" while a source is
    // still read and more posts may come.
    QTest::addColumn<QString>("progress");
    // What ends the wait: "open" the server's gate, or "stop".
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("status");

    QTest::newRow("posts done of those known") << QStringList{"ok", "gate"} << "1 of 2"
                                               << "open"
                                               << "Done: 2 succeeded";
    QTest::newRow("no end while a source is read") << QStringList{"ok", "<gatemap.xml"} << "no end"
                                                   << "open"
                                                   << "Done: 1 succeeded";
    QTest::newRow("every source failed") << QStringList{"<gatefail1", "<gatefail2"} << "no end"
                                         << "open"
                                         << "Done: 0 succeeded";
    QTest::newRow("stopped while posting") << QStringList{"hang", "gate"} << "0 of 2"
                                           << "stop"
                                           << "Stopped: 0 succeeded";
    QTest::newRow("stopped while a source is read") << QStringList{"<hangmap.xml"} << "no end"
                                                    << "stop"
                                                    << "Stopped: 0 succeeded";
}

// A bar beside the status line follows a run, as a screen reader is told it, and is gone once
// the run has ended, however it ended.
void SubmitTest::progressBarFollowsTheRun()
{
    QFETCH(QStringList, targets);
    QFETCH(QString, progress);
    QFETCH(QString, then);
    QFETCH(QString, status);
    for (const QString& target : targets) {
        auto record = std::make_shared<CSubmitHost>();
        if (target.startsWith('<')) {
            record->m_strUrl = m_server->Url("ping");
            record->m_strChanges = m_server->Url(target.mid(1).toStdString());
        } else {
            record->m_strUrl = m_server->Url(target.toStdString());
        }
        m_targets->AppendRow(std::move(record));
    }
    auto* bar = m_dlg->findChild<QProgressBar*>("runProgressBar");
    QVERIFY(!bar->isVisible());
    Press("submitAllButton");
    QVERIFY(bar->isVisible());
    const auto shown = [bar] {
        return bar->maximum() == 0
            ? QStringLiteral("no end")
            : QStringLiteral("%1 of %2").arg(bar->value()).arg(bar->maximum());
    };
    QTRY_COMPARE(shown(), progress);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(bar);
    QCOMPARE(accessible->role(), QAccessible::ProgressBar);
    QCOMPARE(accessible->valueInterface()->currentValue().toInt(), bar->value());
    QCOMPARE(accessible->valueInterface()->maximumValue().toInt(), bar->maximum());

    if (then == "open")
        m_server->Open();
    else
        Press("stopButton");
    QTRY_VERIFY_WITH_TIMEOUT(Status().startsWith(status), 15000);
    QVERIFY(!bar->isVisible());
}

int main(int argc, char** argv)
{
    PrepareCurl();
    QApplication app(argc, argv);
    SubmitTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SubmitTest.moc"
