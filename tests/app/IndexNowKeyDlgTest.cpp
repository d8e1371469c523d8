// Run > IndexNow Key... in the real window: New Key, Save Key File... and Check, with the key
// file served from a local server.
#include "app/IndexNowKeyDlg.h"
#include "app/QuillpostDlg.h"
#include "app/TargetListModel.h"
#include "core/BrowserLauncher.h"
#include "runs/Translations.h"
#include "tests/support/AccessibleChecks.h"
#include "tests/support/CurlSetup.h"
#include "tests/support/LocalServer.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <condition_variable>
#include <memory>
#include <mutex>

#include <sys/stat.h>

namespace {

class CountingLauncher : public CBrowserLauncher
{
public:
    void Navigate(const CPostRequest&) override { ++m_count; }
    int m_count = 0;
};

// "name=value" for each parameter of a record, in order.
QStringList Params(const std::shared_ptr<CSubmitHost>& record)
{
    QStringList params;
    CSubmitHost::ParamPosition pos;
    CPostParam param;
    for (bool more = record->GetFirstParam(pos, param); more;
         more = record->GetNextParam(pos, param))
        params << QString::fromStdString(param.m_strName + "=" + param.m_strValue);
    return params;
}

std::shared_ptr<CSubmitHost> Target(
    const QString& url, const QStringList& params, const char* kind = "json")
{
    auto record = std::make_shared<CSubmitHost>();
    record->m_strUrl = url.toStdString();
    if (kind)
        record->m_strBodyKind = kind;
    for (const QString& param : params)
        record->AddParam(CPostParam(
            param.section('=', 0, 0).toStdString(), param.section('=', 1).toStdString()));
    return record;
}

const QStringList Site = {"host=www.example.com", "key=old-key-0001",
    "keyLocation=https://www.example.com/old-key-0001.txt", "urlList[]=https://www.example.com/"};

// Holds the server's answers back until the test lets them go.
class CGate
{
public:
    void Wait()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_opened.wait(lock, [this] { return m_bOpen; });
    }
    void Open()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_bOpen = true;
        }
        m_opened.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_bOpen = false;
};

} // namespace

class IndexNowKeyDlgTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void commandFollowsTheSelection();
    void showsHostKeyAndKeyFile_data();
    void showsHostKeyAndKeyFile();
    void newKeysAreRandomHex();
    void newKeySetsTheParameters_data();
    void newKeySetsTheParameters();
    void newKeyOfATargetNotShown();
    void newKeyReachesAWaitingPost();
    void saveKeyFile_data();
    void saveKeyFile();
    void checkShowsTheVerdict_data();
    void checkShowsTheVerdict();
    void checkLeavesTheWindowFree();
    void closingStopsTheCheck();
    void controlsAreNamedAndReachable_data();
    void controlsAreNamedAndReachable();

private:
    void Add(std::shared_ptr<CSubmitHost> record);
    void ClickRow(int row);
    // Opens the dialog over the selected row.
    CIndexNowKeyDlg* OpenKeyDialog();
    QString Field(const char* name) const;
    QStringList ParamRows() const;
    void Press(const char* name);

    std::unique_ptr<QTemporaryDir> m_dir;
    CountingLauncher m_browser;
    std::unique_ptr<CQuillpostDlg> m_dlg;
    QTableView* m_targetView = nullptr;
    CTargetListModel* m_targets = nullptr;
    QPointer<CIndexNowKeyDlg> m_keyDlg;
};

void IndexNowKeyDlgTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_dir->filePath("state")));
    m_dlg = std::make_unique<CQuillpostDlg>(m_dir->path(), nullptr, &m_browser);
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    m_targetView = m_dlg->findChild<QTableView*>("targetList");
    m_targets = qobject_cast<CTargetListModel*>(m_targetView->model());
    QVERIFY(m_targets);
}

void IndexNowKeyDlgTest::cleanup()
{
    CFileDialog::SetTestHook(nullptr);
    CMessageBox::SetTestHook(nullptr);
    m_dlg.reset();
    m_dir.reset();
    InstallTranslations(QLocale::c());
}

