// Save Results' file from the target list. Faults these catch: a row whose post still waits
// to be tried again (or that was never posted) written as a result; rows written out of their
// order or more than once; a file written where it cannot be whole, or a refusal that does
// not say where and why. The fields of each record are core/ResultRecord's own tests'.
#include "runs/ResultsFile.h"

#include "core/PostResult.h"
#include "core/SubmitHost.h"
#include "runs/TargetList.h"
#include "tests/support/CsvReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

namespace {

// A row's state before saving: 'n' not posted, 'w' waiting to be tried again, 's' succeeded,
// 'f' failed.
void AddRow(CTargetList& list, char state, int index)
{
    auto host = std::make_shared<CSubmitHost>();
    host->m_strUrl = "http://t" + std::to_string(index) + ".example/";
    const int row = list.RowCount();
    list.AppendRow(host);
    if (state == 'n')
        return;
    CPostResult result;
    result.SetTarget(*host);
    result.m_outcome = state == 'w' ? PostOutcome::Waiting
        : state == 's'              ? PostOutcome::Succeeded
                                    : PostOutcome::Failed;
    result.m_status = state == 's' ? 200 : 500;
    list.SetResult(row, result);
}

} // namespace

class ResultsFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesTheFinalResultsInRowOrder_data();
    void writesTheFinalResultsInRowOrder();
    void refusesWhatCannotBeWhole();
};

void ResultsFileTest::writesTheFinalResultsInRowOrder_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QStringList>("written");

    QTest::newRow("no results") << "nn" << QStringList();
    QTest::newRow("finals only") << "sf" << QStringList{"0:200", "1:500"};
    QTest::newRow("waiting and unposted left out") << "nwsw" << QStringList{"2:200"};
    QTest::newRow("row order") << "fnsfs" << QStringList{"0:500", "2:200", "3:500", "4:200"};
}

void ResultsFileTest::writesTheFinalResultsInRowOrder()
{
    QFETCH(QString, rows);
    QFETCH(QStringList, written);

    CTargetList list;
    for (int i = 0; i < rows.size(); ++i)
        AddRow(list, rows.at(i).toLatin1(), i);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("results.csv");
    QCOMPARE(CResultsFile::Write(list, path), QString());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const std::optional<CsvRows> csv = ReadCsv(file.readAll().toStdString());
    QVERIFY(csv && !csv->empty());
    QCOMPARE(csv->front().front(), std::string("url"));
    QStringList found;
    for (std::size_t i = 1; i < csv->size(); ++i) {
        const std::string& url = csv->at(i).at(0);
        const std::string index = url.substr(8, url.find('.') - 8);
        found << QString::fromStdString(index + ":" + csv->at(i).at(5));
    }
    QCOMPARE(found, written);
}

void ResultsFileTest::refusesWhatCannotBeWhole()
{
    CTargetList list;
    AddRow(list, 's', 0);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A folder where the file would go.
    const QString path = dir.filePath("results.csv");
    QVERIFY(QDir(dir.path()).mkdir("results.csv"));
    const QString said = CResultsFile::Write(list, path);
    QVERIFY2(said.startsWith("The results were not saved to " + path + ": "), qPrintable(said));
    QVERIFY(said.endsWith('.'));
    QVERIFY(QFileInfo(path).isDir());
}

QTEST_GUILESS_MAIN(ResultsFileTest)
#include "ResultsFileTest.moc"
