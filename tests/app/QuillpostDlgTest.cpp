// The main window driven as a user drives it: typing into the fields, pressing the buttons,
// clicking and arrow-keying in the lists.
#include "app/QuillpostDlg.h"
#include "app/TargetListModel.h"
#include "core/post/PostRequest.h"
#include "core/system/BrowserLauncher.h"
#include "ui/MessageBox.h"
#include "ui/Resources.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <string>

namespace {

QStringList RecordParams(const std::shared_ptr<CSubmitHost>& record)
{
    QStringList params;
    CSubmitHost::ParamPosition pos;
    CPostParam param;
    for (bool more = record->GetFirstParam(pos, param); more;
         more = record->GetNextParam(pos, param))
        params << QString::fromStdString(param.m_strName + "=" + param.m_strValue);
    return params;
}

} // namespace

// Counts Submit's browser windows instead of starting the browser engine.
class CountingLauncher : public CBrowserLauncher
{
public:
    void Navigate(const CPostRequest&) override { ++m_count; }
    int m_count = 0;
};

class QuillpostDlgTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void opensWithDefaults();
    void tabOrderEnterAndEscape();
    void addTargets();
    void editAndDeleteTarget();
    void commandsWithoutSelectionDoNothing();
    void keyboardSelectionDoesNotRefill();
    void parameterMatching_data();
    void parameterMatching();
    void parameterFieldsAndClicks();
    void contextMenuLoadsData();
    void recordsLiveWithTheirRows();
    void rowIdsStayValid();
    void bodyKindsOfTargets();
    void formKindKeptAsWritten();
    void changesFromOfTargets_data();
    void changesFromOfTargets();
    void checkPagesOfTargets();
    void wellKnownServicesOverTheEmptyList();
    void submitSaysWhyATargetCannotBePosted();

private:
    QLineEdit* Edit(const char* name) const { return m_dlg->findChild<QLineEdit*>(name); }
    void Press(const char* button)
    {
        QTest::mouseClick(m_dlg->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    void Type(const char* name, const QString& text);
    void ClickRow(QTableView* view, int row, Qt::MouseButton button = Qt::LeftButton);
    void AddTarget(const QString& url, const QStringList& params);
    QStringList TargetTexts() const;
    QStringList ParamRows() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CountingLauncher> m_browser;
    std::unique_ptr<CQuillpostDlg> m_dlg;
    QTableView* m_targetView = nullptr;
    QTableView* m_paramView = nullptr;
    CTargetListModel* m_targets = nullptr;
};

void QuillpostDlgTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_browser = std::make_unique<CountingLauncher>();
    m_dlg = std::make_unique<CQuillpostDlg>(m_dir->path(), nullptr, m_browser.get());
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    QTRY_VERIFY(!m_dlg->IsLoading());
    m_targetView = m_dlg->findChild<QTableView*>("targetList");
    m_paramView = m_dlg->findChild<QTableView*>("paramList");
    m_targets = qobject_cast<CTargetListModel*>(m_targetView->model());
    QVERIFY(m_targets);
}

void QuillpostDlgTest::cleanup()
{
    m_dlg.reset();
    m_browser.reset();
    m_dir.reset();
}

void QuillpostDlgTest::Type(const char* name, const QString& text)
{
    QLineEdit* edit = Edit(name);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    QCOMPARE(edit->text(), text);
}

void QuillpostDlgTest::ClickRow(QTableView* view, int row, Qt::MouseButton button)
{
    const QRect rect = view->visualRect(view->model()->index(row, 0));
    QVERIFY(rect.isValid());
    QTest::mouseClick(view->viewport(), button, {}, rect.center());
}

void QuillpostDlgTest::AddTarget(const QString& url, const QStringList& params)
{
    Type("urlEdit", url);
    Press("addUrlButton");
    for (const QString& param : params) {
        Type("paramNameEdit", param.section('=', 0, 0));
        Type("paramValueEdit", param.section('=', 1));
        Press("addParamButton");
    }
}

QStringList QuillpostDlgTest::TargetTexts() const
{
    QStringList texts;
    for (int row = 0; row < m_targets->RowCount(); ++row)
        texts << m_targets->index(row, 0).data().toString();
    return texts;
}