void IndexNowKeyDlgTest::Add(std::shared_ptr<CSubmitHost> record)
{
    m_targets->AppendRow(std::move(record));
}

void IndexNowKeyDlgTest::ClickRow(int row)
{
    const QRect rect = m_targetView->visualRect(m_targets->index(row, 0));
    QVERIFY(rect.isValid());
    QTest::mouseClick(m_targetView->viewport(), Qt::LeftButton, {}, rect.center());
}

CIndexNowKeyDlg* IndexNowKeyDlgTest::OpenKeyDialog()
{
    auto* action = m_dlg->findChild<QAction*>("indexNowKeyAction");
    if (!action || !action->isEnabled())
        return nullptr;
    action->trigger();
    m_keyDlg = m_dlg->findChild<CIndexNowKeyDlg*>();
    if (m_keyDlg && !QTest::qWaitForWindowExposed(m_keyDlg))
        return nullptr;
    return m_keyDlg;
}

QString IndexNowKeyDlgTest::Field(const char* name) const
{
    return m_keyDlg->findChild<QLineEdit*>(name)->text();
}

QStringList IndexNowKeyDlgTest::ParamRows() const
{
    const QAbstractItemModel* model = m_dlg->findChild<QTableView*>("paramList")->model();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row)
        rows << model->index(row, 0).data().toString() + "="
                + model->index(row, 1).data().toString();
    return rows;
}

void IndexNowKeyDlgTest::Press(const char* name)
{
    QTest::mouseClick(m_keyDlg->findChild<QPushButton*>(name), Qt::LeftButton);
}

void IndexNowKeyDlgTest::commandFollowsTheSelection()
{
    auto* action = m_dlg->findChild<QAction*>("indexNowKeyAction");
    QVERIFY(!action->isEnabled()); // nothing selected
    Add(Target("https://search.example/indexnow", Site));
    Add(Target("https://search.example/indexnow", Site, nullptr)); // a form
    Add(Target("https://search.example/other", Site)); // JSON, not IndexNow
    const bool expected[] = {true, false, false};
    for (int row = 0; row < 3; ++row) {
        ClickRow(row);
        QCOMPARE(action->isEnabled(), expected[row]);
    }
    // Editing the selected row's kind or address counts, as does a row that goes.
    ClickRow(0);
    QVERIFY(action->isEnabled());
    m_dlg->findChild<QLineEdit*>("urlEdit")->setText("https://search.example/submit");
    QTest::mouseClick(m_dlg->findChild<QPushButton*>("editUrlButton"), Qt::LeftButton);
    QVERIFY(!action->isEnabled());
    m_dlg->findChild<QLineEdit*>("urlEdit")->setText("https://search.example/indexnow");
    QTest::mouseClick(m_dlg->findChild<QPushButton*>("editUrlButton"), Qt::LeftButton);
    QVERIFY(action->isEnabled());
    QTest::mouseClick(m_dlg->findChild<QPushButton*>("deleteUrlButton"), Qt::LeftButton);
    QVERIFY(!action->isEnabled());
}

void IndexNowKeyDlgTest::showsHostKeyAndKeyFile_data()
{
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("keyFile");
    QTest::addColumn<bool>("checkable");

    QTest::newRow("keyLocation on the host") << Site << "www.example.com"
                                             << "old-key-0001"
                                             << "https://www.example.com/old-key-0001.txt" << true;
    QTest::newRow("no keyLocation: at the host's root")
        << QStringList{"host=www.example.com", "key=old-key-0001"} << "www.example.com"
        << "old-key-0001"
        << "https://www.example.com/old-key-0001.txt" << true;
    QTest::newRow("keyLocation off the host: why instead")
        << QStringList{"host=www.example.com", "key=old-key-0001",
               "keyLocation=https://cdn.example/old-key-0001.txt"}
        << "www.example.com"
        << "old-key-0001"
        << "keyLocation https://cdn.example/old-key-0001.txt is not on the host www.example.com"
        << false;
    QTest::newRow("no key") << QStringList{"host=www.example.com"} << "www.example.com"
                            << ""
                            << "None without a “key” parameter" << false;
    QTest::newRow("no host") << QStringList{"key=old-key-0001"} << ""
                             << "old-key-0001"
                             << "None without a “host” parameter" << false;
}

