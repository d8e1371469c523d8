// The window's data file: what "Save Data..." writes comes back from "Load Data..." byte for
// byte, and a file that cannot be used is reported once, never touched.
#include "app/QuillpostDlg.h"
#include "app/TargetListModel.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <utility>
#include <vector>

namespace {

using Params = std::vector<std::pair<std::string, std::string>>;
struct Target
{
    std::string url;
    Params params;
    bool operator==(const Target& other) const
    {
        return url == other.url && params == other.params;
    }
};
using Targets = std::vector<Target>;

Params RecordParams(const CSubmitHost& record)
{
    Params params;
    CSubmitHost::ParamPosition pos;
    CPostParam param;
    for (bool more = record.GetFirstParam(pos, param); more; more = record.GetNextParam(pos, param))
        params.emplace_back(param.m_strName, param.m_strValue);
    return params;
}

} // namespace

Q_DECLARE_METATYPE(Targets)

class DataFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void roundTrip_data();
    void roundTrip();
    void loadTwiceKeepsOneCopy();
    void deletedFileLoadsNothingSilently();
    void unusableFileWarnsAndStaysUntouched_data();
    void unusableFileWarnsAndStaysUntouched();
    void failedSaveWarnsAndKeepsListAndFile();
    void loadKeepsRecordsARunStillHolds();

private:
    void OpenWindow();
    void Trigger(const char* action) { m_dlg->findChild<QAction*>(action)->trigger(); }
    void Fill(const Targets& targets);
    Targets Rows() const;
    QByteArray FileBytes() const;
    void WriteFile(const QByteArray& bytes) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CQuillpostDlg> m_dlg;
    CTargetListModel* m_targets = nullptr;
    QTableView* m_targetView = nullptr;
    std::vector<CMessageBox::Message> m_messages;
};

void DataFileTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages.clear();
    CMessageBox::SetTestHook([this](const CMessageBox::Message& m) { m_messages.push_back(m); });
}

void DataFileTest::cleanup()
{
    m_dlg.reset();
    m_dir.reset();
    CMessageBox::SetTestHook(nullptr);
}

void DataFileTest::OpenWindow()
{
    m_dlg.reset();
    m_dlg = std::make_unique<CQuillpostDlg>(m_dir->path());
    m_targetView = m_dlg->findChild<QTableView*>("targetList");
    m_targets = qobject_cast<CTargetListModel*>(m_targetView->model());
    QVERIFY(m_targets);
}

// Rows made as the window's Add makes them; values a line edit cannot hold included.
void DataFileTest::Fill(const Targets& targets)
{
    for (const Target& target : targets) {
        auto record = std::make_shared<CSubmitHost>();
        record->m_strUrl = target.url;
        for (const auto& [name, value] : target.params)
            record->AddParam(CPostParam(name, value));
        const int row = m_targets->RowCount();
        m_targets->AppendRow(std::move(record));
        m_targets->SetStatus(row, CQuillpostDlg::ImageFailed);
    }
}

Targets DataFileTest::Rows() const
{
    Targets rows;
    for (int row = 0; row < m_targets->RowCount(); ++row) {
        const auto record = m_targets->Record(row);
        if (!record || m_targets->Text(row) != record->m_strUrl)
            return {{"row " + std::to_string(row) + " does not match its record", {}}};
        rows.push_back({record->m_strUrl, RecordParams(*record)});
    }
    return rows;
}

