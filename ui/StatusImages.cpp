#include "ui/StatusImages.h"

#include "ui/Resources.h"

#include <QColor>
#include <QImage>
#include <QPixmap>

namespace {

constexpr int ImageCount = 4;
const QColor ImageBackground(0, 128, 128);

} // namespace

QList<QIcon> StatusImages()
{
    InitQuillpostResources();
    QImage strip(QStringLiteral(":/images/status.png"));
    strip = strip.convertToFormat(QImage::Format_ARGB32);
    const QRgb background = ImageBackground.rgb();
    for (int y = 0; y < strip.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int x = 0; x < strip.width(); ++x) {
            if ((line[x] & RGB_MASK) == (background & RGB_MASK))
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    const int width = StatusImageSize.width();
    QList<QIcon> images;
    for (int i = 0; i < ImageCount; ++i)
        images.append(QIcon(QPixmap::fromImage(strip.copy(i * width, 0, width, strip.height()))));
    return images;
}
