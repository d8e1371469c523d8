#include "ui/LinkLabel.h"

#include "ui/Resources.h"
#include "ui/UrlOpener.h"

#include <QMouseEvent>

CLinkLabel::CLinkLabel(const char* address, QWidget* parent)
    : QLabel(parent)
    , m_hCursor(HandCursor())
{
    SetURL(QString::fromLatin1(address));
    if (m_hCursor.shape() == Qt::BitmapCursor)
        setCursor(m_hCursor);
}

void CLinkLabel::SetURL(const QString& url)
{
    m_strURL = url;
}

// On the press rather than the click, so releasing elsewhere still opens the page.
void CLinkLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    CUrlOpener::Open(m_strURL);
    event->accept();
}