void IndexNowKeyDlgTest::showsHostKeyAndKeyFile()
{
    QFETCH(QStringList, params);
    QFETCH(QString, host);
    QFETCH(QString, key);
    QFETCH(QString, keyFile);
    QFETCH(bool, checkable);
    Add(Target("https://search.example/indexnow", params));
    ClickRow(0);
    QVERIFY(OpenKeyDialog());
    QCOMPARE(Field("hostEdit"), host);
    QCOMPARE(Field("keyEdit"), key);
    QCOMPARE(Field("keyFileEdit"), keyFile);
    QCOMPARE(m_keyDlg->findChild<QPushButton*>("checkButton")->isEnabled(), checkable);
}

void IndexNowKeyDlgTest::newKeysAreRandomHex()
{
    Add(Target("https://search.example/indexnow", Site));
    ClickRow(0);
    QVERIFY(OpenKeyDialog());
    const QRegularExpression hex(QStringLiteral("^[0-9a-f]{32}$"));
    QSet<QString> keys;
    for (int i = 0; i < 8; ++i) {
        Press("newKeyButton");
        const QString key = Field("keyEdit");
        QVERIFY2(hex.match(key).hasMatch(), qPrintable(key));
        keys.insert(key);
    }
    QCOMPARE(keys.size(), 8);
    // Every digit turns up somewhere in 256 of them.
    QSet<QChar> digits;
    for (const QString& key : keys) {
        for (const QChar c : key)
            digits.insert(c);
    }
    QVERIFY(digits.size() >= 12);
}

void IndexNowKeyDlgTest::newKeySetsTheParameters_data()
{
    QTest::addColumn<QStringList>("params");
    // {key} stands for the new key.
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("key and keyLocation at the root")
        << Site
        << QStringList{"host=www.example.com", "key={key}",
               "keyLocation=https://www.example.com/{key}.txt",
               "urlList[]=https://www.example.com/"};
    QTest::newRow("keyLocation in a folder, with a query and a fragment")
        << QStringList{"keyLocation=https://www.example.com/keys/old.txt?v=1#top",
               "host=www.example.com", "key=old-key-0001"}
        << QStringList{"keyLocation=https://www.example.com/keys/{key}.txt?v=1#top",
               "host=www.example.com", "key={key}"};
    QTest::newRow("a slash in keyLocation's query")
        << QStringList{"host=www.example.com", "key=old-key-0001",
               "keyLocation=https://www.example.com/k.txt?from=/a/b"}
        << QStringList{"host=www.example.com", "key={key}",
               "keyLocation=https://www.example.com/{key}.txt?from=/a/b"};
    QTest::newRow("keyLocation without a path")
        << QStringList{"host=www.example.com", "key=old-key-0001",
               "keyLocation=https://www.example.com"}
        << QStringList{"host=www.example.com", "key={key}",
               "keyLocation=https://www.example.com/{key}.txt"};
    QTest::newRow("keyLocation naming a folder")
        << QStringList{"host=www.example.com", "key=old-key-0001",
               "keyLocation=https://www.example.com:8443/keys/"}
        << QStringList{"host=www.example.com", "key={key}",
               "keyLocation=https://www.example.com:8443/keys/{key}.txt"};
    QTest::newRow("no key: one appended")
        << QStringList{"host=www.example.com", "urlList[]=https://www.example.com/"}
        << QStringList{"host=www.example.com", "urlList[]=https://www.example.com/", "key={key}"};
    QTest::newRow("no keyLocation: none added") << QStringList{"host=www.example.com",
        "key=old-key-0001"} << QStringList{"host=www.example.com", "key={key}"};
    QTest::newRow("only the first of two keys")
        << QStringList{"key=old-key-0001", "host=www.example.com", "key=old-key-0001"}
        << QStringList{"key={key}", "host=www.example.com", "key=old-key-0001"};
}

