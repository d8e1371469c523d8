// The window's data file: what "Save Data..." writes comes back from "Load Data..." byte for
// byte, and a file that cannot be used is reported once, never touched.
#include "app/QuillpostDlg.h"
#include "app/TargetListModel.h"
#include "tests/data/DataTestSupport.h"
#include "ui/MessageBox.h"
#include "ui/Resources.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <utility>
#include <vector>

using namespace datatest;

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
    void refusedFileIsKeptAsBackup_data();
    void refusedFileIsKeptAsBackup();
    void fileChangedOnDiskIsKeptAsBackup_data();
    void contentTheListIgnoresIsKeptAsBackup_data();
    void controlCharactersAreReplacedAndTold();
    void fieldsDropControlCharactersTypedOrPasted();
    void contentTheListIgnoresIsKeptAsBackup();
    void fileChangedOnDiskIsKeptAsBackup();
    void loadKeepsRecordsARunStillHolds();

private:
    void OpenWindow();
    // Triggers the action and waits for a load it started to put every row in.
    void Trigger(const char* action);
    void Fill(const Targets& targets);
    Targets Rows() const;
    QByteArray FileBytes(const QString& name = QStringLiteral("submitdata.xml")) const;
    void WriteFile(const QByteArray& bytes) const;
    // The one message since the last call, or a note that there was none or more.
    QString TakeMessage();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CQuillpostDlg> m_dlg;
    CTargetListModel* m_targets = nullptr;
    QTableView* m_targetView = nullptr;
    std::vector<CMessageBox::CMessage> m_messages;
};

void DataFileTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages.clear();
    CMessageBox::SetTestHook([this](const CMessageBox::CMessage& m) { m_messages.push_back(m); });
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
    QTRY_VERIFY(!m_dlg->IsLoading());
}

void DataFileTest::Trigger(const char* action)
{
    m_dlg->findChild<QAction*>(action)->trigger();
    QTRY_VERIFY(!m_dlg->IsLoading());
}

// Rows made as the window's Add makes them; values a line edit cannot hold included.
void DataFileTest::Fill(const Targets& targets)
{
    for (std::shared_ptr<CSubmitHost>& record : ToRecords(targets)) {
        const int row = m_targets->RowCount();
        m_targets->AppendRow(std::move(record));
        m_targets->SetResult(row, CPostResult());
    }
}

Targets DataFileTest::Rows() const
{
    Targets rows;
    for (int row = 0; row < m_targets->RowCount(); ++row) {
        const auto record = m_targets->Record(row);
        if (!record || m_targets->Text(row) != record->m_strUrl)
            return {{"row " + std::to_string(row) + " does not match its record", {}}};
        rows.push_back({record->m_strUrl, ParamsOf(*record)});
    }
    return rows;
}

