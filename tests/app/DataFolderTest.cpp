// An installed copy of the program: its list starts from the shipped one, lives in the
// user's own folder from the first save on, and Help > Open Data Folder shows that folder.
#include "app/QuillpostDlg.h"
#include "app/TargetListModel.h"
#include "data/DataLocation.h"
#include "tests/support/RecordOpenedAddresses.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>
#include <vector>

class DataFolderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startsFromTheShippedListAndSavesTheUsersOwn();
    void warningsNameTheFileInFull();
    void openDataFolderShowsTheListsFolder();

    // The user's data folder: never one relative to the working folder, and a save that
    // cannot make it says why.
    void saveSaysWhyTheFolderCouldNotBeMade();
    void relativeUserFolderIsNeverUsed();
    void unknownUserFolderIsNeverTheWorkingFolder();
    void withoutHomeTheSaveSaysSo();

private:
    // The program runs from its install folder, so the list is the user's.
    void OpenWindow() { OpenWindow(m_user); }
    void OpenWindow(const QString& userFolder)
    {
        m_dlg = std::make_unique<CQuillpostDlg>(CDataLocation::Resolve(
            {m_bin, userFolder, {m_root.filePath("share/quillpost")}, m_bin}));
        m_targets
            = qobject_cast<CTargetListModel*>(m_dlg->findChild<QTableView*>("targetList")->model());
        QVERIFY(m_targets);
        QTRY_VERIFY(!m_dlg->IsLoading());
    }
    // Triggers the action and waits for a load it started to put every row in.
    void Trigger(const char* action)
    {
        m_dlg->findChild<QAction*>(action)->trigger();
        QTRY_VERIFY(!m_dlg->IsLoading());
    }
    QStringList Urls() const
    {
        QStringList urls;
        for (int row = 0; row < m_targets->RowCount(); ++row)
            urls << QString::fromStdString(m_targets->Record(row)->m_strUrl);
        return urls;
    }
    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static void Write(const QString& path, const QByteArray& bytes)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    // Saves and Open Data Folder from the window, in a working folder of its own that
    // nothing may be made in; the messages they gave.
    void SaveAndOpenFolderInAWorkingFolder()
    {
        const QString working = m_root.filePath("working");
        QVERIFY(QDir().mkpath(working));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(working));
        RecordOpenedAddresses recorder;
        m_dlg->findChild<QLineEdit*>("urlEdit")->setText("http://added.example/");
        m_dlg->findChild<QPushButton*>("addUrlButton")->click();
        Trigger("saveDataAction");
        Trigger("openDataFolderAction");
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(QDir(working).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList());
        QCOMPARE(recorder.Opened(), QStringList());
    }

    QTemporaryDir m_root;
    QString m_bin;
    QString m_user;
    QString m_shipped;
    QString m_own;
    std::unique_ptr<CQuillpostDlg> m_dlg;
    CTargetListModel* m_targets = nullptr;
    std::vector<CMessageBox::CMessage> m_messages;
};

void DataFolderTest::init()
{
    QVERIFY(m_root.isValid());
    QDir(m_root.path()).removeRecursively();
    QVERIFY(QDir().mkpath(m_root.filePath("bin")));
    m_bin = m_root.filePath("bin");
    // Characters a file address must escape.
    m_user = m_root.filePath("home/a user/#data?/Quillpost");
    m_shipped = m_root.filePath("share/quillpost/submitdata.xml");
    m_own = m_user + "/submitdata.xml";
    m_messages.clear();
    CMessageBox::SetTestHook([this](const CMessageBox::CMessage& m) { m_messages.push_back(m); });
}

void DataFolderTest::cleanup()
{
    m_dlg.reset();
    CMessageBox::SetTestHook(nullptr);
}

void DataFolderTest::startsFromTheShippedListAndSavesTheUsersOwn()
{
    const QByteArray shipped = "<data><Host URL='http://shipped.example/'/></data>";
    Write(m_shipped, shipped);
    OpenWindow();
    QCOMPARE(Urls(), QStringList{"http://shipped.example/"});

    m_dlg->findChild<QLineEdit*>("urlEdit")->setText("http://added.example/");
    m_dlg->findChild<QPushButton*>("addUrlButton")->click();
    Trigger("saveDataAction");
    QCOMPARE(Read(m_shipped), shipped);
    QVERIFY(Read(m_own).contains("added.example"));

    // From now on the user's own list is the one read, whatever is shipped.
    Write(m_shipped, "<data><Host URL='http://updated.example/'/></data>");
    Trigger("loadDataAction");
    QCOMPARE(Urls(), QStringList({"http://shipped.example/", "http://added.example/"}));
    OpenWindow();
    QCOMPARE(Urls(), QStringList({"http://shipped.example/", "http://added.example/"}));
    QCOMPARE(m_messages.size(), std::size_t(0));
}

