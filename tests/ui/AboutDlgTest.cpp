#include "ui/AboutDlg.h"
#include "tests/support/RecordOpenedAddresses.h"
#include "ui/LinkAddresses.h"
#include "ui/TextLink.h"
#include "ui/UrlOpener.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

class TestAboutDlg : public QObject
{
    Q_OBJECT

private:
    // Runs the box modally over m_owner, as the main window does, and lets `act` work on it
    // while it is up. The box is closed regardless, so a failed step cannot hang the test.
    int RunModal(CAboutDlg& box, const std::function<void(CAboutDlg&)>& act)
    {
        bool ran = false;
        QTimer::singleShot(0, &box, [&] {
            ran = true;
            act(box);
            if (box.isVisible())
                box.done(-1);
        });
        const int result = box.exec();
        [&] { QVERIFY(ran); }();
        return result;
    }

    std::unique_ptr<QWidget> m_owner;
    RecordOpenedAddresses m_recorder;

private Q_SLOTS:
    void init()
    {
        m_recorder.Clear();
        m_owner = std::make_unique<QWidget>();
        m_owner->resize(400, 300);
        m_owner->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_owner.get()));
    }

    void cleanup() { m_owner.reset(); }

    void showsTitleIconVersionAndFixedSize()
    {
        CAboutDlg box(m_owner.get());
        QCOMPARE(box.windowTitle(), QStringLiteral("About Quillpost"));
        QVERIFY(box.isModal());
        QCOMPARE(box.minimumSize(), box.maximumSize());

        auto* icon = box.findChild<QLabel*>(QStringLiteral("iconLabel"));
        QVERIFY(icon);
        QVERIFY(!icon->pixmap().isNull());

        auto* version = box.findChild<QLabel*>(QStringLiteral("versionLabel"));
        QVERIFY(version);
        QCOMPARE(version->text(), QStringLiteral("Quillpost Version " QUILLPOST_VERSION));
        QVERIFY(!qobject_cast<CTextLink*>(version));
        QVERIFY(!version->font().underline());
        QCOMPARE(version->palette().color(QPalette::WindowText),
            box.palette().color(QPalette::WindowText));
        QCOMPARE(version->cursor().shape(), Qt::ArrowCursor);

        auto* ok = box.findChild<QPushButton*>(QStringLiteral("okButton"));
        QVERIFY(ok);
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(ok->isDefault());
    }

    // Both maker lines open the text-link address on a press while the box stays up;
    // the version line opens nothing.
    void makerLinesOpenWhileBoxStaysOpen()
    {
        CAboutDlg box(m_owner.get());
        RunModal(box, [this](CAboutDlg& b) {
            QCOMPARE(QApplication::activeModalWidget(), &b);
            for (const char* name : {"copyrightLinkLabel", "siteLinkLabel"}) {
                auto* link = b.findChild<CTextLink*>(QLatin1String(name));
                QVERIFY2(link, name);
                QVERIFY(!link->text().isEmpty());
                QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
                QVERIFY(link->font().underline());
                QCOMPARE(link->font().pointSizeF(), b.font().pointSizeF());
                QCOMPARE(link->cursor().hotSpot(), QPoint(5, 0));
                QTest::mousePress(link, Qt::LeftButton, {}, link->rect().center());
                QTest::mouseRelease(link, Qt::LeftButton, {}, link->rect().center());
                QVERIFY(b.isVisible());
            }
            auto* version = b.findChild<QLabel*>(QStringLiteral("versionLabel"));
            QTest::mouseClick(version, Qt::LeftButton, {}, version->rect().center());
        });
        const QString text = QString::fromLatin1(LinkAddresses::kText);
        QCOMPARE(m_recorder.Opened(), (QStringList{text, text}));
    }

    void closes_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("OK button") << "ok" << int(QDialog::Accepted);
        QTest::newRow("Enter") << "enter" << int(QDialog::Accepted);
        QTest::newRow("Escape") << "escape" << int(QDialog::Rejected);
    }
    void closes()
    {
        QFETCH(QString, how);
        QFETCH(int, result);
        CAboutDlg box(m_owner.get());
        bool blocked = false;
        const int got = RunModal(box, [&](CAboutDlg& b) {
            QTRY_COMPARE(QApplication::activeModalWidget(), &b);
            QTRY_COMPARE(QApplication::activeWindow(), &b);
            // The owner takes no input while the box is up.
            blocked = QApplication::activeModalWidget() != m_owner.get() && !b.isHidden();
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &b;
            if (how == QLatin1String("ok"))
                QTest::mouseClick(
                    b.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
            else if (how == QLatin1String("enter"))
                QTest::keyClick(target, Qt::Key_Return);
            else
                QTest::keyClick(target, Qt::Key_Escape);
        });
        QVERIFY(blocked);
        QCOMPARE(got, result);
        QVERIFY(!box.isVisible());
        QVERIFY(m_recorder.Opened().isEmpty());
    }
};

QTEST_MAIN(TestAboutDlg)
#include "AboutDlgTest.moc"
