// The main window at the size it opens with, against the design it was drawn from: a dialog of
// 423 x 327 dialog units with a menu bar, in MS Sans Serif 8 pt. With English texts every
// control of the design stands where the design puts it, give or take 4 pixels. The window
// has since gained a row of its own under the Url row, Changes from, which moves what is below
// it down by the row's height and makes the window that much taller.
#include "app/QuillpostDlg.h"
#include "app/TargetListModel.h"
#include "runs/Translations.h"

#include <QFile>
#include <QHeaderView>
#include <QList>
#include <QLocale>
#include <QMenuBar>
#include <QStringList>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <cmath>
#include <memory>

namespace {

// The design's dialog units in this window's pixels. The window was first laid out by hand
// from the design at 793 x 572 pixels under its menu bar: 15/8 of a pixel a unit across (423
// units, 793 pixels) and 7/4 down (327 units, 572 pixels), the units of a dialog font 7.5
// pixels wide on average and 14 high. Positions count from the top left of that area, the
// window's client area below the menu bar. Before the Changes from row the window opened at
// 793 x 622: the menu bar (19 pixels at the default font) sits above that area and the
// status line below it adds 31.
constexpr double PixelsPerUnitAcross = 15.0 / 8.0;
constexpr double PixelsPerUnitDown = 7.0 / 4.0;
constexpr int Tolerance = 4;
constexpr int HeightBeforeChangesRow = 622;

// Where a control of the design stands against the Changes from row.
enum class Row
{
    // Above it, or on the Url row.
    Above,
    // Below it: moved down by its height.
    Below,
    // Around it: the group box of both, taller by its height.
    Around,
};

QRect FromDialogUnits(int x, int y, int width, int height)
{
    const auto across = [](int units) { return int(std::lround(units * PixelsPerUnitAcross)); };
    const auto down = [](int units) { return int(std::lround(units * PixelsPerUnitDown)); };
    return QRect(across(x), down(y), across(width), down(height));
}

CPostResult Answered(long status, const char* reason, const char* message, double seconds)
{
    CPostResult result;
    result.m_outcome = status == 200 ? PostOutcome::Succeeded : PostOutcome::Failed;
    result.m_status = status;
    result.m_reason = CText::Verbatim(reason);
    if (message)
        result.m_serviceMessage = CText::Verbatim(message);
    result.m_seconds = seconds;
    return result;
}

// Three results a run gives, of targets with addresses of 40 characters and more.
const struct
{
    const char* url;
    const char* kind;
    CPostResult result;
} AfterARun[] = {
    {"http://blogs.example.org/ping/xmlrpc.php", "xml-rpc",
        Answered(200, "OK", "Thanks for the ping.", 0.31)},
    {"https://search.example.com/indexnow/submit", "json",
        Answered(503, "Service Unavailable", nullptr, 2.01)},
    {"https://rpc.pingservice.example/RPC2/ping", "form",
        [] {
            CPostResult unchanged;
            unchanged.m_outcome = PostOutcome::Unchanged;
            unchanged.m_reason = CText("Unchanged since %1", {"8 Dec 2026 14:02"});
            return unchanged;
        }()},
};

bool Near(const QRect& actual, const QRect& design)
{
    return std::abs(actual.x() - design.x()) <= Tolerance
        && std::abs(actual.y() - design.y()) <= Tolerance
        && std::abs(actual.width() - design.width()) <= Tolerance
        && std::abs(actual.height() - design.height()) <= Tolerance;
}

QString Describe(const QRect& rect)
{
    return QStringLiteral("%1,%2 %3x%4")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height());
}

} // namespace

Q_DECLARE_METATYPE(Row)

class WindowLayoutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void controlsStandWhereTheDesignPutsThem_data();
    void controlsStandWhereTheDesignPutsThem();
    void urlFieldMakesRoomForTheKind();
    void changesRowUnderTheUrlRow();
    void rowsReadLeftToRight_data();
    void rowsReadLeftToRight();
    void resultsReadWhole_data();
    void resultsReadWhole();
    void columnsStayAsSet();

