#include "tests/support/RecordOpenedAddresses.h"
#include "ui/BannerLink.h"
#include "ui/LinkAddresses.h"
#include "ui/TextLink.h"
#include "ui/UrlOpener.h"

#include <QHBoxLayout>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <functional>
#include <memory>

namespace {

bool ContainsColour(const QImage& image, QColor colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

} // namespace

using LinkFactory = std::function<QLabel*(QWidget*)>;
Q_DECLARE_METATYPE(LinkFactory)

class TestLinks : public QObject
{
    Q_OBJECT

private:
    // A window with the link on the left and empty room on the right to release the button in.
    QLabel* ShowLink(const LinkFactory& make)
    {
        m_window = std::make_unique<QWidget>();
        auto* layout = new QHBoxLayout(m_window.get());
        QLabel* link = make(m_window.get());
        link->setText(QStringLiteral("Quillpost Pro 2.0"));
        link->setMinimumWidth(300);
        layout->addWidget(link);
        layout->addSpacing(200);
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            return nullptr;
        return link;
    }

    std::unique_ptr<QWidget> m_window;
    RecordOpenedAddresses m_recorder;

private Q_SLOTS:
    void init() { m_recorder.Clear(); }

    void cleanup() { m_window.reset(); }

    void links_data()
    {
        QTest::addColumn<LinkFactory>("make");
        QTest::addColumn<QString>("address");
        QTest::newRow("banner") << LinkFactory([](QWidget* p) { return new CBannerLink(p); })
                                << QString::fromLatin1(LinkAddresses::kBanner);
        QTest::newRow("text") << LinkFactory([](QWidget* p) { return new CTextLink(p); })
                              << QString::fromLatin1(LinkAddresses::kText);
    }

    void opensOnPressNotOnRelease_data() { links_data(); }
    void opensOnPressNotOnRelease()
    {
        QFETCH(LinkFactory, make);
        QFETCH(QString, address);
        QLabel* link = ShowLink(make);
        QVERIFY(link);

        QTest::mousePress(link, Qt::LeftButton, {}, link->rect().center());
        QCOMPARE(m_recorder.Opened(), QStringList{address});
        QTest::mouseRelease(link, Qt::LeftButton, {}, link->rect().center());
        QCOMPARE(m_recorder.Opened().size(), 1);

        // Released over the empty part of the window: the press already did the work.
        QTest::mousePress(link, Qt::LeftButton, {}, QPoint(2, 2));
        const QPoint outside = link->mapTo(m_window.get(), QPoint(link->width() + 50, 5));
        QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, outside);
        QCOMPARE(m_recorder.Opened(), (QStringList{address, address}));

        QTest::mouseClick(link, Qt::RightButton, {}, link->rect().center());
        QTest::mouseClick(link, Qt::MiddleButton, {}, link->rect().center());
        QCOMPARE(m_recorder.Opened().size(), 2);
    }

    // Text links answer the whole rectangle, the blank room after the text included.
    void clickableOverWholeRectangle_data() { links_data(); }
    void clickableOverWholeRectangle()
    {
        QFETCH(LinkFactory, make);
        QFETCH(QString, address);
        QLabel* link = ShowLink(make);
        QVERIFY(link);
        const QRect r = link->rect();
        for (const QPoint at :
            {r.topLeft(), r.bottomRight(), QPoint(r.right() - 1, r.center().y())})
            QTest::mouseClick(link, Qt::LeftButton, {}, at);
        QCOMPARE(m_recorder.Opened(), (QStringList{address, address, address}));
    }

    void handCursorWithHotSpotAtFingerTip_data() { links_data(); }
    void handCursorWithHotSpotAtFingerTip()
    {
        QFETCH(LinkFactory, make);
        QLabel* link = ShowLink(make);
        QVERIFY(link);
        QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
        const QCursor cursor = link->cursor();
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.hotSpot(), QPoint(5, 0));
        const QImage hand = cursor.pixmap().toImage();
        QCOMPARE(hand.size(), QSize(32, 32));
        // The hot spot sits on the black outline of the finger tip, white just below it.
        QCOMPARE(hand.pixelColor(5, 0), QColor(Qt::black));
        QCOMPARE(hand.pixelColor(5, 1), QColor(Qt::white));
        QCOMPARE(hand.pixelColor(0, 0).alpha(), 0);
    }

    void textLinkIsBlueUnderlinedOnParentBackground()
    {
        QLabel* link = ShowLink([](QWidget* p) { return new CTextLink(p); });
        QVERIFY(link);
        link->setText(QStringLiteral("Quillpost Pro"));
        const QColor blue(0, 0, 255);
        QCOMPARE(link->palette().color(QPalette::WindowText), blue);
        QVERIFY(link->font().underline());
        QCOMPARE(link->font().family(), m_window->font().family());
        QCOMPARE(link->font().pointSizeF(), m_window->font().pointSizeF());
        QVERIFY(!link->autoFillBackground());

        const QImage before = m_window->grab(link->geometry()).toImage();
        QVERIFY(ContainsColour(before, blue));
        // Right of the text there is only the window's own background.
        QCOMPARE(before.pixelColor(before.width() - 2, before.height() / 2),
            m_window->palette().color(QPalette::Window));

        QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
        QCOMPARE(m_window->grab(link->geometry()).toImage(), before);
    }

    // The dialog's font reaches the link after it is placed: only the underline is its own.
    void textLinkFollowsDialogFont()
    {
        QLabel* link = ShowLink([](QWidget* p) { return new CTextLink(p); });
        QVERIFY(link);
        QFont bigger = m_window->font();
        bigger.setPointSize(bigger.pointSize() + 5);
        m_window->setFont(bigger);
        QCOMPARE(link->font().pointSize(), bigger.pointSize());
        QVERIFY(link->font().underline());

        QFont plain(QStringLiteral("DejaVu Serif"));
        link->setFont(plain);
        QVERIFY(link->font().underline());
        QCOMPARE(link->font().family(), QStringLiteral("DejaVu Serif"));
    }
};

QTEST_MAIN(TestLinks)
#include "LinksTest.moc"
