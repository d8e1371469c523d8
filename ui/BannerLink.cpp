#include "ui/BannerLink.h"

#include "ui/LinkAddresses.h"

#include <QPixmap>
#include <QResizeEvent>

#include <algorithm>

CBannerLink::CBannerLink(QWidget* parent)
    : CLinkLabel(LinkAddresses::kBanner, parent)
{
}

QSize CBannerLink::FramedPictureSize() const
{
    const QPixmap picture = pixmap();
    if (picture.isNull())
        return QSize();
    const int frame = 2 * frameWidth();
    return picture.deviceIndependentSize().toSize() + QSize(frame, frame);
}

QSize CBannerLink::sizeHint() const
{
    const QSize framed = FramedPictureSize();
    return framed.isEmpty() ? CLinkLabel::sizeHint() : framed;
}

QSize CBannerLink::minimumSizeHint() const
{
    const QSize framed = FramedPictureSize();
    return framed.isEmpty() ? CLinkLabel::minimumSizeHint() : framed;
}

void CBannerLink::resizeEvent(QResizeEvent* event)
{
    const QSize framed = FramedPictureSize();
    if (!framed.isEmpty()) {
        const QSize room = event->size();
        setFrameRect(QRect(QPoint(std::max(0, (room.width() - framed.width()) / 2),
                               std::max(0, (room.height() - framed.height()) / 2)),
            framed));
    }
    CLinkLabel::resizeEvent(event);
}