void IndexNowKeyDlgTest::newKeySetsTheParameters()
{
    QFETCH(QStringList, params);
    QFETCH(QStringList, expected);
    Add(Target("https://search.example/indexnow", params));
    ClickRow(0);
    QCOMPARE(ParamRows(), params);
    QVERIFY(OpenKeyDialog());
    Press("newKeyButton");
    const QString key = Field("keyEdit");
    expected.replaceInStrings("{key}", key);
    QCOMPARE(Params(m_targets->Record(0)), expected);
    // The parameter list shows that target, and follows.
    QCOMPARE(ParamRows(), expected);
}

void IndexNowKeyDlgTest::newKeyOfATargetNotShown()
{
    Add(Target("http://ping.example/", {"furl=http://www.example.com/"}, nullptr));
    Add(Target("https://search.example/indexnow", Site));
    ClickRow(0);
    // The arrow key selects the IndexNow target without showing its parameters.
    m_targetView->setFocus();
    QTest::keyClick(m_targetView, Qt::Key_Down);
    QVERIFY(OpenKeyDialog());
    Press("newKeyButton");
    const QString key = Field("keyEdit");
    QCOMPARE(Params(m_targets->Record(1)).at(1), "key=" + key);
    QCOMPARE(ParamRows(), QStringList{"furl=http://www.example.com/"});
}

// A post that waits for its server while the key changes sends the new key.
void IndexNowKeyDlgTest::newKeyReachesAWaitingPost()
{
    CGate gate;
    CLocalServer server([&gate](const CRecordedRequest& request) {
        if (request.m_requestLine.rfind("POST /slow ", 0) == 0)
            gate.Wait();
        return CScriptedReply::Status(200, "ok");
    });
    // Open the gate however the test ends, before the server waits for its connections.
    const auto release
        = std::unique_ptr<CGate, void (*)(CGate*)>(&gate, [](CGate* g) { g->Open(); });
    const QString origin = QString::fromStdString(server.Url());
    Add(Target(origin + "slow", {"furl=v"}, nullptr));
    Add(Target(origin + "indexnow",
        {"host=127.0.0.1", "key=old-key-0001", "urlList[]=http://127.0.0.1/"}));
    QTest::mouseClick(m_dlg->findChild<QPushButton*>("submitAllButton"), Qt::LeftButton);
    // One post at a time to a server: the IndexNow post waits for the slow one.
    QTRY_COMPARE(server.Requests().size(), std::size_t(1));
    ClickRow(1);
    QVERIFY(OpenKeyDialog());
    Press("newKeyButton");
    const QString key = Field("keyEdit");
    Press("closeButton");
    gate.Open();
    QTRY_COMPARE_WITH_TIMEOUT(server.Requests().size(), std::size_t(2), 30000);
    const std::string body = server.Requests().at(1).m_body;
    QVERIFY2(QString::fromStdString(body).contains("\"key\":\"" + key + "\""), body.c_str());
}

void IndexNowKeyDlgTest::saveKeyFile_data()
{
    QTest::addColumn<QString>("there"); // what is at the chosen path before the save
    QTest::addColumn<bool>("saved");

    QTest::newRow("a new file") << "nothing" << true;
    QTest::newRow("an old key file") << "file" << true;
    // Never opened for writing: it would hold the window until something read it.
    QTest::newRow("a FIFO") << "fifo" << false;
    QTest::newRow("the dialog cancelled") << "cancel" << false;
}

void IndexNowKeyDlgTest::saveKeyFile()
{
    QFETCH(QString, there);
    QFETCH(bool, saved);
    const QString path = m_dir->filePath("chosen.txt");
    const QByteArray name = QFile::encodeName(path);
    if (there == "file") {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old-key-0001\n") == 13);
    } else if (there == "fifo") {
        QCOMPARE(::mkfifo(name.constData(), 0644), 0);
    }
    Add(Target("https://search.example/indexnow", Site));
    ClickRow(0);
    QVERIFY(OpenKeyDialog());
    Press("newKeyButton");
    const QString key = Field("keyEdit");

    QStringList suggested;
    QStringList messages;
    CFileDialog::SetTestHook([&](const QString& proposed) {
        suggested << proposed;
        return there == "cancel" ? QString() : path;
    });
    CMessageBox::SetTestHook(
        [&messages](const CMessageBox::Message& message) { messages << message.text; });
    Press("saveKeyFileButton");

    QCOMPARE(suggested, QStringList{QDir(QDir::homePath()).filePath(key + ".txt")});
    struct stat info = {};
    if (saved) {
        QCOMPARE(messages, QStringList());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        // The key's 32 bytes and nothing else: no byte-order mark, no line end.
        QCOMPARE(file.readAll(), key.toUtf8());
    } else if (there == "fifo") {
        QCOMPARE(messages,
            QStringList{"The key file was not saved to " + path + ": not a regular file."});
        QCOMPARE(::lstat(name.constData(), &info), 0);
        QVERIFY(S_ISFIFO(info.st_mode));
    } else {
        QCOMPARE(messages, QStringList());
        QVERIFY(!QFileInfo::exists(path));
    }
}

