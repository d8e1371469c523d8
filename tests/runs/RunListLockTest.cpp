// The lock the window takes on its list while its runs post. Faults these catch: a list
// another run posts let through, or refused without saying who holds it; the window's own
// runs refusing each other; the lock kept after Release (the command line would wait for
// nothing) or let go too early; runs refused where no lock can be had at all.
#include "runs/RunListLock.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

class RunListLockTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void holdsAsTheListAllows_data();
    void holdsAsTheListAllows();
    void sharedByTheWindowsRunsUntilReleased();

private:
    std::string Path(const char* name) const { return m_dir->filePath(name).toStdString(); }
    // Whether the command line could take the list's lock now.
    bool OthersMayTake();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::string m_strList;
};

void RunListLockTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_strList = Path("list.xml");
}

bool RunListLockTest::OthersMayTake()
{
    CListLock other(Path("locks"), m_strList);
    std::string reason;
    return other.TryTake(CListLock::CommandLine, reason) == CListLock::Outcome::Taken;
}

void RunListLockTest::holdsAsTheListAllows_data()
{
    QTest::addColumn<bool>("lockFolder");
    QTest::addColumn<bool>("commandLinePosts");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<bool>("windowHolds");

    QTest::newRow("free list") << true << false << QString() << true;
    QTest::newRow("posted by the command line")
        << true << true
        << "^This list is being posted by the command line \\(process \\d+, since "
           "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\): try again once it has ended\\.$"
        << false;
    QTest::newRow("no lock to be had") << false << false << QString() << false;
}

void RunListLockTest::holdsAsTheListAllows()
{
    QFETCH(bool, lockFolder);
    QFETCH(bool, commandLinePosts);
    QFETCH(QString, refusal);
    QFETCH(bool, windowHolds);

    std::string reason;
    CListLock commandLine(Path("locks"), m_strList);
    if (commandLinePosts)
        QCOMPARE(commandLine.TryTake(CListLock::CommandLine, reason), CListLock::Outcome::Taken);

    CRunListLock lock;
    lock.SetFolder(lockFolder ? Path("locks") : std::string());
    const QString said = lock.Hold(m_strList);
    if (refusal.isEmpty())
        QCOMPARE(said, QString());
    else
        QVERIFY2(QRegularExpression(refusal).match(said).hasMatch(), qPrintable(said));

    commandLine.Release();
    QCOMPARE(OthersMayTake(), !windowHolds);
}

void RunListLockTest::sharedByTheWindowsRunsUntilReleased()
{
    CRunListLock lock;
    lock.SetFolder(Path("locks"));
    QCOMPARE(lock.Hold(m_strList), QString());
    // A second run of the window's while the first still posts.
    QCOMPARE(lock.Hold(m_strList), QString());
    QVERIFY(!OthersMayTake());

    lock.Release();
    QVERIFY(OthersMayTake());
    // Taken anew by the next run.
    QCOMPARE(lock.Hold(m_strList), QString());
    QVERIFY(!OthersMayTake());
}

QTEST_GUILESS_MAIN(RunListLockTest)
#include "RunListLockTest.moc"
