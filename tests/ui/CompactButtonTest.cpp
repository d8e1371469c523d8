// The window's small buttons: as wide as the design gives them, wider where their text needs
// it, and never narrower than their text, however little room a window leaves them.
#include "ui/CompactButton.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QTest>
#include <QWidget>

#include <algorithm>

class CompactButtonTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void widthOfTextAndDesign_data();
    void widthOfTextAndDesign();
    void squeezedRowKeepsEveryText();
};

void CompactButtonTest::widthOfTextAndDesign_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("designWidth");
    QTest::addColumn<int>("points");
    QTest::newRow("short text takes the design's width") << "&Add" << 60 << 0;
    QTest::newRow("short text without a design width") << "&Add" << 0 << 0;
    QTest::newRow("translation longer than the design") << "Hinzufü&gen" << 40 << 0;
    QTest::newRow("larger font") << "&Add" << 60 << 20;
}

void CompactButtonTest::widthOfTextAndDesign()
{
    QFETCH(QString, text);
    QFETCH(int, designWidth);
    QFETCH(int, points);
    CCompactButton compact;
    QPushButton plain;
    for (QPushButton* button : {static_cast<QPushButton*>(&compact), &plain}) {
        button->setText(text);
        if (points > 0) {
            QFont font = button->font();
            font.setPointSize(points);
            button->setFont(font);
        }
    }
    compact.SetDesignWidth(designWidth);
    // What the text needs: the text and the style's frame and margins around it.
    const int textWidth = compact.fontMetrics().size(Qt::TextShowMnemonic, text).width();
    QVERIFY(compact.sizeHint().width() >= textWidth + 4);
    QCOMPARE(compact.sizeHint().height(), plain.sizeHint().height());
    QVERIFY(compact.sizeHint().width() >= designWidth);
    // No floor of the style's: a short text in a small design width stays small.
    if (designWidth > textWidth + 20)
        QCOMPARE(compact.sizeHint().width(), designWidth);
    QVERIFY(compact.sizeHint().width() <= std::max(designWidth, plain.sizeHint().width()));
    QCOMPARE(compact.minimumSizeHint(), compact.sizeHint());
}

void CompactButtonTest::squeezedRowKeepsEveryText()
{
    QWidget window;
    auto* row = new QHBoxLayout(&window);
    QList<CCompactButton*> buttons;
    for (const char* text : {"&Add", "Hinzufü&gen", "Alle senden"}) {
        auto* button = new CCompactButton(&window);
        button->setText(QString::fromUtf8(text));
        button->SetDesignWidth(40);
        row->addWidget(button);
        buttons << button;
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(10, window.height());
    QApplication::processEvents();
    for (const CCompactButton* button : buttons)
        QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
}

QTEST_MAIN(CompactButtonTest)
#include "CompactButtonTest.moc"