QByteArray DataFileTest::FileBytes() const
{
    QFile file(m_dir->filePath("submitdata.xml"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void DataFileTest::WriteFile(const QByteArray& bytes) const
{
    QFile file(m_dir->filePath("submitdata.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

void DataFileTest::roundTrip_data()
{
    QTest::addColumn<Targets>("targets");
    QTest::newRow("empty list") << Targets{};
    QTest::newRow("markup characters")
        << Targets{{"http://a.example/?x=1&y=<2>", {{"&<>\"'", "a&amp;b \"q\" 'a' <t>]]>"}}}};
    QTest::newRow("line breaks and tabs")
        << Targets{{"cr\rlf\ncrlf\r\n", {{"\ttab", " lead and trail "}, {"\r\n", "\n\n\r"}}}};
    QTest::newRow("non-ASCII UTF-8") << Targets{{"http://b\xC3\xBC"
                                                 "cher.example/\xE2\x82\xAC",
        {{"\xE5\x90\x8D", "\xF0\x9F\x98\x80 \xD0\xB4"}}}};
    QTest::newRow("empty texts") << Targets{{"", {{"", ""}, {"", "v"}, {"n", ""}}}};
    QTest::newRow("duplicate rows")
        << Targets{{"http://d.example/", {{"furl", "x"}, {"furl", "x"}}},
               {"http://d.example/", {{"furl", "x"}, {"furl", "x"}}}};
    QTest::newRow("targets without parameters") << Targets{
        {"http://e.example/", {}}, {"http://f.example/", {{"a", "b"}}}, {"http://g.example/", {}}};
}

void DataFileTest::roundTrip()
{
    QFETCH(Targets, targets);
    OpenWindow();
    Fill(targets);
    Trigger("saveDataAction");
    const QByteArray saved = FileBytes();
    QVERIFY(saved.startsWith("<?xml version=\"1.0\"?><data"));

    // The window that opens next loads it, and so does "Load Data..." in a busy window.
    OpenWindow();
    QVERIFY(Rows() == targets);
    Fill({{"extra", {{"n", "v"}}}});
    m_targetView->selectionModel()->select(
        m_targets->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Trigger("loadDataAction");
    QVERIFY(Rows() == targets);
    for (int row = 0; row < m_targets->RowCount(); ++row)
        QCOMPARE(m_targets->Image(row), int(CQuillpostDlg::ImageNotPosted));
    QVERIFY(!m_targetView->selectionModel()->hasSelection());

    Trigger("saveDataAction");
    QCOMPARE(FileBytes(), saved);
    QCOMPARE(m_messages.size(), std::size_t(0));
}

void DataFileTest::loadTwiceKeepsOneCopy()
{
    WriteFile("<data><Host URL='a'><param name='n' value='v'/></Host><Host URL='b'/></data>");
    OpenWindow();
    Trigger("loadDataAction");
    Trigger("loadDataAction");
    QVERIFY(Rows() == (Targets{{"a", {{"n", "v"}}}, {"b", {}}}));
}

void DataFileTest::deletedFileLoadsNothingSilently()
{
    WriteFile("<data><Host URL='a'/></data>");
    OpenWindow();
    QCOMPARE(m_targets->RowCount(), 1);
    QVERIFY(QFile::remove(m_dir->filePath("submitdata.xml")));
    Trigger("loadDataAction");
    QCOMPARE(m_targets->RowCount(), 0);
    QCOMPARE(m_messages.size(), std::size_t(0));
}

void DataFileTest::unusableFileWarnsAndStaysUntouched_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not well-formed") << QByteArray("<data>\n<Host URL='a'>\n</data>") << "line 3";
    QTest::newRow("wrong root") << QByteArray("<Data><Host URL='a'/></Data>") << "root element";
    QTest::newRow("binary") << QByteArray("\x00\x01\x02\xFF", 4) << "NUL";
    QTest::newRow("entities") << QByteArray(
        "<!DOCTYPE data [<!ENTITY a 'aaaa'>]><data><Host URL='&a;'/></data>")
                              << "entity";
    QTest::newRow("attribute given twice")
        << QByteArray("<data><Host URL='a' URL='b'/></data>") << "given twice at line 1, column 21";
    QTest::newRow("undeclared entity")
        << QByteArray("<data><Host URL='&bogus;'/></data>") << "undeclared entity &bogus;";
    QTest::newRow("other encoding")
        << QByteArray("<?xml version='1.0' encoding='KOI8-R'?><data/>") << "unsupported encoding";
}

void DataFileTest::unusableFileWarnsAndStaysUntouched()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    WriteFile(bytes);
    OpenWindow();
    QCOMPARE(m_targets->RowCount(), 0);
    QCOMPARE(m_messages.size(), std::size_t(1));
    const CMessageBox::Message& message = m_messages.front();
    QCOMPARE(message.icon, QMessageBox::Warning);
    QCOMPARE(message.caption, QStringLiteral("Quillpost"));
    QVERIFY2(message.text.contains(m_dir->filePath("submitdata.xml")), qPrintable(message.text));
    QVERIFY2(message.text.contains(reason), qPrintable(message.text));
    QCOMPARE(FileBytes(), bytes);
}

void DataFileTest::failedSaveWarnsAndKeepsListAndFile()
{
    const QByteArray old = "<data><Host URL='old'/></data>";
    WriteFile(old);
    OpenWindow();
    const Targets big = {{"old", {}}, {"big", {{"furl", std::string(64 * 1024, 'x')}}}};
    Fill({big[1]});

    // The file-size limit stands in for a full disk; root writes through permission bits.
    rlimit saved = {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    Trigger("saveDataAction");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(m_messages.size(), std::size_t(1));
    QVERIFY2(m_messages.front().text.contains(m_dir->filePath("submitdata.xml")),
        qPrintable(m_messages.front().text));
    QVERIFY2(
        m_messages.front().text.contains("File too large"), qPrintable(m_messages.front().text));
    QCOMPARE(FileBytes(), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList{"submitdata.xml"});
    QVERIFY(Rows() == big);
}

void DataFileTest::loadKeepsRecordsARunStillHolds()
{
    WriteFile("<data><Host URL='a'><param name='n' value='v'/></Host></data>");
    OpenWindow();
    // A Submit All run holds the records it has still to post.
    const std::shared_ptr<CSubmitHost> held = m_targets->Record(0);
    QVERIFY(held);
    Trigger("loadDataAction");
    QCOMPARE(m_targets->RowCount(), 1);
    QVERIFY(m_targets->Record(0) != held);
    QCOMPARE(held->m_strUrl, std::string("a"));
    QVERIFY(RecordParams(*held) == (Params{{"n", "v"}}));
}

QTEST_MAIN(DataFileTest)
#include "DataFileTest.moc"
