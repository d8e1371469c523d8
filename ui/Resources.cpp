#include "ui/Resources.h"

#include <QBitmap>
#include <QColor>
#include <QPixmap>
#include <QtGlobal>

static void initResources()
{
    Q_INIT_RESOURCE(quillpost);
}

void InitQuillpostResources()
{
    static const bool done = (initResources(), true);
    Q_UNUSED(done);
}

QIcon ProgramIcon()
{
    InitQuillpostResources();
    QIcon icon;
    for (const int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/images/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}

QCursor HandCursor()
{
    InitQuillpostResources();
    const QPixmap hand(QStringLiteral(":/images/hand.png"));
    if (hand.isNull())
        return QCursor(Qt::ArrowCursor);
    return QCursor(hand, 5, 0);
}

QList<QIcon> StatusImages()
{
    InitQuillpostResources();
    QPixmap strip(QStringLiteral(":/images/status.png"));
    strip.setMask(strip.createMaskFromColor(QColor(0, 128, 128)));
    const int width = StatusImageSize.width();
    QList<QIcon> images;
    for (int i = ImageNotPosted; i <= ImageParam; ++i)
        images.append(QIcon(strip.copy(i * width, 0, width, strip.height())));
    return images;
}