private:
    void Open();
    // The window over a list of AfterARun's targets, each showing its result.
    void OpenAfterARun();
    QTableView* TargetView() const { return m_dlg->findChild<QTableView*>("targetList"); }
    // Where the control is in the client area under the menu bar.
    QRect ClientRect(const char* name) const;
    // How far the Changes from row moves what is below it.
    int ChangesRowHeight() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CQuillpostDlg> m_dlg;
};

void WindowLayoutTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void WindowLayoutTest::cleanup()
{
    m_dlg.reset();
    m_dir.reset();
    InstallTranslations(QLocale::c());
}

void WindowLayoutTest::Open()
{
    m_dlg = std::make_unique<CQuillpostDlg>(m_dir->path());
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
}

QRect WindowLayoutTest::ClientRect(const char* name) const
{
    const auto* widget = m_dlg->findChild<QWidget*>(name);
    if (!widget)
        return QRect();
    const int menuBar = m_dlg->findChild<QMenuBar*>("menuBar")->height();
    return QRect(widget->mapTo(m_dlg.get(), QPoint(0, 0)) - QPoint(0, menuBar), widget->size());
}

int WindowLayoutTest::ChangesRowHeight() const
{
    return ClientRect("changesEdit").y() - ClientRect("urlEdit").y();
}

void WindowLayoutTest::controlsStandWhereTheDesignPutsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("design");
    QTest::addColumn<Row>("row");

    const struct
    {
        const char* control;
        const char* name;
        int x, y, width, height;
        Row row;
    } design[] = {
        {"Url label", "urlLabel", 12, 101, 12, 8, Row::Above},
        {"Param name label", "paramNameLabel", 14, 226, 42, 8, Row::Below},
        {"param name field", "paramNameEdit", 57, 224, 73, 14, Row::Below},
        {"Param value label", "paramValueLabel", 136, 226, 42, 8, Row::Below},
        {"param value field", "paramValueEdit", 179, 224, 73, 14, Row::Below},
        {"Submit", "submitButton", 347, 99, 27, 14, Row::Above},
        {"Add parameter", "addParamButton", 258, 224, 32, 14, Row::Below},
        {"target list", "targetList", 7, 118, 408, 91, Row::Below},
        {"Delete All", "deleteAllParamsButton", 363, 224, 50, 14, Row::Below},
        {"parameter list", "paramList", 7, 243, 409, 77, Row::Below},
        {"Delete parameter", "deleteParamButton", 329, 224, 32, 14, Row::Below},
        {"Add target", "addUrlButton", 246, 99, 32, 14, Row::Above},
        {"Delete target", "deleteUrlButton", 313, 99, 32, 14, Row::Above},
        {"banner", "bannerLabel", 7, 7, 409, 54, Row::Above},
        {"product name link", "productLinkLabel", 156, 63, 111, 8, Row::Above},
        {"promo line link", "promoLinkLabel", 11, 73, 334, 8, Row::Above},
        {"Download Now!", "downloadNowButton", 347, 64, 66, 19, Row::Above},
        {"Submit Url List group", "targetGroupBox", 7, 86, 409, 124, Row::Around},
        {"POST Parameters List group", "paramGroupBox", 7, 214, 409, 106, Row::Below},
        {"Edit target", "editUrlButton", 279, 99, 32, 14, Row::Above},
        {"Edit parameter", "editParamButton", 293, 224, 32, 14, Row::Below},
        {"Submit All", "submitAllButton", 377, 99, 36, 14, Row::Above},
    };
    for (const auto& control : design) {
        QTest::newRow(control.control)
            << QString::fromLatin1(control.name)
            << FromDialogUnits(control.x, control.y, control.width, control.height) << control.row;
    }
}

void WindowLayoutTest::controlsStandWhereTheDesignPutsThem()
{
    QFETCH(QString, name);
    QFETCH(QRect, design);
    QFETCH(Row, row);
    Open();
    const int added = ChangesRowHeight();
    if (row == Row::Below)
        design.translate(0, added);
    else if (row == Row::Around)
        design.setHeight(design.height() + added);
    const QRect actual = ClientRect(qPrintable(name));
    QVERIFY2(Near(actual, design),
        qPrintable(QStringLiteral("%1 is at %2, the design has %3")
                       .arg(name, Describe(actual), Describe(design))));
}

