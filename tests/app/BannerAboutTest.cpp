// The banner strip and the About box inside the main window: the links and "Download Now!"
// reach the address seam, and Help > About runs the box modally over the window.
#include "app/QuillpostDlg.h"
#include "tests/support/RecordOpenedAddresses.h"
#include "ui/AboutDlg.h"
#include "ui/BannerLink.h"
#include "ui/LinkAddresses.h"
#include "ui/TextLink.h"
#include "ui/UrlOpener.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

class BannerAboutTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CQuillpostDlg> m_dlg;
    RecordOpenedAddresses m_recorder;

private Q_SLOTS:
    void init()
    {
        m_recorder.Clear();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_dlg = std::make_unique<CQuillpostDlg>(m_dir->path());
        m_dlg->show();
        QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    }

    void cleanup()
    {
        m_dlg.reset();
        m_dir.reset();
    }

    void linksOpenOnPress_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::newRow("banner") << "bannerLabel" << QString::fromLatin1(LinkAddresses::kBanner);
        QTest::newRow("product") << "productLinkLabel" << QString::fromLatin1(LinkAddresses::kText);
        QTest::newRow("promo") << "promoLinkLabel" << QString::fromLatin1(LinkAddresses::kText);
    }
    void linksOpenOnPress()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        auto* link = m_dlg->findChild<QLabel*>(name);
        QVERIFY(link);
        QCOMPARE(link->cursor().hotSpot(), QPoint(5, 0));
        QVERIFY(!link->text().isEmpty() || !link->pixmap().isNull());

        QTest::mousePress(link, Qt::LeftButton, {}, link->rect().center());
        QCOMPARE(m_recorder.Opened(), QStringList{address});
        auto* urlEdit = m_dlg->findChild<QWidget*>(QStringLiteral("urlEdit"));
        QTest::mouseRelease(
            m_dlg.get(), Qt::LeftButton, {}, urlEdit->mapTo(m_dlg.get(), urlEdit->rect().center()));
        QCOMPARE(m_recorder.Opened().size(), 1);
    }

    void bannerLooks()
    {
        auto* banner = m_dlg->findChild<CBannerLink*>(QStringLiteral("bannerLabel"));
        QVERIFY(banner);
        QCOMPARE(banner->pixmap().size(), QSize(609, 86));
        QCOMPARE(banner->contentsRect().size(), QSize(609, 86));
        for (const char* name : {"productLinkLabel", "promoLinkLabel"}) {
            auto* link = m_dlg->findChild<CTextLink*>(QLatin1String(name));
            QVERIFY2(link && !link->text().isEmpty(), name);
            QCOMPARE(link->font().pointSizeF(), m_dlg->font().pointSizeF());
        }
    }

    void downloadNowOpensOnEveryPress()
    {
        auto* button = m_dlg->findChild<QPushButton*>(QStringLiteral("downloadNowButton"));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        const QString download = QString::fromLatin1(LinkAddresses::kDownload);
        QCOMPARE(m_recorder.Opened(), (QStringList{download, download}));
    }

    void aboutFromHelpMenu_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("OK") << "ok";
        QTest::newRow("Enter") << "enter";
        QTest::newRow("Escape") << "escape";
    }
    void aboutFromHelpMenu()
    {
        QFETCH(QString, how);
        auto* menuBar = m_dlg->findChild<QMenuBar*>(QStringLiteral("menuBar"));
        auto* help = m_dlg->findChild<QMenu*>(QStringLiteral("helpMenu"));
        auto* about = m_dlg->findChild<QAction*>(QStringLiteral("aboutAction"));
        QVERIFY(menuBar && help && about);
        QCOMPARE(about->text(), QStringLiteral("&About Quillpost..."));

        QTest::mouseClick(
            menuBar, Qt::LeftButton, {}, menuBar->actionGeometry(help->menuAction()).center());
        QTRY_VERIFY(help->isVisible());

        bool sawBox = false;
        bool closed = false;
        QTimer::singleShot(0, m_dlg.get(), [&] {
            CAboutDlg* box = nullptr;
            auto check = [&] {
                QTRY_VERIFY(qobject_cast<CAboutDlg*>(QApplication::activeModalWidget()));
                box = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
                QCOMPARE(box->parentWidget(), m_dlg.get());
                QVERIFY(box->isModal());
                sawBox = true;
                // Keys go where a user's would: to the box once it has become active.
                QTRY_COMPARE(QApplication::activeWindow(), box);
                if (how == QLatin1String("ok"))
                    QTest::mouseClick(
                        box->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
                else
                    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : box,
                        how == QLatin1String("enter") ? Qt::Key_Return : Qt::Key_Escape);
                QTRY_VERIFY(!box->isVisible());
                closed = true;
            };
            check();
            if (box && box->isVisible())
                box->reject();
        });
        QTest::mouseClick(help, Qt::LeftButton, {}, help->actionGeometry(about).center());

        QVERIFY(sawBox);
        QVERIFY(closed);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(!m_dlg->findChild<CAboutDlg*>());
        QVERIFY(m_recorder.Opened().isEmpty());
    }
};

QTEST_MAIN(BannerAboutTest)
#include "BannerAboutTest.moc"
