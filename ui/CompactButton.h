#pragma once

#include <QPushButton>
#include <QSize>

// A push button as wide as the window's design gives it, or as its text needs where that is
// more. Some styles put a floor of their own under every button with a text (80 pixels in
// Fusion), which would push the window's rows of small buttons apart; here the design's width
// (designWidth, set in the form) stands in its place, and a longer text, a translation or a
// larger font widens the button from there. The width asked for is also the least it takes,
// so a narrow window never cuts its text.
class CCompactButton : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(int designWidth READ DesignWidth WRITE SetDesignWidth)

public:
    explicit CCompactButton(QWidget* parent = nullptr);

    int DesignWidth() const { return m_designWidth; }
    void SetDesignWidth(int width);

    // QPushButton's minimumSizeHint is this too.
    QSize sizeHint() const override;

private:
    int m_designWidth = 0;
};
