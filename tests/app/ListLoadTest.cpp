// The window shows before its list is in: the list's file is read off the window's thread and
// its rows come in over the first turns of the event loop. A command that needs the whole list
// acts on all of it whenever it comes, and the window may close at any point of a load.
#include "app/QuillpostDlg.h"
#include "app/TargetListModel.h"
#include "runs/TargetLoader.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

namespace {

constexpr int Targets = 600;
constexpr int RowsAtOnce = 10;

// Byte for byte as the window saves the list, so that a save of the whole of it writes the
// very same file. kind: a body kind for every target, none for forms.
QByteArray SavedList(int count, const QByteArray& kind = QByteArray())
{
    QByteArray xml = "<?xml version=\"1.0\"?><data>";
    for (int i = 0; i < count; ++i) {
        xml += "<Host URL=\"http://t" + QByteArray::number(i) + ".example/\"";
        if (!kind.isEmpty())
            xml += " body=\"" + kind + "\"";
        xml += "><param name=\"n\" value=\"v\"/></Host>";
    }
    return xml + "</data>";
}

} // namespace

class ListLoadTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void rowsFillInAfterTheWindowShows();
    void commandsActOnTheWholeList_data();
    void commandsActOnTheWholeList();
    void closingDuringALoad_data();
    void closingDuringALoad();
    void wellKnownServicesWaitForTheLoad();

private:
    // The window over the file, its rows coming in RowsAtOnce a turn.
    void Open(const QByteArray& file);
    // Runs the event loop until the first slice of rows is in: true when some rows are
    // still to come.
    bool WaitForSomeRows();
    QByteArray FileBytes(const QString& name = QStringLiteral("submitdata.xml")) const;
    bool RowsAreTheFile(int count) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CQuillpostDlg> m_dlg;
    CTargetListModel* m_targets = nullptr;
    QStringList m_messages;
};

void ListLoadTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages.clear();
    CMessageBox::SetTestHook([this](const CMessageBox::CMessage& m) { m_messages << m.m_strText; });
}

void ListLoadTest::cleanup()
{
    m_dlg.reset();
    m_dir.reset();
    CMessageBox::SetTestHook(nullptr);
}

void ListLoadTest::Open(const QByteArray& file)
{
    QFile data(m_dir->filePath("submitdata.xml"));
    QVERIFY(data.open(QIODevice::WriteOnly));
    QCOMPARE(data.write(file), file.size());
    data.close();
    m_dlg = std::make_unique<CQuillpostDlg>(m_dir->path());
    // Set before the event loop runs, so before the first row comes.
    auto* loader = m_dlg->findChild<CTargetLoader*>("targetLoader");
    QVERIFY(loader);
    loader->SetSlices(RowsAtOnce, 0);
    m_targets
        = qobject_cast<CTargetListModel*>(m_dlg->findChild<QTableView*>("targetList")->model());
    QVERIFY(m_targets);
}

bool ListLoadTest::WaitForSomeRows()
{
    QSignalSpy slices(m_targets, &QAbstractItemModel::rowsInserted);
    return slices.wait(10000) && m_dlg->IsLoading() && m_targets->RowCount() == RowsAtOnce;
}