void IndexNowKeyDlgTest::checkShowsTheVerdict_data()
{
    QTest::addColumn<QString>("path");
    // {file} stands for the key file's address.
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("tooltip");

    QTest::newRow("holds the key") << "/key.txt"
                                   << "The key file holds the key."
                                   << "";
    QTest::newRow("served as a web page's type")
        << "/html.txt"
        << "The key file holds the key.\nKey file is served as text/html, not text/plain"
        << "Key file is served as text/html, not text/plain";
    QTest::newRow("another key") << "/other.txt"
                                 << "Key file {file} holds something else: “fedcba9876543210”"
                                 << "";
    QTest::newRow("not found") << "/missing.txt"
                               << "Key file {file} not found: 404 Not Found"
                               << "";
    QTest::newRow("no server: the file named with the reason")
        << "refused"
        << "Key file {file}: Connection refused"
        << "";
}

void IndexNowKeyDlgTest::checkShowsTheVerdict()
{
    QFETCH(QString, path);
    QFETCH(QString, verdict);
    QFETCH(QString, tooltip);
    const std::string key = "0123456789abcdef0123456789abcdef";
    CLocalServer server([&key](const CRecordedRequest& request) {
        const std::string& line = request.m_requestLine;
        if (line.rfind("GET /key.txt ", 0) == 0)
            return CScriptedReply::Status(200, key + "\n", "Content-Type: text/plain\r\n");
        if (line.rfind("GET /html.txt ", 0) == 0)
            return CScriptedReply::Status(200, key, "Content-Type: text/html\r\n");
        if (line.rfind("GET /other.txt ", 0) == 0)
            return CScriptedReply::Status(200, "fedcba9876543210", "Content-Type: text/plain\r\n");
        return CScriptedReply::Status(404, "gone");
    });
    const QString hostAndPort = path == "refused"
        ? QStringLiteral("127.0.0.1:%1").arg(CLocalServer::UnusedPort())
        : QStringLiteral("127.0.0.1:%1").arg(server.Port());
    const QString file = "http://" + hostAndPort + (path == "refused" ? "/key.txt" : path);
    Add(Target("https://search.example/indexnow",
        {"host=" + hostAndPort, "key=" + QString::fromStdString(key), "keyLocation=" + file}));
    ClickRow(0);
    QVERIFY(OpenKeyDialog());
    QCOMPARE(Field("keyFileEdit"), file);
    Press("checkButton");
    auto* label = m_keyDlg->findChild<QLabel*>("verdictLabel");
    verdict.replace("{file}", file);
    QTRY_COMPARE_WITH_TIMEOUT(label->text(), verdict, 30000);
    QCOMPARE(label->toolTip(), tooltip);
    QVERIFY(m_keyDlg->findChild<QPushButton*>("checkButton")->isEnabled());
}

