// The main window for users who do not use a mouse, who listen to a screen reader, or who
// need larger text or a larger window.
#include "app/QuillpostDlg.h"
#include "app/TargetListModel.h"
#include "core/system/BrowserLauncher.h"
#include "runs/Translations.h"
#include "tests/support/AccessibleChecks.h"
#include "tests/support/RecordOpenedAddresses.h"
#include "ui/AboutDlg.h"

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

class CountingLauncher : public CBrowserLauncher
{
public:
    void Navigate(const CPostRequest&) override { ++m_count; }
    int m_count = 0;
};

// The checks that hold in every language run in English and again in German, with its longer
// words and mnemonics of its own, installed as the program installs it at start-up.
bool SpeakRowLanguage()
{
    QFETCH(QString, language);
    return InstallTranslations(QLocale(language)).isEmpty() == (language == "C");
}

// The right edge of the last column, in viewport coordinates.
int LastColumnEnd(const QHeaderView* header)
{
    const int last = header->logicalIndex(header->count() - 1);
    return header->sectionViewportPosition(last) + header->sectionSize(last);
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void listsTakeTheRoom();
    void largeFontsCutNoText_data();
    void largeFontsCutNoText();
    void spaceClicksTheCurrentRow();
    void contextMenuFromKeyboard_data();
    void contextMenuFromKeyboard();
    void everyControlIsNamed_data();
    void everyControlIsNamed();
    void statusLineIsNamed();
    void mnemonicsReachTheirControls_data();
    void mnemonicsReachTheirControls();
    void runKeys();

private:
    void Open();
    void AddTargets(const QStringList& urls);
    QString Field(const char* name) const { return m_dlg->findChild<QLineEdit*>(name)->text(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    CountingLauncher m_browser;
    std::unique_ptr<CQuillpostDlg> m_dlg;
    QTableView* m_targetView = nullptr;
    QTableView* m_paramView = nullptr;
    QFont m_font;
};

void AccessibilityTest::init()
{
    m_font = QApplication::font();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void AccessibilityTest::cleanup()
{
    m_dlg.reset();
    m_dir.reset();
    QApplication::setFont(m_font);
    InstallTranslations(QLocale::c());
}

void AccessibilityTest::Open()
{
    m_browser.m_count = 0;
    m_dlg = std::make_unique<CQuillpostDlg>(m_dir->path(), nullptr, &m_browser);
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    QTRY_VERIFY(!m_dlg->IsLoading());
    m_targetView = m_dlg->findChild<QTableView*>("targetList");
    m_paramView = m_dlg->findChild<QTableView*>("paramList");
    QVERIFY(m_targetView && m_paramView);
}

// Each target with one parameter, named after the target's host.
void AccessibilityTest::AddTargets(const QStringList& urls)
{
    auto* targets = qobject_cast<CTargetListModel*>(m_targetView->model());
    QVERIFY(targets);
    for (const QString& url : urls) {
        auto record = std::make_shared<CSubmitHost>();
        record->m_strUrl = url.toStdString();
        record->AddParam(CPostParam(QUrl(url).host().toStdString(), "v"));
        targets->AppendRow(std::move(record));
    }
}

void AccessibilityTest::listsTakeTheRoom()
{
    Open();
    const int rowHeight = m_targetView->verticalHeader()->defaultSectionSize();
    const int targetHeight = m_targetView->viewport()->height();
    const int paramHeight = m_paramView->viewport()->height();
    const QSize opened = m_dlg->size();
    const int buttonWidth = m_dlg->findChild<QPushButton*>("submitButton")->width();

    m_dlg->resize(opened + QSize(400, 300));
    QTRY_VERIFY(m_targetView->viewport()->height() > targetHeight);
    const int targetGrowth = m_targetView->viewport()->height() - targetHeight;
    const int paramGrowth = m_paramView->viewport()->height() - paramHeight;
    // The lists take all the new room, the target list the larger share; buttons keep size.
    QVERIFY2(paramGrowth > 0 && targetGrowth > paramGrowth,
        qPrintable(QStringLiteral("%1 %2").arg(targetGrowth).arg(paramGrowth)));
    QVERIFY(targetGrowth + paramGrowth >= 300 - 10);
    QVERIFY(targetGrowth / rowHeight >= 5);
    QCOMPARE(m_dlg->findChild<QPushButton*>("submitButton")->width(), buttonWidth);
    for (QTableView* view : {m_targetView, m_paramView})
        QCOMPARE(LastColumnEnd(view->horizontalHeader()), view->viewport()->width());

    // Down to its smallest, the window still shows rows of both lists.
    m_dlg->resize(m_dlg->minimumSize());
    QTRY_VERIFY(m_targetView->viewport()->height() < targetHeight);
    QVERIFY(m_targetView->viewport()->height() >= 2 * rowHeight);
    QVERIFY(m_paramView->viewport()->height() >= 2 * rowHeight);
}

void AccessibilityTest::largeFontsCutNoText_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("language");
    QTest::newRow("default") << 0 << "C";
    QTest::newRow("14 point") << 14 << "C";
    QTest::newRow("20 point") << 20 << "C";
    QTest::newRow("default, German") << 0 << "de_DE";
    QTest::newRow("14 point, German") << 14 << "de_DE";
}

void AccessibilityTest::largeFontsCutNoText()
{
    QVERIFY(SpeakRowLanguage());
    QFETCH(int, points);
    if (points > 0) {
        QFont font = QApplication::font();
        font.setPointSize(points);
        QApplication::setFont(font);
    }
    Open();
    // Every text shows whole: each control is at least as large as its text asks, and the
    // window grew to hold them rather than cutting them.
    int checked = 0;
    for (QWidget* widget : m_dlg->findChildren<QWidget*>()) {
        const bool hasText = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLabel*>(widget)
            || qobject_cast<QGroupBox*>(widget);
        if (!hasText || !widget->isVisible())
            continue;
        const QSize needed
            = qobject_cast<QGroupBox*>(widget) ? widget->minimumSizeHint() : widget->sizeHint();
        QVERIFY2(widget->width() >= needed.width() && widget->height() >= needed.height(),
            qPrintable(QStringLiteral("%1 is %2x%3, needs %4x%5")
                           .arg(widget->objectName())
                           .arg(widget->width())
                           .arg(widget->height())
                           .arg(needed.width())
                           .arg(needed.height())));
        ++checked;
    }
    QVERIFY(checked >= 20);
}

void AccessibilityTest::spaceClicksTheCurrentRow()
{
    Open();
    AddTargets({"http://a.example/", "http://b.example/"});
    QSignalSpy submit(m_dlg->findChild<QPushButton*>("submitButton"), &QPushButton::clicked);

    // The list takes the focus on its first row; Down moves on without showing anything.
    m_targetView->setFocus(Qt::TabFocusReason);
    QTest::keyClick(m_targetView, Qt::Key_Down);
    QCOMPARE(Field("urlEdit"), QStringLiteral("http://ping.example/"));
    QCOMPARE(m_paramView->model()->rowCount(), 0);
    QTest::keyClick(m_targetView, Qt::Key_Space);
    QCOMPARE(Field("urlEdit"), QStringLiteral("http://b.example/"));
    QCOMPARE(m_paramView->model()->rowCount(), 1);
    QCOMPARE(m_targetView->selectionModel()->selectedRows(),
        QModelIndexList({m_targetView->model()->index(1, 0)}));

    m_paramView->setFocus(Qt::TabFocusReason);
    QTest::keyClick(m_paramView, Qt::Key_Space);
    QCOMPARE(Field("paramNameEdit"), QStringLiteral("b.example"));
    QCOMPARE(Field("paramValueEdit"), QStringLiteral("v"));

    // Space is the row's; Enter in a list is still the default button's.
    QCOMPARE(submit.count(), 0);
    QTest::keyClick(m_targetView, Qt::Key_Return);
    QCOMPARE(submit.count(), 1);
    QCOMPARE(m_browser.m_count, 1);
}

void AccessibilityTest::contextMenuFromKeyboard_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("rows");
    QTest::newRow("Menu key on a row") << int(Qt::Key_Menu) << Qt::KeyboardModifiers() << 30;
    QTest::newRow("Shift+F10 on a row")
        << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 30;
    QTest::newRow("Shift+F10 on an empty list")
        << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 0;
}

void AccessibilityTest::contextMenuFromKeyboard()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, rows);
    Open();
    QStringList urls;
    for (int row = 0; row < rows; ++row)
        urls << QStringLiteral("http://t%1.example/").arg(row);
    AddTargets(urls);
    auto* fileMenu = m_dlg->findChild<QMenu*>("fileMenu");

    // The parameter list has no context menu.
    m_paramView->setFocus(Qt::TabFocusReason);
    QTest::keyClick(m_paramView, Qt::Key(key), modifiers);
    QCOMPARE(QApplication::activePopupWidget(), nullptr);

    // On the target list, the File menu opens below the current row, scrolled into view,
    // or at the list's top left.
    m_targetView->setFocus(Qt::TabFocusReason);
    if (rows > 0)
        m_targetView->setCurrentIndex(m_targetView->model()->index(rows - 1, 0));
    QTest::keyClick(m_targetView, Qt::Key(key), modifiers);
    QTRY_COMPARE(QApplication::activePopupWidget(), fileMenu);
    QPoint expected;
    if (rows > 0) {
        const QRect cell = m_targetView->visualRect(m_targetView->currentIndex());
        QVERIFY(m_targetView->viewport()->rect().contains(cell));
        expected = QPoint(cell.left(), cell.bottom());
    }
    QCOMPARE(fileMenu->pos(), m_targetView->viewport()->mapToGlobal(expected));
    fileMenu->hide();
}