QByteArray ListLoadTest::FileBytes(const QString& name) const
{
    QFile file(m_dir->filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool ListLoadTest::RowsAreTheFile(int count) const
{
    if (m_targets->RowCount() != count)
        return false;
    for (int row = 0; row < count; ++row) {
        if (m_targets->Text(row) != "http://t" + std::to_string(row) + ".example/")
            return false;
    }
    return true;
}

// The window is there, painted and taking input, while the rows still come, a slice a turn.
void ListLoadTest::rowsFillInAfterTheWindowShows()
{
    Open(SavedList(Targets));
    QVERIFY(m_dlg->IsLoading());
    QSignalSpy finished(m_dlg.get(), &CQuillpostDlg::LoadFinished);
    QSignalSpy slices(m_targets, &QAbstractItemModel::rowsInserted);
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
    QVERIFY(m_targets->RowCount() < Targets);
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(slices.count(), Targets / RowsAtOnce);
    QVERIFY(!m_dlg->IsLoading());
    QVERIFY(RowsAreTheFile(Targets));
    QCOMPARE(m_messages, QStringList());
}

void ListLoadTest::commandsActOnTheWholeList_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("someRowsIn");
    for (const char* command : {"Save Data", "Submit All", "Add", "Load Data"}) {
        QTest::addRow("%s while the file is read", command) << command << false;
        QTest::addRow("%s while rows come in", command) << command << true;
    }
}

// Whenever it comes, a command that needs the list acts on every row of the file: Save Data
// writes the file as it was, Submit All posts every row, Add appends after the file's rows,
// and Load Data leaves the file's rows once.
void ListLoadTest::commandsActOnTheWholeList()
{
    QFETCH(QString, command);
    QFETCH(bool, someRowsIn);
    // An unknown kind fails without posting, so Submit All needs no server.
    const QByteArray file = SavedList(Targets, command == "Submit All" ? "rss" : "");
    Open(file);
    QSignalSpy finished(m_dlg.get(), &CQuillpostDlg::LoadFinished);
    if (someRowsIn)
        QVERIFY(WaitForSomeRows());
    else
        QCOMPARE(m_targets->RowCount(), 0);

    int rows = Targets;
    if (command == "Save Data") {
        m_dlg->findChild<QAction*>("saveDataAction")->trigger();
        QCOMPARE(FileBytes(), file);
        QVERIFY(!QFile::exists(m_dir->filePath("submitdata.xml.bak")));
    } else if (command == "Submit All") {
        m_dlg->findChild<QPushButton*>("submitAllButton")->click();
        auto* status = m_dlg->findChild<QLabel*>("runStatusLabel");
        QTRY_VERIFY2(status->text().startsWith("Done: 0 succeeded, 600 failed in"),
            qPrintable(status->text()));
    } else if (command == "Add") {
        m_dlg->findChild<QLineEdit*>("urlEdit")->setText("http://added.example/");
        m_dlg->findChild<QPushButton*>("addUrlButton")->click();
        QCOMPARE(m_targets->RowCount(), Targets + 1);
        QCOMPARE(m_targets->Text(Targets), std::string("http://added.example/"));
        rows = Targets + 1;
    } else {
        m_dlg->findChild<QAction*>("loadDataAction")->trigger();
        QVERIFY(m_dlg->IsLoading());
    }
    QTRY_VERIFY(!m_dlg->IsLoading());
    // Nothing of the load comes in after it ended.
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(m_targets->RowCount(), rows);
    QVERIFY(RowsAreTheFile(Targets) || m_targets->Text(Targets) == "http://added.example/");
    QCOMPARE(m_messages, QStringList());
}

void ListLoadTest::closingDuringALoad_data()
{
    QTest::addColumn<bool>("someRowsIn");
    QTest::newRow("while the file is read") << false;
    QTest::newRow("while rows come in") << true;
}

// Closed, then gone, at any point of a load: nothing of it reaches the window afterwards.
void ListLoadTest::closingDuringALoad()
{
    QFETCH(bool, someRowsIn);
    Open(SavedList(Targets));
    m_dlg->show();
    QSignalSpy finished(m_dlg.get(), &CQuillpostDlg::LoadFinished);
    if (someRowsIn)
        QVERIFY(WaitForSomeRows());
    const int rows = m_targets->RowCount();
    m_dlg->reject();
    QVERIFY(!m_dlg->isVisible());
    QVERIFY(!m_dlg->IsLoading());
    QTest::qWait(50);
    QCOMPARE(m_targets->RowCount(), rows);
    QCOMPARE(finished.count(), 0);
    m_dlg.reset();

    // And gone without being closed first, as the tests' windows go.
    Open(SavedList(Targets));
    if (someRowsIn)
        QVERIFY(WaitForSomeRows());
    m_dlg.reset();
    QTest::qWait(50);
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files) == QStringList{"submitdata.xml"});
}

// The well-known services are offered over an empty list, not over one still loading.
void ListLoadTest::wellKnownServicesWaitForTheLoad()
{
    Open(SavedList(Targets));
    auto* starter = m_dlg->findChild<QPushButton*>("addStarterServicesButton");
    bool shown = false;
    connect(m_targets, &QAbstractItemModel::rowsInserted, this,
        [&] { shown = shown || starter->isVisible(); });
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
    QVERIFY(!starter->isVisible());
    QTRY_VERIFY(!m_dlg->IsLoading());
    QVERIFY(!shown && !starter->isVisible());

    // A list with no rows offers them once it is read.
    Open("<data/>");
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
    QTRY_VERIFY(!m_dlg->IsLoading());
    starter = m_dlg->findChild<QPushButton*>("addStarterServicesButton");
    QTRY_VERIFY(starter->isVisible());
}

QTEST_MAIN(ListLoadTest)
#include "ListLoadTest.moc"
