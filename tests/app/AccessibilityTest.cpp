// The main window for users who do not use a mouse, who listen to a screen reader, or who
// need larger text or a larger window.
#include "app/QuillpostDlg.h"
#include "app/TargetListModel.h"
#include "core/BrowserLauncher.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

class NoBrowser : public CBrowserLauncher
{
public:
    void Navigate(const CBrowserPost&) override { }
};

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

private:
    void Open();

    std::unique_ptr<QTemporaryDir> m_dir;
    NoBrowser m_browser;
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
}

void AccessibilityTest::Open()
{
    m_dlg = std::make_unique<CQuillpostDlg>(m_dir->path(), nullptr, &m_browser);
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    m_targetView = m_dlg->findChild<QTableView*>("targetList");
    m_paramView = m_dlg->findChild<QTableView*>("paramList");
    QVERIFY(m_targetView && m_paramView);
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
    QTest::newRow("default") << 0;
    QTest::newRow("14 point") << 14;
    QTest::newRow("20 point") << 20;
}

void AccessibilityTest::largeFontsCutNoText()
{
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

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