// The Url field starts where the design has it and ends early: the Kind chooser and its label
// stand in the rest of the design's field, before Add.
void WindowLayoutTest::urlFieldMakesRoomForTheKind()
{
    Open();
    const QRect design = FromDialogUnits(25, 99, 218, 14);
    const QRect url = ClientRect("urlEdit");
    QVERIFY2(Near(QRect(url.topLeft(), QSize(design.width(), url.height())), design),
        qPrintable(Describe(url)));
    const QRect label = ClientRect("bodyKindLabel");
    const QRect kind = ClientRect("bodyKindCombo");
    QVERIFY2(url.right() < label.left() && label.right() < kind.left()
            && kind.right() < ClientRect("addUrlButton").left()
            && kind.right() <= design.right() + Tolerance,
        qPrintable(Describe(url) + " | " + Describe(label) + " | " + Describe(kind)));
}

// The row holds a field as tall as the Url field and the room between rows; the window opens
// taller by it, so the lists keep the heights of the design.
void WindowLayoutTest::changesRowUnderTheUrlRow()
{
    Open();
    const int added = ChangesRowHeight();
    const QRect url = ClientRect("urlEdit");
    const QRect changes = ClientRect("changesEdit");
    QCOMPARE(changes.height(), url.height());
    QVERIFY2(added > changes.height() && added <= changes.height() + 2 * Tolerance,
        qPrintable(QString::number(added)));
    QCOMPARE(m_dlg->size(), QSize(793, HeightBeforeChangesRow + added));
    // Its label stands under the Url label, and its field ends with the Kind chooser, clear
    // of the Url row's buttons and of the target list.
    const QRect label = ClientRect("changesLabel");
    QVERIFY2(std::abs(label.x() - ClientRect("urlLabel").x()) <= 1, qPrintable(Describe(label)));
    QVERIFY(label.right() < changes.left());
    QCOMPARE(changes.right(), ClientRect("bodyKindCombo").right());
    QVERIFY(changes.top() > url.bottom());
    QVERIFY(changes.bottom() < ClientRect("targetList").top());
}

void WindowLayoutTest::rowsReadLeftToRight_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "C";
    QTest::newRow("German") << "de_DE";
}

// German texts widen buttons and labels; the rows still read left to right, nothing over
// anything else and nothing past the window's edge, at the size the window opens with.
void WindowLayoutTest::rowsReadLeftToRight()
{
    QFETCH(QString, language);
    QCOMPARE(InstallTranslations(QLocale(language)).isEmpty(), language == "C");
    Open();
    const QList<QStringList> rows = {
        {"productLinkLabel", "downloadNowButton"},
        {"promoLinkLabel", "downloadNowButton"},
        {"urlLabel", "urlEdit", "bodyKindLabel", "bodyKindCombo", "addUrlButton", "editUrlButton",
            "deleteUrlButton", "submitButton", "submitAllButton"},
        {"changesLabel", "changesEdit", "addUrlButton"},
        {"paramNameLabel", "paramNameEdit", "paramValueLabel", "paramValueEdit", "addParamButton",
            "editParamButton", "deleteParamButton", "deleteAllParamsButton"},
        {"runStatusLabel", "submitFailedAgainButton", "stopButton"},
    };
    const int clientWidth = m_dlg->width();
    for (const QStringList& row : rows) {
        int right = 0;
        for (const QString& name : row) {
            const QRect rect = ClientRect(qPrintable(name));
            QVERIFY2(rect.left() > right, qPrintable(name + " at " + Describe(rect)));
            right = rect.right();
        }
        QVERIFY2(right < clientWidth, qPrintable(row.last()));
    }
}

void WindowLayoutTest::OpenAfterARun()
{
    QFile file(m_dir->filePath("submitdata.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<data>");
    for (const auto& target : AfterARun)
        file.write(
            QStringLiteral("<Host URL='%1' body='%2'/>").arg(target.url, target.kind).toUtf8());
    file.write("</data>");
    file.close();
    Open();
    QTRY_VERIFY(!m_dlg->IsLoading());
    auto* targets = qobject_cast<CTargetListModel*>(TargetView()->model());
    QCOMPARE(targets->RowCount(), int(std::size(AfterARun)));
    for (int row = 0; row < targets->RowCount(); ++row)
        targets->SetResult(row, AfterARun[row].result);
}

void WindowLayoutTest::resultsReadWhole_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("results");
    QTest::newRow("English") << "C"
                             << QStringList{"200 OK · Thanks for the ping. · 0.31 s",
                                    "503 Service Unavailable · 2.01 s",
                                    "Unchanged since 8 Dec 2026 14:02"};
    QTest::newRow("German") << "de_DE"
                            << QStringList{"200 OK · Thanks for the ping. · 0,31 s",
                                   "503 Service Unavailable · 2,01 s",
                                   "Unverändert seit 8 Dec 2026 14:02"};
}

