#include "ui/CompactButton.h"

#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

CCompactButton::CCompactButton(QWidget* parent)
    : QPushButton(parent)
{
}

void CCompactButton::SetDesignWidth(int width)
{
    m_designWidth = width;
    updateGeometry();
}

// QPushButton's own measure of its contents, handed to the style without the text: the style
// then adds the bevel, the margins and the default button's frame, but not its floor.
QSize CCompactButton::sizeHint() const
{
    ensurePolished();
    QStyleOptionButton option;
    initStyleOption(&option);
    int width = 0;
    int height = 0;
    if (!option.icon.isNull()) {
        width = option.iconSize.width() + 4;
        height = option.iconSize.height();
    }
    // An empty button is as large as four letters, as QPushButton has it.
    const bool empty = option.text.isEmpty();
    const QSize textSize
        = fontMetrics().size(Qt::TextShowMnemonic, empty ? QStringLiteral("XXXX") : option.text);
    if (!empty || width == 0)
        width += textSize.width();
    if (!empty || height == 0)
        height = std::max(height, textSize.height());
    option.text.clear();
    option.rect.setSize(QSize(width, height));
    const QSize needed
        = style()->sizeFromContents(QStyle::CT_PushButton, &option, QSize(width, height), this);
    return QSize(std::max(needed.width(), m_designWidth), needed.height());
}