QByteArray DataFileTest::FileBytes(const QString& name) const
{
    QFile file(m_dir->filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void DataFileTest::WriteFile(const QByteArray& bytes) const
{
    QFile file(m_dir->filePath("submitdata.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString DataFileTest::TakeMessage()
{
    const std::vector<CMessageBox::CMessage> messages = std::exchange(m_messages, {});
    if (messages.size() != 1)
        return QStringLiteral("%1 messages").arg(messages.size());
    return messages.front().m_strText;
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
        QCOMPARE(m_targets->Image(row), int(ImageNotPosted));
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
    QTest::newRow("binary") << QByteArray("\x00\x01\x02\xFF", 4)
                            << "invalid token at line 1, column 1";
    QTest::newRow("entities") << QByteArray(
        "<!DOCTYPE data [<!ENTITY a 'aaaa'>]><data><Host URL='&a;'/></data>")
                              << "(entities and the like) are not supported";
    QTest::newRow("attribute given twice") << QByteArray("<data><Host URL='a' URL='b'/></data>")
                                           << "duplicate attribute at line 1, column 21";
    QTest::newRow("undeclared entity") << QByteArray("<data><Host URL='&bogus;'/></data>")
                                       << "undefined entity at line 1, column 7";
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
    const CMessageBox::CMessage& message = m_messages.front();
    QCOMPARE(message.m_icon, QMessageBox::Warning);
    QCOMPARE(message.m_strCaption, QStringLiteral("Quillpost"));
    QVERIFY2(message.m_strText.contains(m_dir->filePath("submitdata.xml")),
        qPrintable(message.m_strText));
    QVERIFY2(message.m_strText.contains(reason), qPrintable(message.m_strText));
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
    QVERIFY2(m_messages.front().m_strText.contains(m_dir->filePath("submitdata.xml")),
        qPrintable(m_messages.front().m_strText));
    QVERIFY2(m_messages.front().m_strText.contains("File too large"),
        qPrintable(m_messages.front().m_strText));
    QCOMPARE(FileBytes(), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList{"submitdata.xml"});
    QVERIFY(Rows() == big);
}

void DataFileTest::refusedFileIsKeptAsBackup_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("size");
    const QByteArray broken = "<data>" + QByteArray(50, 'x') + "<Host URL='a&b'/></data>";
    QTest::newRow("ill-formed") << broken << qint64(0);
    QTest::newRow("empty") << QByteArray() << qint64(0);
    QTest::newRow("wrong root") << QByteArray("<list><Host URL='a'/></list>") << qint64(0);
    // Sparse, so the test needs no such space.
    QTest::newRow("over the size limit") << QByteArray("<data/>") << qint64(65 * 1024 * 1024);
}

void DataFileTest::refusedFileIsKeptAsBackup()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, size);
    WriteFile(bytes);
    if (size > 0)
        QVERIFY(QFile::resize(m_dir->filePath("submitdata.xml"), size));
    const QByteArray old = FileBytes();
    const QString backup = m_dir->filePath("submitdata.xml.bak");
    QFile older(backup);
    QVERIFY(older.open(QIODevice::WriteOnly));
    older.write("an older backup, longer than the file kept now");
    older.close();
    OpenWindow();
    QString message = TakeMessage();
    QVERIFY2(message.contains("was not loaded")
            && message.contains("The next save keeps it as " + backup),
        qPrintable(message));

    Fill({{"http://new.example/", {{"furl", "x"}}}});
    Trigger("saveDataAction");
    message = TakeMessage();
    QVERIFY2(message.contains("was saved") && message.contains("it is kept as " + backup),
        qPrintable(message));
    QCOMPARE(FileBytes("submitdata.xml.bak"), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        (QStringList{"submitdata.xml", "submitdata.xml.bak"}));
    OpenWindow();
    QVERIFY(Rows() == (Targets{{"http://new.example/", {{"furl", "x"}}}}));

    // Told once: the file is now the program's own.
    Trigger("saveDataAction");
    QCOMPARE(TakeMessage(), QStringLiteral("0 messages"));
    QCOMPARE(FileBytes("submitdata.xml.bak"), old);
}

void DataFileTest::fileChangedOnDiskIsKeptAsBackup_data()
{
    QTest::addColumn<QByteArray>("atStart");
    QTest::addColumn<QByteArray>("edited");
    QTest::newRow("edited by another program")
        << QByteArray("<data><Host URL='a'/></data>") << QByteArray("<data><Host URL='b'/></data>");
    QTest::newRow("appeared where there was none")
        << QByteArray() << QByteArray("<data><Host URL='made elsewhere'/></data>");
}

void DataFileTest::fileChangedOnDiskIsKeptAsBackup()
{
    QFETCH(QByteArray, atStart);
    QFETCH(QByteArray, edited);
    if (!atStart.isEmpty())
        WriteFile(atStart);
    OpenWindow();
    // A save over the program's own last write keeps nothing and says nothing.
    Trigger("saveDataAction");
    Trigger("saveDataAction");
    QCOMPARE(TakeMessage(), QStringLiteral("0 messages"));
    QVERIFY(!QFile::exists(m_dir->filePath("submitdata.xml.bak")));

    // Replaced by a new file, as editors save; the same size and the same inode
    // would still differ in the time written.
    QVERIFY(QFile::remove(m_dir->filePath("submitdata.xml")));
    WriteFile(edited);
    Trigger("saveDataAction");
    const QString message = TakeMessage();
    QVERIFY2(message.contains("it is kept as " + m_dir->filePath("submitdata.xml.bak")),
        qPrintable(message));
    QCOMPARE(FileBytes("submitdata.xml.bak"), edited);
}

void DataFileTest::contentTheListIgnoresIsKeptAsBackup_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("kept");
    const auto row = [](const char* name, const QByteArray& inside, bool kept) {
        QTest::newRow(name) << "<data><Host URL='a'><param name='n' value='v'/></Host>" + inside
                + "</data>" << kept;
    };
    row("comment", "<!-- note -->", true);
    row("processing instruction", "<?editor x?>", true);
    row("attribute on a target", "<Host URL='b' id='2'/>", true);
    row("attribute on a parameter", "<Host URL='b'><param name='n' value='v' x=''/></Host>", true);
    row("unknown element", "<group><Host URL='b'/></group>", true);
    row("element in a parameter", "<Host><param><note/></param></Host>", true);
    row("lower-case host", "<host URL='b'/>", true);
    row("text", "<Host URL='b'>text</Host>", true);
    row("CDATA", "<![CDATA[ ]]>", true);
    QTest::newRow("document type") << QByteArray("<!DOCTYPE data><data/>") << true;
    // All of these come back as they were meant.
    QTest::newRow("declaration and whitespace")
        << QByteArray("<?xml version='1.0' encoding='ISO-8859-1'?>\n<data>\n  <Host URL=\"\xE9\">\n"
                      "    <param value='v' name='n'/>\n  </Host>\n</data>\n")
        << false;
    row("attributes left out", "<Host><param/><param name='m'/></Host>", false);
}

void DataFileTest::contentTheListIgnoresIsKeptAsBackup()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, kept);
    WriteFile(bytes);
    OpenWindow();
    QCOMPARE(TakeMessage(), QStringLiteral("0 messages"));
    Trigger("saveDataAction");
    if (!kept) {
        QCOMPARE(TakeMessage(), QStringLiteral("0 messages"));
        QVERIFY(!QFile::exists(m_dir->filePath("submitdata.xml.bak")));
        return;
    }
    const QString message = TakeMessage();
    QVERIFY2(message.contains("it is kept as " + m_dir->filePath("submitdata.xml.bak")),
        qPrintable(message));
    QCOMPARE(FileBytes("submitdata.xml.bak"), bytes);
    Trigger("saveDataAction");
    QCOMPARE(TakeMessage(), QStringLiteral("0 messages"));
}

