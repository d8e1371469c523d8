#include "ui/TextLink.h"

#include "ui/LinkAddresses.h"

#include <QEvent>
#include <QPalette>

CTextLink::CTextLink(QWidget* parent)
    : CLinkLabel(LinkAddresses::kText, parent)
    , m_crText(0, 0, 255)
{
    // Plain text only: rich text would bring its own link colours and hover states.
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setAutoFillBackground(false);

    QPalette blue;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        blue.setColor(group, QPalette::WindowText, m_crText);
    setPalette(blue);

    // Only the underline is set on the label; family and size stay inherited from the dialog,
    // so the link keeps the dialog's own font wherever it is placed.
    QFont underline;
    underline.setUnderline(true);
    setFont(underline);
    m_font = font();
}

void CTextLink::changeEvent(QEvent* event)
{
    CLinkLabel::changeEvent(event);
    if (event->type() != QEvent::FontChange)
        return;
    // A font set from outside (a .ui property, say) keeps what it sets but not without the
    // underline.
    if (!font().underline()) {
        QFont underlined = font();
        underlined.setUnderline(true);
        setFont(underlined);
    }
    m_font = font();
}