QStringList QuillpostDlgTest::ParamRows() const
{
    QStringList rows;
    const QAbstractItemModel* model = m_paramView->model();
    for (int row = 0; row < model->rowCount(); ++row)
        rows << model->index(row, 0).data().toString() + "="
                + model->index(row, 1).data().toString();
    return rows;
}

void QuillpostDlgTest::opensWithDefaults()
{
    QCOMPARE(m_dlg->windowTitle(), QStringLiteral("Quillpost"));
    QCOMPARE(Edit("urlEdit")->text(), QStringLiteral("http://ping.example/"));
    QCOMPARE(Edit("paramNameEdit")->text(), QStringLiteral("furl"));
    QCOMPARE(Edit("paramValueEdit")->text(), QStringLiteral("http://www.mysite.example/"));
    QCOMPARE(m_dlg->focusWidget(), Edit("urlEdit"));
    // A window of its own, with minimise and maximise boxes, not a transient dialog. It opens
    // at the size it has always had at the default font, taller by the Changes from row's 30
    // pixels, and may be made smaller or larger.
    QCOMPARE(m_dlg->windowType(), Qt::Window);
    QVERIFY(m_dlg->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(m_dlg->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(m_dlg->size(), QSize(793, 622 + 30));
    QVERIFY(m_dlg->minimumWidth() < m_dlg->width() && m_dlg->minimumHeight() < m_dlg->height());
    QVERIFY(m_dlg->maximumWidth() > m_dlg->width() && m_dlg->maximumHeight() > m_dlg->height());
    QCOMPARE(m_targets->RowCount(), 0);
    QCOMPARE(m_paramView->model()->rowCount(), 0);

    QCOMPARE(m_targets->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Submit Url"));
    QCOMPARE(m_targets->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Result"));
    QCOMPARE(m_targets->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Kind"));
    QCOMPARE(m_targets->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Changes from"));
    QCOMPARE(Edit("changesEdit")->text(), QString());
    // Nothing scrolls sideways: the parameters' first column keeps its width and the last one
    // fills the rest; an empty target list's columns are as wide as their headings, and the
    // Result takes the rest.
    for (QTableView* view : {m_targetView, m_paramView})
        QCOMPARE(view->horizontalHeader()->length(), view->viewport()->width());
    for (const int column : {0, 2, 3}) {
        const QHeaderView* header = m_targetView->horizontalHeader();
        QCOMPARE(header->sectionSize(column), header->sectionSizeHint(column));
    }
    QCOMPARE(m_paramView->model()->headerData(1, Qt::Horizontal).toString(),
        QStringLiteral("Parameter Value"));
    QCOMPARE(m_paramView->horizontalHeader()->sectionSize(0), 300);

    QStringList items;
    for (const QAction* title : m_dlg->findChild<QMenuBar*>("menuBar")->actions()) {
        for (QAction* action : title->menu()->actions())
            items << title->text() + "/" + action->text() + "/" + action->statusTip();
    }
    QCOMPARE(items,
        QStringList({"&File/&Load Data.../Load Data", "&File/&Save Data.../Save Data",
            "&Run/&Submit/", "&Run/Su&bmit All/", "&Run/Submit Failed A&gain/", "&Run/Sto&p/",
            "&Run/Save &Results.../", "&Run//", "&Run/Pre&view.../", "&Run/&History.../",
            "&Run/Set &Up Site.../", "&Run/&IndexNow Key.../", "&Help/&Open Data Folder/",
            "&Help/&About Quillpost.../"}));

    // The image list: teal is see-through, the picture is not.
    AddTarget("t", {"n=v"});
    for (const QAbstractItemModel* model : {m_targetView->model(), m_paramView->model()}) {
        const QImage image
            = model->index(0, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16, 15).toImage();
        QCOMPARE(image.size(), QSize(16, 15));
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(7, 7)), 255);
    }
}

void QuillpostDlgTest::tabOrderEnterAndEscape()
{
    // Tab leaves a list even from a current row that has rows and cells after it.
    AddTarget("t1", {});
    AddTarget("t2", {"n=v", "m=w"});
    ClickRow(m_targetView, 0);
    ClickRow(m_targetView, 1);
    ClickRow(m_paramView, 0);
    Edit("urlEdit")->setFocus();
    // Top to bottom, left to right; Stop only during a run.
    const QStringList order = {"urlEdit", "bodyKindCombo", "changesEdit", "addUrlButton",
        "editUrlButton", "deleteUrlButton", "submitButton", "submitAllButton", "targetList",
        "paramNameEdit", "paramValueEdit", "addParamButton", "editParamButton", "deleteParamButton",
        "deleteAllParamsButton", "paramList", "submitFailedAgainButton", "downloadNowButton",
        "urlEdit"};
    for (int i = 1; i < order.size(); ++i) {
        QTest::keyClick(m_dlg->focusWidget(), Qt::Key_Tab);
        QCOMPARE(m_dlg->focusWidget()->objectName(), order[i]);
    }
    for (int i = order.size() - 2; i >= 0; --i) {
        QTest::keyClick(m_dlg->focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(m_dlg->focusWidget()->objectName(), order[i]);
    }

    QSignalSpy submit(m_dlg->findChild<QPushButton*>("submitButton"), &QPushButton::clicked);
    QTest::keyClick(Edit("urlEdit"), Qt::Key_Return);
    QCOMPARE(submit.count(), 1);
    QCOMPARE(m_browser->m_count, 1); // the selected target went to a browser window

    QTest::keyClick(Edit("urlEdit"), Qt::Key_Escape);
    QVERIFY(!m_dlg->isVisible());
    QCOMPARE(m_dlg->result(), int(QDialog::Rejected));
    QVERIFY(QDir(m_dir->path()).isEmpty()); // nothing saved on the way out
}

void QuillpostDlgTest::addTargets()
{
    AddTarget("http://a.example/", {"x=1"});
    AddTarget("http://a.example/", {});
    AddTarget("", {});
    QCOMPARE(TargetTexts(), QStringList({"http://a.example/", "http://a.example/", ""}));
    QCOMPARE(m_targets->Record(2)->m_strUrl, std::string());
    QVERIFY(m_targets->Record(0) != m_targets->Record(1));
    QCOMPARE(RecordParams(m_targets->Record(0)), QStringList({"x=1"}));
    QVERIFY(RecordParams(m_targets->Record(1)).isEmpty());
    for (int row = 0; row < 3; ++row)
        QCOMPARE(m_targets->Image(row), int(ImageNotPosted));
    // The new row is the only selected one and the parameter list shows its (no) parameters.
    QCOMPARE(
        m_targetView->selectionModel()->selectedRows(), QModelIndexList({m_targets->index(2, 0)}));
    QVERIFY(ParamRows().isEmpty());
}

void QuillpostDlgTest::editAndDeleteTarget()
{
    AddTarget("http://a.example/", {"x=1"});
    AddTarget("http://b.example/", {"y=2"});
    CPostResult succeeded;
    succeeded.m_outcome = PostOutcome::Succeeded;
    m_targets->SetResult(1, succeeded);
    Type("urlEdit", "http://c.example/");
    Press("editUrlButton");
    QCOMPARE(TargetTexts(), QStringList({"http://a.example/", "http://c.example/"}));
    QCOMPARE(m_targets->Record(1)->m_strUrl, std::string("http://c.example/"));
    QCOMPARE(m_targets->Image(1), int(ImageSucceeded));
    QCOMPARE(ParamRows(), QStringList({"y=2"}));

    Press("deleteUrlButton");
    QCOMPARE(TargetTexts(), QStringList({"http://a.example/"}));
    QVERIFY(!m_targetView->selectionModel()->hasSelection());
    QCOMPARE(ParamRows(), QStringList({"y=2"})); // still the deleted target's
    QCOMPARE(Edit("urlEdit")->text(), QStringLiteral("http://c.example/"));
}

void QuillpostDlgTest::commandsWithoutSelectionDoNothing()
{
    AddTarget("http://a.example/", {"x=1", "y=2"});
    AddTarget("http://b.example/", {"z=3"});
    Press("deleteUrlButton"); // no target selected now; the list still shows z=3
    ClickRow(m_paramView, 0);
    Type("urlEdit", "u");
    Type("paramNameEdit", "n");
    Type("paramValueEdit", "v");
    for (const char* button : {"editUrlButton", "deleteUrlButton", "addParamButton",
             "editParamButton", "deleteParamButton", "deleteAllParamsButton"})
        Press(button);
    QCOMPARE(TargetTexts(), QStringList({"http://a.example/"}));
    QCOMPARE(RecordParams(m_targets->Record(0)), QStringList({"x=1", "y=2"}));
    QCOMPARE(ParamRows(), QStringList({"z=3"}));
    QCOMPARE(Edit("urlEdit")->text(), QStringLiteral("u"));

    // A target but no parameter row selected: Edit and Delete stop there.
    ClickRow(m_targetView, 0);
    QVERIFY(!m_paramView->selectionModel()->hasSelection());
    Press("editParamButton");
    Press("deleteParamButton");
    QCOMPARE(ParamRows(), QStringList({"x=1", "y=2"}));
    QCOMPARE(RecordParams(m_targets->Record(0)), QStringList({"x=1", "y=2"}));
}

void QuillpostDlgTest::keyboardSelectionDoesNotRefill()
{
    AddTarget("http://a.example/", {"a=1"});
    AddTarget("http://b.example/", {"b=2"});
    ClickRow(m_targetView, 0);
    QCOMPARE(Edit("urlEdit")->text(), QStringLiteral("http://a.example/"));
    QTest::keyClick(m_targetView, Qt::Key_Down);
    QCOMPARE(
        m_targetView->selectionModel()->selectedRows(), QModelIndexList({m_targets->index(1, 0)}));
    QCOMPARE(Edit("urlEdit")->text(), QStringLiteral("http://a.example/"));
    QCOMPARE(ParamRows(), QStringList({"a=1"}));

    // Add goes into the target now selected; the list goes on showing the other one.
    Type("paramNameEdit", "x");
    Type("paramValueEdit", "9");
    Press("addParamButton");
    QCOMPARE(ParamRows(), QStringList({"a=1"}));
    QCOMPARE(RecordParams(m_targets->Record(0)), QStringList({"a=1"}));
    QCOMPARE(RecordParams(m_targets->Record(1)), QStringList({"b=2", "x=9"}));

    // A click shows the target, leaving what was typed in the parameter fields.
    Type("paramNameEdit", "typed");
    ClickRow(m_targetView, 1);
    QCOMPARE(ParamRows(), QStringList({"b=2", "x=9"}));
    QCOMPARE(Edit("urlEdit")->text(), QStringLiteral("http://b.example/"));
    QCOMPARE(Edit("paramNameEdit")->text(), QStringLiteral("typed"));

    // Neither a drag nor the middle button moves the selection away from the row shown.
    const QPoint first = m_targetView->visualRect(m_targets->index(0, 0)).center();
    const QPoint second = m_targetView->visualRect(m_targets->index(1, 0)).center();
    QTest::mousePress(m_targetView->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseMove(m_targetView->viewport(), first);
    QTest::mouseRelease(m_targetView->viewport(), Qt::LeftButton, {}, first);
    ClickRow(m_targetView, 0, Qt::MiddleButton);
    QCOMPARE(
        m_targetView->selectionModel()->selectedRows(), QModelIndexList({m_targets->index(1, 0)}));
    QCOMPARE(Edit("urlEdit")->text(), QStringLiteral("http://b.example/"));
}

void QuillpostDlgTest::parameterMatching_data()
{
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<bool>("showOther"); // the list shows another target's parameters
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("rowsAfter");
    QTest::addColumn<QStringList>("recordAfter");

    // The list shows the record it was last given, so its rows are that record's parameters:
    // after an Edit or Delete of a duplicate they show the first match changed.
    const QStringList dup = {"a=1", "b=2", "a=1"};
    QTest::newRow("edit changes the first match")
        << dup << false << 2 << "editParamButton" << QStringList({"c=3", "b=2", "a=1"})
        << QStringList({"c=3", "b=2", "a=1"});
    QTest::newRow("delete removes the first match")
        << dup << false << 2 << "deleteParamButton" << QStringList({"b=2", "a=1"})
        << QStringList({"b=2", "a=1"});
    QTest::newRow("delete all") << dup << false << 0 << "deleteAllParamsButton" << QStringList()
                                << QStringList();
    // The list shows another target's record, which the commands leave alone.
    QTest::newRow("edit: value differing in case")
        << QStringList({"a=X"}) << true << 0 << "editParamButton" << QStringList({"a=x"})
        << QStringList({"a=X"});
    QTest::newRow("delete: value differing in case")
        << QStringList({"a=X"}) << true << 0 << "deleteParamButton" << QStringList({"a=x"})
        << QStringList({"a=X"});
}

void QuillpostDlgTest::parameterMatching()
{
    QFETCH(QStringList, params);
    QFETCH(bool, showOther);
    QFETCH(int, row);
    QFETCH(QString, button);
    QFETCH(QStringList, rowsAfter);
    QFETCH(QStringList, recordAfter);

    int target = 0;
    if (showOther) {
        AddTarget("http://other.example/", {"a=x"});
        target = 1;
    }
    AddTarget("http://t.example/", params);
    ClickRow(m_targetView, 0);
    if (showOther)
        QTest::keyClick(m_targetView, Qt::Key_Down); // selects the target, shows nothing new
    ClickRow(m_paramView, row);
    Type("paramNameEdit", "c");
    Type("paramValueEdit", "3");
    Press(button.toLatin1().constData());
    QCOMPARE(ParamRows(), rowsAfter);
    QCOMPARE(RecordParams(m_targets->Record(target)), recordAfter);
    if (!showOther) {
        ClickRow(m_targetView, 0);
        QCOMPARE(ParamRows(), recordAfter);
    }
}

void QuillpostDlgTest::parameterFieldsAndClicks()
{
    AddTarget("http://t.example/", {"n=v"});
    // Empty fields add an empty parameter; pressing again adds it again.
    Type("paramNameEdit", "");
    Type("paramValueEdit", "");
    Press("addParamButton");
    Press("addParamButton");
    QCOMPARE(ParamRows(), QStringList({"n=v", "=", "="}));
    QCOMPARE(RecordParams(m_targets->Record(0)), QStringList({"n=v", "=", "="}));

    // A click copies the row into the parameter fields and leaves the typed Url alone.
    Type("urlEdit", "edited");
    ClickRow(m_paramView, 0);
    QCOMPARE(Edit("paramNameEdit")->text(), QStringLiteral("n"));
    QCOMPARE(Edit("paramValueEdit")->text(), QStringLiteral("v"));
    QCOMPARE(Edit("urlEdit")->text(), QStringLiteral("edited"));

    // A click below the rows selects nothing and changes no field.
    Type("paramNameEdit", "kept");
    QTest::mouseClick(m_paramView->viewport(), Qt::LeftButton, {},
        QPoint(5, m_paramView->viewport()->height() - 3));
    QCOMPARE(Edit("paramNameEdit")->text(), QStringLiteral("kept"));

    // Texts beyond the line edit's usual 32767-character limit pass whole.
    const QString longValue(40000, QLatin1Char('q'));
    Edit("paramValueEdit")->setText(longValue);
    Press("addParamButton");
    QCOMPARE(
        m_targets->Record(0)->GetPostData().size(), std::string("n=v&=&=&kept=").size() + 40000);
    ClickRow(m_paramView, 3);
    QCOMPARE(Edit("paramValueEdit")->text().size(), longValue.size());
}

void QuillpostDlgTest::contextMenuLoadsData()
{
    auto* fileMenu = m_dlg->findChild<QMenu*>("fileMenu");
    // Anywhere, also on an empty list.
    QTest::mouseClick(m_targetView->viewport(), Qt::RightButton, {}, QPoint(20, 20));
    QTRY_VERIFY(fileMenu->isVisible());
    QStringList texts;
    for (QAction* action : fileMenu->actions())
        texts << action->text();
    QCOMPARE(texts, QStringList({"&Load Data...", "&Save Data..."}));
    fileMenu->hide();

    AddTarget("http://a.example/", {"a=1"});
    AddTarget("http://b.example/", {"b=2"});
    ClickRow(m_targetView, 0);
    ClickRow(m_targetView, 1, Qt::RightButton);
    QTRY_VERIFY(fileMenu->isVisible());
    QCOMPARE(Edit("urlEdit")->text(), QStringLiteral("http://a.example/"));
    QCOMPARE(ParamRows(), QStringList({"a=1"}));

    // "Load Data..." empties the list first; with no data file nothing comes back.
    QAction* load = fileMenu->actions().first();
    QTest::mouseClick(fileMenu, Qt::LeftButton, {}, fileMenu->actionGeometry(load).center());
    QTRY_COMPARE(m_targets->RowCount(), 0);
    QCOMPARE(ParamRows(), QStringList({"a=1"}));
}

void QuillpostDlgTest::recordsLiveWithTheirRows()
{
    AddTarget("http://a.example/", {});
    AddTarget("http://b.example/", {});
    AddTarget("http://c.example/", {});
    std::weak_ptr<CSubmitHost> deleted = m_targets->Record(2);
    std::weak_ptr<CSubmitHost> kept = m_targets->Record(0);
    Press("deleteUrlButton");
    QVERIFY(deleted.expired());
    QVERIFY(!kept.expired());
    m_dlg.reset();
    QVERIFY(kept.expired());
}

void QuillpostDlgTest::rowIdsStayValid()
{
    CTargetListModel model({});
    const quint64 a = model.AppendRow(std::make_shared<CSubmitHost>());
    const quint64 b = model.AppendRow(std::make_shared<CSubmitHost>());
    const quint64 c = model.AppendRow(std::make_shared<CSubmitHost>());
    model.RemoveRow(1);
    QCOMPARE(model.RowOfId(a), 0);
    QCOMPARE(model.RowOfId(b), -1);
    QCOMPARE(model.RowOfId(c), 1);
    model.Clear();
    QCOMPARE(model.RowOfId(a), -1);
    const quint64 d = model.AppendRow(std::make_shared<CSubmitHost>());
    QVERIFY(d > c);
    QCOMPARE(model.RowOfId(d), 0);
}

// Add and Edit take the kind the chooser shows; showing a target shows its kind, and one the
// program does not know is kept through an Edit.
void QuillpostDlgTest::bodyKindsOfTargets()
{
    auto* kind = m_dlg->findChild<QComboBox*>("bodyKindCombo");
    QCOMPARE(kind->count(), 3);
    Type("urlEdit", "http://rpc.example/");
    kind->setCurrentIndex(kind->findText("XML-RPC"));
    Press("addUrlButton");
    QCOMPARE(m_targets->Record(0)->m_strBodyKind, std::optional<std::string>("xml-rpc"));
    QCOMPARE(m_targets->index(0, CTargetListModel::KindColumn).data().toString(),
        QStringLiteral("XML-RPC"));

    QFile file(QDir(m_dir->path()).filePath("submitdata.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<data><Host URL='http://a.example/' body='weird'/><Host URL='http://b.example/'/>"
               "<Host URL='http://c.example/' body='json'/></data>");
    file.close();
    m_dlg->findChild<QAction*>("loadDataAction")->trigger();
    QTRY_VERIFY(!m_dlg->IsLoading());
    QCOMPARE(m_targets->index(0, CTargetListModel::KindColumn).data().toString(),
        QStringLiteral("“weird”"));
    ClickRow(m_targetView, 0);
    QCOMPARE(kind->count(), 4);
    QCOMPARE(kind->currentText(), QStringLiteral("“weird”"));
    Type("urlEdit", "http://a2.example/");
    Press("editUrlButton");
    QCOMPARE(m_targets->Record(0)->m_strUrl, std::string("http://a2.example/"));
    QCOMPARE(m_targets->Record(0)->m_strBodyKind, std::optional<std::string>("weird"));

    ClickRow(m_targetView, 2);
    QCOMPARE(kind->count(), 3);
    QCOMPARE(kind->currentText(), QStringLiteral("JSON"));
    ClickRow(m_targetView, 1);
    QCOMPARE(kind->currentText(), QStringLiteral("Form"));
    kind->setCurrentIndex(kind->findText("JSON"));
    Press("editUrlButton");
    QCOMPARE(m_targets->Record(1)->m_strBodyKind, std::optional<std::string>("json"));
    kind->setCurrentIndex(kind->findText("Form"));
    Press("editUrlButton");
    QCOMPARE(m_targets->Record(1)->m_strBodyKind, std::nullopt);
}

// body="form" is a form, and an Edit keeps it as it was written.
void QuillpostDlgTest::formKindKeptAsWritten()
{
    auto* kind = m_dlg->findChild<QComboBox*>("bodyKindCombo");
    QFile file(QDir(m_dir->path()).filePath("submitdata.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<data><Host URL='http://a.example/' body='form'/></data>");
    file.close();
    m_dlg->findChild<QAction*>("loadDataAction")->trigger();
    QTRY_VERIFY(!m_dlg->IsLoading());
    QCOMPARE(m_targets->index(0, CTargetListModel::KindColumn).data().toString(),
        QStringLiteral("Form"));
    ClickRow(m_targetView, 0);
    QCOMPARE(kind->currentText(), QStringLiteral("Form"));
    Type("urlEdit", "http://a2.example/");
    Press("editUrlButton");
    QCOMPARE(m_targets->Record(0)->m_strBodyKind, std::optional<std::string>("form"));
    kind->setCurrentIndex(kind->findText("JSON"));
    Press("editUrlButton");
    QCOMPARE(m_targets->Record(0)->m_strBodyKind, std::optional<std::string>("json"));
}

void QuillpostDlgTest::changesFromOfTargets_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<std::optional<std::string>>("kept");
    QTest::newRow("empty field is none") << "" << std::optional<std::string>();
    QTest::newRow("a sitemap") << "https://www.example.com/sitemap.xml"
                               << std::optional<std::string>("https://www.example.com/sitemap.xml");
    QTest::newRow("a space is kept as typed") << " " << std::optional<std::string>(" ");
}

// Add and Edit take the field as the Kind chooser is taken, showing a target fills it, and the
// list shows it in a column of its own; clearing the field removes it from the target.
void QuillpostDlgTest::changesFromOfTargets()
{
    QFETCH(QString, typed);
    QFETCH(std::optional<std::string>, kept);
    const auto column = [this](int row) {
        return m_targets->index(row, CTargetListModel::ChangesColumn).data().toString();
    };
    Type("urlEdit", "http://hub.example/");
    Type("changesEdit", typed);
    Press("addUrlButton");
    QCOMPARE(m_targets->Record(0)->m_strChanges, kept);
    QCOMPARE(column(0), typed);
    QCOMPARE(m_targets->index(0, CTargetListModel::ChangesColumn).data(Qt::ToolTipRole).toString(),
        typed);

    // Another target's own, then back: the field follows the target shown.
    Type("urlEdit", "http://rpc.example/");
    Type("changesEdit", "https://www.example.com/feed.xml");
    Press("addUrlButton");
    ClickRow(m_targetView, 0);
    QCOMPARE(Edit("changesEdit")->text(), typed);
    ClickRow(m_targetView, 1);
    QCOMPARE(Edit("changesEdit")->text(), QStringLiteral("https://www.example.com/feed.xml"));

    // Edit gives the selected target the field, and clearing it takes it away.
    ClickRow(m_targetView, 0);
    Type("changesEdit", "https://www.example.com/atom.xml");
    Press("editUrlButton");
    QCOMPARE(m_targets->Record(0)->m_strChanges,
        std::optional<std::string>("https://www.example.com/atom.xml"));
    QCOMPARE(column(0), QStringLiteral("https://www.example.com/atom.xml"));
    Type("changesEdit", "");
    Press("editUrlButton");
    QCOMPARE(m_targets->Record(0)->m_strChanges, std::nullopt);
    QCOMPARE(column(0), QString());
    QCOMPARE(m_targets->Record(1)->m_strChanges,
        std::optional<std::string>("https://www.example.com/feed.xml"));
    QCOMPARE(m_targets->Record(0)->m_strUrl, std::string("http://hub.example/"));

    // A file's own is shown as it was written, and a long one passes the field whole.
    const std::string longChanges = "https://www.example.com/" + std::string(40000, 's');
    QFile file(QDir(m_dir->path()).filePath("submitdata.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(
        "<data><Host URL='http://a.example/' changes='" + longChanges + "'/></data>"));
    file.close();
    m_dlg->findChild<QAction*>("loadDataAction")->trigger();
    QTRY_VERIFY(!m_dlg->IsLoading());
    QCOMPARE(column(0), QString::fromStdString(longChanges));
    ClickRow(m_targetView, 0);
    QCOMPARE(Edit("changesEdit")->text().size(), int(longChanges.size()));
    Press("editUrlButton");
    QCOMPARE(m_targets->Record(0)->m_strChanges, std::optional<std::string>(longChanges));
}

// Check pages is on for a new target and means something only beside a source or for JSON;
// Add and Edit take it, showing a target shows it, and an Edit that turns it back on drops a
// value the file held that the program does not know.
void QuillpostDlgTest::checkPagesOfTargets()
{
    auto* check = m_dlg->findChild<QCheckBox*>("checkPagesCheckBox");
    auto* kind = m_dlg->findChild<QComboBox*>("bodyKindCombo");
    QVERIFY(check->isChecked());
    QVERIFY(!check->isEnabled());
    Type("changesEdit", "https://www.example.com/sitemap.xml");
    QVERIFY(check->isEnabled());
    QTest::mouseClick(check, Qt::LeftButton);
    Press("addUrlButton");
    QTest::mouseClick(check, Qt::LeftButton);
    Press("addUrlButton");
    QCOMPARE(m_targets->Record(0)->m_bCheckPages, false);
    QCOMPARE(m_targets->Record(1)->m_bCheckPages, true);
    ClickRow(m_targetView, 0);
    QVERIFY(!check->isChecked());
    ClickRow(m_targetView, 1);
    QVERIFY(check->isChecked());

    Type("changesEdit", "");
    QVERIFY(!check->isEnabled());
    kind->setCurrentIndex(kind->findText("JSON"));
    QVERIFY(check->isEnabled());

    QFile file(QDir(m_dir->path()).filePath("submitdata.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<data><Host URL='http://a.example/' changes='https://a.example/map' check='no'/>"
               "<Host URL='http://b.example/' changes='https://b.example/map' check='later'/>"
               "</data>");
    file.close();
    m_dlg->findChild<QAction*>("loadDataAction")->trigger();
    QTRY_VERIFY(!m_dlg->IsLoading());
    ClickRow(m_targetView, 1);
    QVERIFY(check->isChecked());
    Press("editUrlButton");
    QCOMPARE(m_targets->Record(1)->m_strCheckUnknown, std::optional<std::string>("later"));
    ClickRow(m_targetView, 0);
    QVERIFY(!check->isChecked());
    QTest::keyClick(check, Qt::Key_Space);
    Press("editUrlButton");
    QCOMPARE(m_targets->Record(0)->m_bCheckPages, true);
    ClickRow(m_targetView, 1);
    QTest::keyClick(check, Qt::Key_Space);
    QTest::keyClick(check, Qt::Key_Space);
    Press("editUrlButton");
    QCOMPARE(m_targets->Record(1)->m_strCheckUnknown, std::optional<std::string>("later"));
    QTest::keyClick(check, Qt::Key_Space);
    Press("editUrlButton");
    QCOMPARE(m_targets->Record(1)->m_bCheckPages, false);
    QCOMPARE(m_targets->Record(1)->m_strCheckUnknown, std::nullopt);
}

void QuillpostDlgTest::wellKnownServicesOverTheEmptyList()
{
    auto* starter = m_dlg->findChild<QPushButton*>("addStarterServicesButton");
    QTRY_VERIFY(starter->isVisible());
    QVERIFY(m_targetView->viewport()->rect().contains(starter->geometry()));
    QTest::keySequence(m_dlg.get(), QKeySequence::mnemonic(starter->text()));
    QTRY_COMPARE(m_targets->RowCount(), 4);
    QVERIFY(!starter->isVisible());
    QStringList kinds;
    for (int row = 0; row < m_targets->RowCount(); ++row)
        kinds << m_targets->index(row, CTargetListModel::KindColumn).data().toString();
    QCOMPARE(kinds, (QStringList{"Form", "XML-RPC", "XML-RPC", "JSON"}));
    // They are there to be filled in: as they stand, none is posted.
    for (int row = 0; row < m_targets->RowCount(); ++row) {
        CPostRequest request;
        CText refusal;
        QVERIFY(!PrepareRequest(*m_targets->Record(row), request, refusal));
        QVERIFY(QString::fromStdString(refusal.English()).startsWith("Replace"));
    }
    ClickRow(m_targetView, 0);
    Press("deleteUrlButton");
    for (int row = m_targets->RowCount(); row > 0; --row) {
        ClickRow(m_targetView, 0);
        Press("deleteUrlButton");
    }
    QTRY_VERIFY(starter->isVisible());
}

void QuillpostDlgTest::submitSaysWhyATargetCannotBePosted()
{
    QStringList warnings;
    CMessageBox::SetTestHook(
        [&warnings](const CMessageBox::CMessage& message) { warnings << message.m_strText; });
    Type("urlEdit", "http://hub.example/");
    Press("addUrlButton");
    Type("paramNameEdit", "hub.url");
    Type("paramValueEdit", "https://www.example.com/feed");
    Press("addParamButton");
    Press("submitButton");
    CMessageBox::SetTestHook(nullptr);
    QCOMPARE(warnings,
        QStringList{"The browser window cannot be opened: Replace “www.example.com” in the "
                    "parameter “hub.url” with your own"});
    QCOMPARE(m_browser->m_count, 0);
}

QTEST_MAIN(QuillpostDlgTest)
#include "QuillpostDlgTest.moc"