// What a user reads after a run is not cut at the size the window opens with: the Result
// takes what the address, the kind and the source leave, each as wide as its texts up to its
// share of the list, and the list does not scroll sideways.
void WindowLayoutTest::resultsReadWhole()
{
    QFETCH(QString, language);
    QFETCH(QStringList, results);
    QCOMPARE(InstallTranslations(QLocale(language)).isEmpty(), language == "C");
    OpenAfterARun();
    if (QTest::currentTestFailed())
        return;
    QTableView* view = TargetView();
    QStringList shown;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        shown << view->model()->index(row, CTargetList::ResultColumn).data().toString();
    QCOMPARE(shown, results);

    const QHeaderView* header = view->horizontalHeader();
    const QAbstractItemView* cells = view;
    const int list = view->viewport()->width();
    QCOMPARE(header->length(), list);
    const int result = header->sectionSize(CTargetList::ResultColumn);
    QVERIFY2(cells->sizeHintForColumn(CTargetList::ResultColumn) <= result,
        qPrintable(QStringLiteral("the results need %1 pixels, have %2")
                       .arg(cells->sizeHintForColumn(CTargetList::ResultColumn))
                       .arg(result)));
    for (const QString& text : results)
        QVERIFY2(view->fontMetrics().horizontalAdvance(text) < result, qPrintable(text));
    QVERIFY(header->sectionSize(CTargetList::UrlColumn) <= list / 3);
    for (const int column : {CTargetList::KindColumn, CTargetList::ChangesColumn}) {
        QVERIFY(header->sectionSize(column) <= list / 5);
        // A column of short texts shows them whole.
        QCOMPARE(header->sectionSize(column),
            std::max(cells->sizeHintForColumn(column), header->sectionSizeHint(column)));
    }
    // Whole texts in the narrow columns' tooltips.
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        const QModelIndex url = view->model()->index(row, CTargetList::UrlColumn);
        // Its last success may follow on a line of its own, once the record has told it.
        QCOMPARE(url.data(Qt::ToolTipRole).toString().section('\n', 0, 0), url.data().toString());
        const QModelIndex kind = view->model()->index(row, CTargetList::KindColumn);
        QCOMPARE(kind.data(Qt::ToolTipRole), kind.data());
    }
}

// A column the user sets stays as set, when the list is loaded again and when results come
// in; nor do the other columns move as rows change.
void WindowLayoutTest::columnsStayAsSet()
{
    OpenAfterARun();
    if (QTest::currentTestFailed())
        return;
    QTableView* view = TargetView();
    QHeaderView* header = view->horizontalHeader();
    header->resizeSection(CTargetList::KindColumn, 150);
    const int changes = header->sectionSize(CTargetList::ChangesColumn);

    auto* targets = qobject_cast<CTargetListModel*>(view->model());
    targets->SetResult(0, Answered(200, "OK", std::string(300, 'x').c_str(), 1));
    targets->SetChanges(1, "https://www.example.com/" + std::string(300, 's') + ".xml");
    QCoreApplication::processEvents();
    QCOMPARE(header->sectionSize(CTargetList::ChangesColumn), changes);
    QCOMPARE(header->sectionSize(CTargetList::KindColumn), 150);

    m_dlg->findChild<QAction*>("loadDataAction")->trigger();
    QTRY_VERIFY(!m_dlg->IsLoading());
    QCOMPARE(header->sectionSize(CTargetList::KindColumn), 150);
    QCOMPARE(header->length(), view->viewport()->width());
}

QTEST_MAIN(WindowLayoutTest)
#include "WindowLayoutTest.moc"