void DataFileTest::controlCharactersAreReplacedAndTold()
{
    OpenWindow();
    Fill({{"http://clean.example/", {{"n", "tab\tCR\rLF\n"}}}, {"http://url\x01.example/", {}},
        {"http://value.example/", {{"n", "esc\x1B"}}},
        {"http://name.example/", {{std::string("nul\0", 4), "v"}}},
        {"http://latin1.example/", {{"n", "caf\xE9"}}}});
    Trigger("saveDataAction");
    QString message = TakeMessage();
    QVERIFY2(message.contains("saved as U+FFFD in the targets \"http://url\xEF\xBF\xBD.example/\", "
                              "\"http://value.example/\", \"http://name.example/\" and 1 more."),
        qPrintable(message));
    const QByteArray saved = FileBytes();
    for (const char c : saved)
        QVERIFY2(static_cast<unsigned char>(c) >= 0x20, saved.constData());
    QCOMPARE(saved.count("\xEF\xBF\xBD"), 4);

    // Only the targets that hold such characters are named, and only while they do.
    OpenWindow();
    Trigger("saveDataAction");
    QCOMPARE(TakeMessage(), QStringLiteral("0 messages"));
    Fill({{"http://one.example/", {{"n", "\x7F\x05"}}}});
    Trigger("saveDataAction");
    message = TakeMessage();
    QVERIFY2(message.endsWith("in the target \"http://one.example/\"."), qPrintable(message));
}

void DataFileTest::fieldsDropControlCharactersTypedOrPasted()
{
    WriteFile("<data><Host URL='http://a.example/&#13;&#10;'/></data>");
    OpenWindow();
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
    auto* url = m_dlg->findChild<QLineEdit*>("urlEdit");
    auto* value = m_dlg->findChild<QLineEdit*>("paramValueEdit");
    QVERIFY(url && value);
    const QChar escape(0x1B);
    const QChar del(0x7F);

    // A key's text is checked by its first character only.
    value->clear();
    QTest::sendKeyEvent(QTest::KeyAction::Click, value, Qt::Key_A,
        QStringLiteral("a") + QChar(1) + escape + QStringLiteral("b\tc"), Qt::NoModifier);
    QCOMPARE(value->text(), QStringLiteral("ab\tc"));
    const QString tail(70000, QLatin1Char('v'));
    QGuiApplication::clipboard()->setText(
        QStringLiteral("x\r\ny") + del + QChar(0) + QStringLiteral("z") + tail);
    value->selectAll();
    value->paste();
    QCOMPARE(value->text(), QStringLiteral("xy") + del + QStringLiteral("z") + tail);
    QCOMPARE(value->cursorPosition(), value->text().size());

    // A value already in the list is shown whole, and Edit keeps it.
    const QRect row = m_targetView->visualRect(m_targets->index(0, 0));
    QTest::mouseClick(m_targetView->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(url->text(), QStringLiteral("http://a.example/\r\n"));
    m_dlg->findChild<QPushButton*>("editUrlButton")->click();
    QCOMPARE(m_targets->Record(0)->m_strUrl, std::string("http://a.example/\r\n"));
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
    QVERIFY(ParamsOf(*held) == (Params{{"n", "v"}}));
}

QTEST_MAIN(DataFileTest)
#include "DataFileTest.moc"
