// The target list's file read off the list's thread and appended in slices: every row once and
// in file order, the event loop turning between slices, and a load finished early leaving
// nothing behind to reach the list later. What the window makes of loads started over or
// dropped, and of refused files, its own tests show (ListLoadTest, DataFileTest).
#include "runs/TargetLoader.h"
#include "core/target/SubmitHost.h"
#include "runs/TargetList.h"
#include "runs/TargetStore.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>

namespace {

QByteArray ListOf(int count)
{
    QByteArray xml = "<?xml version=\"1.0\"?><data>";
    for (int i = 0; i < count; ++i)
        xml += "<Host URL=\"http://t" + QByteArray::number(i)
            + ".example/\"><param name=\"n\" value=\"v\"/></Host>";
    return xml + "</data>";
}

} // namespace

class TargetLoaderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void rowsComeInSlicesBetweenTurns();
    void finishEndsTheLoadAtOnce_data();
    void finishEndsTheLoadAtOnce();

private:
    void Write(const QByteArray& bytes);
    // Whether every row is the file's i-th target, in order, once.
    bool RowsAreTheFirst(int count) const;
    // Runs the event loop until the list has at least rows rows or the load ended.
    bool WaitForRows(int rows);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CTargetStore> m_store;
    std::unique_ptr<CTargetList> m_targets;
    std::unique_ptr<CTargetLoader> m_loader;
};

void TargetLoaderTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_store = std::make_unique<CTargetStore>(CDataLocation(m_dir->path()));
    m_targets = std::make_unique<CTargetList>();
    m_loader = std::make_unique<CTargetLoader>(*m_store, *m_targets);
}

void TargetLoaderTest::cleanup()
{
    m_loader.reset();
    m_targets.reset();
    m_store.reset();
    m_dir.reset();
}

void TargetLoaderTest::Write(const QByteArray& bytes)
{
    QFile file(m_dir->filePath("submitdata.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

bool TargetLoaderTest::RowsAreTheFirst(int count) const
{
    if (m_targets->RowCount() != count)
        return false;
    for (int row = 0; row < count; ++row) {
        const std::string url = "http://t" + std::to_string(row) + ".example/";
        if (m_targets->Text(row) != url || m_targets->Record(row)->GetPostData() != "n=v")
            return false;
    }
    return true;
}

bool TargetLoaderTest::WaitForRows(int rows)
{
    return QTest::qWaitFor(
        [&] { return m_targets->RowCount() >= rows || !m_loader->IsLoading(); }, 10000);
}

// Slices of ten rows: every slice lets a timer that is due run before the next one, and the
// rows stand in file order with their ids.
void TargetLoaderTest::rowsComeInSlicesBetweenTurns()
{
    Write(ListOf(95));
    m_loader->SetSlices(10, 0);
    int turns = 0;
    QTimer turn;
    connect(&turn, &QTimer::timeout, [&turns] { ++turns; });
    turn.start(0);
    QList<int> turnsAtSlice;
    QList<int> sliceSizes;
    connect(m_targets.get(), &QAbstractItemModel::rowsInserted,
        [&](const QModelIndex&, int first, int last) {
            turnsAtSlice << turns;
            sliceSizes << last - first + 1;
        });
    QSignalSpy finished(m_loader.get(), &CTargetLoader::Finished);
    m_loader->Start();
    QVERIFY(m_loader->IsLoading());
    QVERIFY(finished.wait(10000));
    QVERIFY(!m_loader->IsLoading());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toString(), QString());
    QCOMPARE(sliceSizes, (QList<int>{10, 10, 10, 10, 10, 10, 10, 10, 10, 5}));
    for (int i = 1; i < turnsAtSlice.size(); ++i)
        QVERIFY2(turnsAtSlice[i] > turnsAtSlice[i - 1], qPrintable(QString::number(i)));
    QVERIFY(RowsAreTheFirst(95));
    for (int row = 1; row < m_targets->RowCount(); ++row)
        QVERIFY(m_targets->Id(row) > m_targets->Id(row - 1));
}

void TargetLoaderTest::finishEndsTheLoadAtOnce_data()
{
    QTest::addColumn<int>("rowsFirst");
    QTest::newRow("while the file is read") << 0;
    QTest::newRow("while rows come in") << 30;
}

// Finish hands over every row before it returns, and what the read would still have sent or
// appended later comes to nothing.
void TargetLoaderTest::finishEndsTheLoadAtOnce()
{
    QFETCH(int, rowsFirst);
    Write(ListOf(2000));
    m_loader->SetSlices(10, 0);
    QSignalSpy finished(m_loader.get(), &CTargetLoader::Finished);
    m_loader->Start();
    if (rowsFirst > 0) {
        QVERIFY(WaitForRows(rowsFirst));
        QVERIFY(m_loader->IsLoading());
    }
    m_loader->Finish();
    QVERIFY(!m_loader->IsLoading());
    QCOMPARE(finished.count(), 1);
    QVERIFY(RowsAreTheFirst(2000));
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
    QVERIFY(RowsAreTheFirst(2000));
    // Between loads it does nothing.
    m_loader->Finish();
    QCOMPARE(finished.count(), 1);
}

QTEST_GUILESS_MAIN(TargetLoaderTest)
#include "TargetLoaderTest.moc"