void AccessibilityTest::everyControlIsNamed_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "C";
    QTest::newRow("German") << "de_DE";
}

void AccessibilityTest::everyControlIsNamed()
{
    QVERIFY(SpeakRowLanguage());
    Open();
    QCOMPARE(NamingFaults(m_dlg.get()).join("; "), QString());
    CAboutDlg about(m_dlg.get());
    QCOMPARE(NamingFaults(&about).join("; "), QString());
}

void AccessibilityTest::statusLineIsNamed()
{
    Open();
    auto* status = m_dlg->findChild<QLabel*>("runStatusLabel");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(status);
    QCOMPARE(accessible->role(), QAccessible::StatusBar);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Run status"));
    // A label announces a new text as a change of its name only while it has no fixed name.
    QVERIFY(status->accessibleName().isEmpty());
    QTest::mouseClick(m_dlg->findChild<QPushButton*>("submitAllButton"), Qt::LeftButton);
    QVERIFY(status->text().startsWith(QLatin1String("Done")));
    QCOMPARE(accessible->text(QAccessible::Name), status->text());
}

void AccessibilityTest::mnemonicsReachTheirControls_data()
{
    everyControlIsNamed_data();
}

void AccessibilityTest::mnemonicsReachTheirControls()
{
    QVERIFY(SpeakRowLanguage());
    Open();
    // Delete All has none: the buttons' texts have too few letters for all, and it is the one
    // command a slip of the hand should not reach. Nor has Check pages, every letter of which
    // is taken; Tab reaches it right after Changes from.
    QCOMPARE(
        MnemonicFaults(m_dlg.get(), {"deleteAllParamsButton", "checkPagesCheckBox"}).join("; "),
        QString());

    // A shared mnemonic would only move the focus; each one clicks its own button.
    const RecordOpenedAddresses opened;
    int reached = 0;
    for (QPushButton* button : m_dlg->findChildren<QPushButton*>()) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(button->text());
        if (mnemonic.isEmpty() || !button->isEnabled())
            continue;
        QSignalSpy clicked(button, &QPushButton::clicked);
        QTest::keySequence(m_dlg.get(), mnemonic);
        QTRY_COMPARE(clicked.count(), 1); // the button shows itself pressed first
        ++reached;
    }
    // All but Delete All and Stop, which is off between runs; the list is empty, so the
    // well-known services are offered.
    QCOMPARE(reached, 11);
    for (QLabel* label : m_dlg->findChildren<QLabel*>()) {
        if (!label->buddy())
            continue;
        QTest::keySequence(m_dlg.get(), QKeySequence::mnemonic(label->text()));
        QCOMPARE(QApplication::focusWidget(), label->buddy());
    }
    auto* fileMenu = m_dlg->findChild<QMenu*>("fileMenu");
    QTest::keySequence(m_dlg.get(), QKeySequence::mnemonic(fileMenu->title()));
    QTRY_COMPARE(QApplication::activePopupWidget(), fileMenu);
    QApplication::activePopupWidget()->close();
}

void AccessibilityTest::runKeys()
{
    Open();
    auto* submitAll = m_dlg->findChild<QAction*>("submitAllAction");
    auto* stop = m_dlg->findChild<QAction*>("stopAction");
    QSignalSpy submitted(submitAll, &QAction::triggered);
    QSignalSpy stopped(stop, &QAction::triggered);

    QTest::keyClick(m_targetView, Qt::Key_F5);
    QCOMPARE(submitted.count(), 1);
    QVERIFY(m_dlg->findChild<QLabel*>("runStatusLabel")->text().startsWith(QLatin1String("Done")));
    // Stop is there only while a run lasts, and so is its key.
    QTest::keyClick(m_targetView, Qt::Key_F5, Qt::ShiftModifier);
    QCOMPARE(stopped.count(), 0);
    stop->setEnabled(true);
    QTest::keyClick(m_targetView, Qt::Key_F5, Qt::ShiftModifier);
    QCOMPARE(stopped.count(), 1);
}

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