void DataFolderTest::warningsNameTheFileInFull()
{
    Write(m_shipped, "<data>");
    OpenWindow();
    QCOMPARE(m_messages.size(), std::size_t(1));
    QVERIFY2(
        m_messages.back().m_strText.contains(m_shipped), qPrintable(m_messages.back().m_strText));
    // Saves go to the user's own file, so the shipped one is never kept aside either.
    QVERIFY2(
        !m_messages.back().m_strText.contains(".bak"), qPrintable(m_messages.back().m_strText));

    // A file where the user's folder would go: the folder cannot be made.
    Write(m_root.filePath("home/a user/#data?"), "");
    Trigger("saveDataAction");
    QCOMPARE(m_messages.size(), std::size_t(2));
    QVERIFY2(m_messages.back().m_strText.contains(m_own), qPrintable(m_messages.back().m_strText));
    QCOMPARE(Read(m_shipped), QByteArray("<data>"));
}

void DataFolderTest::openDataFolderShowsTheListsFolder()
{
    RecordOpenedAddresses recorder;
    OpenWindow();
    auto* help = m_dlg->findChild<QMenu*>("helpMenu");
    auto* open = m_dlg->findChild<QAction*>("openDataFolderAction");
    QVERIFY(help && open && help->actions().contains(open));
    QCOMPARE(open->text(), QStringLiteral("&Open Data Folder"));

    open->trigger();
    QCOMPARE(recorder.Opened().size(), 1);
    QCOMPARE(QUrl(recorder.Opened().front()).toLocalFile(), m_user);
    // A file manager cannot show a folder that is not there.
    QVERIFY(QFileInfo(m_user).isDir());
}

void DataFolderTest::saveSaysWhyTheFolderCouldNotBeMade()
{
    OpenWindow();
    // A file where the user's folder would go; root may write anywhere, but not make a
    // folder inside a file.
    Write(m_root.filePath("home/a user/#data?"), "");
    Trigger("saveDataAction");
    QCOMPARE(m_messages.size(), std::size_t(1));
    QCOMPARE(m_messages.back().m_strText,
        QStringLiteral("The data file %1 was not saved: the folder %2 could not be made: Not a "
                       "directory. The file was left as it was.")
            .arg(m_own, m_user));
}

// What QStandardPaths makes of XDG_DATA_HOME=rel/xdg: a folder in whatever the working
// folder is.
void DataFolderTest::relativeUserFolderIsNeverUsed()
{
    OpenWindow(QStringLiteral("rel/xdg/Quillpost"));
    SaveAndOpenFolderInAWorkingFolder();
    QCOMPARE(m_messages.size(), std::size_t(2));
    QVERIFY2(m_messages.front().m_strText.startsWith(
                 "The data file submitdata.xml was not saved: the user's data folder is "
                 "unknown: rel/xdg/Quillpost is not an absolute path."),
        qPrintable(m_messages.front().m_strText));
    QVERIFY2(m_messages.back().m_strText.contains("the user's data folder is unknown"),
        qPrintable(m_messages.back().m_strText));
}

void DataFolderTest::unknownUserFolderIsNeverTheWorkingFolder()
{
    const QByteArray shipped = "<data><Host URL='http://shipped.example/'/></data>";
    Write(m_shipped, shipped);
    OpenWindow(QString());
    // A starting list is still read.
    QCOMPARE(Urls(), QStringList{"http://shipped.example/"});
    SaveAndOpenFolderInAWorkingFolder();
    QCOMPARE(Read(m_shipped), shipped);
    QCOMPARE(m_messages.size(), std::size_t(2));
    QVERIFY2(
        m_messages.front().m_strText.startsWith("The data file submitdata.xml was not saved: the "
                                                "user's data folder is unknown."),
        qPrintable(m_messages.front().m_strText));
}

// What the program makes of HOME and XDG_DATA_HOME when neither gives a folder.
void DataFolderTest::withoutHomeTheSaveSaysSo()
{
    const CDataLocation::CUserFolder user
        = CDataLocation::UserFolderOf(QString(), QString(), QStringLiteral("Quillpost"));
    m_dlg = std::make_unique<CQuillpostDlg>(CDataLocation::Resolve(
        {m_bin, user.m_strPath, {m_root.filePath("share/quillpost")}, m_bin, user.m_strUnknown}));
    m_targets
        = qobject_cast<CTargetListModel*>(m_dlg->findChild<QTableView*>("targetList")->model());
    QTRY_VERIFY(!m_dlg->IsLoading());
    SaveAndOpenFolderInAWorkingFolder();
    QCOMPARE(m_messages.size(), std::size_t(2));
    QCOMPARE(m_messages.front().m_strText,
        QStringLiteral("The data file submitdata.xml was not saved: the user's data folder is "
                       "unknown: HOME is not set. The file was left as it was."));
    QCOMPARE(m_messages.back().m_strText,
        QStringLiteral("The data folder cannot be shown: the user's data folder is unknown: "
                       "HOME is not set."));
}

QTEST_MAIN(DataFolderTest)
#include "DataFolderTest.moc"