// The window answers while the server takes its time, and shows the verdict once it comes.
void IndexNowKeyDlgTest::checkLeavesTheWindowFree()
{
    CGate gate;
    CLocalServer keyServer([&gate](const CRecordedRequest&) {
        gate.Wait();
        return CScriptedReply::Status(200, "0123456789abcdef", "Content-Type: text/plain\r\n");
    });
    const auto release
        = std::unique_ptr<CGate, void (*)(CGate*)>(&gate, [](CGate* g) { g->Open(); });
    CLocalServer pingServer([](const CRecordedRequest&) { return CScriptedReply::Status(200); });
    const QString keyHost = QStringLiteral("127.0.0.1:%1").arg(keyServer.Port());
    Add(Target(QString::fromStdString(pingServer.Url("indexnow")),
        {"host=" + keyHost, "key=0123456789abcdef", "keyLocation=http://" + keyHost + "/key.txt"}));
    Add(Target(QString::fromStdString(pingServer.Url("ping")), {}, nullptr));
    ClickRow(0);
    QVERIFY(OpenKeyDialog());
    Press("checkButton");
    auto* label = m_keyDlg->findChild<QLabel*>("verdictLabel");
    QCOMPARE(label->text(), QStringLiteral("Checking the key file…"));
    QVERIFY(!m_keyDlg->findChild<QPushButton*>("checkButton")->isEnabled());
    QVERIFY(!m_keyDlg->findChild<QPushButton*>("newKeyButton")->isEnabled());
    // The request is held at the server while the window goes on: its runs still run.
    QTRY_COMPARE(keyServer.Requests().size(), std::size_t(1));
    QTest::mouseClick(m_dlg->findChild<QPushButton*>("submitAllButton"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(m_targets->Result(1) && m_targets->Result(1)->m_bFinal, 30000);
    QCOMPARE(label->text(), QStringLiteral("Checking the key file…"));
    gate.Open();
    QTRY_COMPARE_WITH_TIMEOUT(label->text(), QStringLiteral("The key file holds the key."), 30000);
    QVERIFY(m_keyDlg->findChild<QPushButton*>("newKeyButton")->isEnabled());
}

// A check that hangs ends with the dialog, which goes at once and leaves nothing behind.
void IndexNowKeyDlgTest::closingStopsTheCheck()
{
    CLocalServer server([](const CRecordedRequest&) { return CScriptedReply::Hang(); });
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.Port());
    Add(Target("https://search.example/indexnow",
        {"host=" + host, "key=0123456789abcdef", "keyLocation=http://" + host + "/key.txt"}));
    ClickRow(0);
    QVERIFY(OpenKeyDialog());
    Press("checkButton");
    QTRY_COMPARE(server.Requests().size(), std::size_t(1));
    Press("closeButton");
    QTRY_VERIFY(m_keyDlg.isNull());
    // The check hung up itself, long before the server's silence would have ended it.
    QTRY_COMPARE(server.ClientHangups(), 1);
    QVERIFY(m_dlg->isVisible());
    // The window opens another and checks again.
    QVERIFY(OpenKeyDialog());
    Press("checkButton");
    QTRY_COMPARE(server.Requests().size(), std::size_t(2));
}

void IndexNowKeyDlgTest::controlsAreNamedAndReachable_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "C";
    QTest::newRow("German") << "de_DE";
}

void IndexNowKeyDlgTest::controlsAreNamedAndReachable()
{
    QFETCH(QString, language);
    QCOMPARE(InstallTranslations(QLocale(language)).isEmpty(), language == "C");
    // The window again, in the row's language.
    m_dlg = std::make_unique<CQuillpostDlg>(m_dir->path(), nullptr, &m_browser);
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    m_targetView = m_dlg->findChild<QTableView*>("targetList");
    m_targets = qobject_cast<CTargetListModel*>(m_targetView->model());
    Add(Target("https://search.example/indexnow", Site));
    ClickRow(0);
    QVERIFY(OpenKeyDialog());
    QCOMPARE(NamingFaults(m_keyDlg).join("; "), QString());
    QCOMPARE(MnemonicFaults(m_keyDlg).join("; "), QString());
    // Each label's mnemonic reaches its field.
    for (QLabel* label : m_keyDlg->findChildren<QLabel*>()) {
        if (!label->buddy())
            continue;
        QTest::keySequence(m_keyDlg, QKeySequence::mnemonic(label->text()));
        QCOMPARE(QApplication::focusWidget(), label->buddy());
    }
}

int main(int argc, char** argv)
{
    PrepareCurl();
    QApplication app(argc, argv);
    IndexNowKeyDlgTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "IndexNowKeyDlgTest.moc"
