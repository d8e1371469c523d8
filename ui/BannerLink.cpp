#include "ui/BannerLink.h"

#include "ui/LinkAddresses.h"
#include "ui/Resources.h"
#include "ui/UrlOpener.h"

#include <QMouseEvent>

CBannerLink::CBannerLink(QWidget* parent)
    : QLabel(parent)
    , m_hCursor(HandCursor())
{
    SetURL(QString::fromLatin1(LinkAddresses::kBanner));
    if (m_hCursor.shape() == Qt::BitmapCursor)
        setCursor(m_hCursor);
}

CBannerLink::~CBannerLink() = default;

void CBannerLink::SetURL(const QString& url)
{
    m_strURL = url;
}

// On the press rather than the click, so releasing elsewhere still opens the page.
void CBannerLink::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    CUrlOpener::Open(m_strURL);
    event->accept();
}
