// Draws the program icon, the hand cursor and the banner advertisement into a folder.
// The output is committed; run this only to redraw them.
#include <QDir>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

namespace {

// The hand cursor, one character per pixel: B black outline, W white, anything else clear.
// The tip of the index finger is the hot spot (5, 0).
const char* const kHand[32] = {
    "....BBB.........................",
    "...BWWWB........................",
    "...BWWWB........................",
    "...BWWWB........................",
    "...BWWWB........................",
    "...BWWWB........................",
    "...BWWWBBBB.....................",
    "...BWWWBWWWBBBB.................",
    "...BWWWBWWWBWWWBBB..............",
    "...BWWWBWWWBWWWBWWB.............",
    "...BWWWBWWWBWWWBWWB.............",
    ".BBBWWWBWWWBWWWBWWB.............",
    "BWWBWWWWWWWWWWWWWWB.............",
    "BWWWBWWWWWWWWWWWWWB.............",
    ".BWWWWWWWWWWWWWWWWB.............",
    ".BWWWWWWWWWWWWWWWWB.............",
    "..BWWWWWWWWWWWWWWWB.............",
    "..BWWWWWWWWWWWWWWWB.............",
    "...BWWWWWWWWWWWWWB..............",
    "...BWWWWWWWWWWWWWB..............",
    "....BWWWWWWWWWWWB...............",
    "....BWWWWWWWWWWWB...............",
    "....BBBBBBBBBBBBB...............",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
};

QImage DrawHand()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (kHand[y][x] == 'B')
                image.setPixel(x, y, qRgba(0, 0, 0, 255));
            else if (kHand[y][x] == 'W')
                image.setPixel(x, y, qRgba(255, 255, 255, 255));
        }
    }
    return image;
}

// A quill over a letter, drawn in a 256-unit square and scaled to each size.
QImage DrawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);

    const qreal outline = size <= 16 ? 14.0 : size <= 32 ? 8.0 : 5.0;

    QLinearGradient back(0, 0, 0, 256);
    back.setColorAt(0, QColor(66, 133, 230));
    back.setColorAt(1, QColor(24, 62, 150));
    p.setPen(QPen(QColor(16, 40, 100), outline));
    p.setBrush(back);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

    // The letter.
    const QRectF letter(36, 104, 160, 112);
    p.setPen(QPen(QColor(40, 50, 80), outline));
    p.setBrush(QColor(250, 250, 245));
    p.drawRect(letter);
    if (size > 16) {
        QPainterPath flap;
        flap.moveTo(letter.topLeft());
        flap.lineTo(letter.center().x(), letter.top() + 62);
        flap.lineTo(letter.topRight());
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(120, 135, 170), outline * 0.8));
        p.drawPath(flap);
    }

    // The quill: a feather from the upper right down to a nib on the letter.
    QPainterPath feather;
    feather.moveTo(120, 196);
    feather.cubicTo(130, 140, 170, 70, 232, 28);
    feather.cubicTo(220, 90, 186, 150, 132, 200);
    feather.closeSubpath();
    QLinearGradient gold(120, 200, 232, 28);
    gold.setColorAt(0, QColor(250, 214, 120));
    gold.setColorAt(1, QColor(255, 246, 214));
    p.setBrush(gold);
    p.setPen(QPen(QColor(120, 80, 20), outline));
    p.drawPath(feather);
    p.setPen(QPen(QColor(120, 80, 20), outline * 0.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(124, 200), QPointF(226, 36));
    // The nib.
    QPainterPath nib;
    nib.moveTo(116, 194);
    nib.lineTo(134, 204);
    nib.lineTo(108, 232);
    nib.closeSubpath();
    p.setBrush(QColor(30, 30, 40));
    p.setPen(QPen(QColor(30, 30, 40), outline * 0.6));
    p.drawPath(nib);
    return image;
}

// The banner's blue ground, with rays fanning out from a glow behind the quill.
void DrawBannerBackground(QPainter& p, const QRect& rect)
{
    QLinearGradient back(0, 0, 609, 0);
    back.setColorAt(0, QColor(18, 44, 110));
    back.setColorAt(0.6, QColor(30, 90, 170));
    back.setColorAt(1, QColor(40, 150, 190));
    p.fillRect(rect, back);

    // Faint rays fanning out from the quill: one post reaching many places.
    p.setPen(QPen(QColor(255, 255, 255, 40), 1.5));
    for (int i = 0; i < 14; ++i)
        p.drawLine(QPointF(60, 43), QPointF(130 + i * 36, i % 2 ? -10 : 96));

    QRadialGradient glow(60, 43, 46);
    glow.setColorAt(0, QColor(255, 255, 255, 110));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(60, 43), 46, 46);
}

// The advertisement for the maker's other product, 609x86, shown at the top of the main window.
QImage DrawBanner()
{
    QImage image(609, 86, QImage::Format_ARGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    DrawBannerBackground(p, image.rect());
    const QImage icon = DrawIcon(64);
    p.drawImage(28, 11, icon);

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QPointF(112, 42), QStringLiteral("Quillpost Pro"));
    p.setPen(Qt::white);
    p.drawText(QPointF(110, 40), QStringLiteral("Quillpost Pro"));

    QFont badge(QStringLiteral("DejaVu Sans"));
    badge.setPixelSize(13);
    badge.setBold(true);
    p.setFont(badge);
    const QString badgeText = QStringLiteral("NEW 2.0");
    const QRectF badgeRect(336, 17, QFontMetricsF(badge).horizontalAdvance(badgeText) + 16, 22);
    p.setBrush(QColor(255, 196, 40));
    p.setPen(QPen(QColor(150, 100, 0), 1));
    p.drawRoundedRect(badgeRect, 6, 6);
    p.setPen(QColor(60, 30, 0));
    p.drawText(badgeRect, Qt::AlignCenter, badgeText);

    QFont tag(QStringLiteral("DejaVu Sans"));
    tag.setPixelSize(14);
    p.setFont(tag);
    p.setPen(QColor(225, 238, 255));
    p.drawText(
        QPointF(112, 64), QStringLiteral("Hundreds of services, one click, on your schedule."));

    QFont maker(QStringLiteral("DejaVu Sans"));
    maker.setPixelSize(11);
    maker.setItalic(true);
    p.setFont(maker);
    p.setPen(QColor(200, 225, 255));
    p.drawText(QRectF(0, 64, 598, 18), Qt::AlignRight | Qt::AlignVCenter,
        QStringLiteral("from Quillworks"));
    p.end();
    return image;
}

bool Save(const QImage& image, const QString& path)
{
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_links OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    for (const int size : {16, 32, 48, 256})
        ok &= Save(DrawIcon(size), out.filePath(QStringLiteral("icon-%1.png").arg(size)));
    ok &= Save(DrawHand(), out.filePath(QStringLiteral("hand.png")));
    ok &= Save(DrawBanner(), out.filePath(QStringLiteral("banner.png")));
    return ok ? 0 : 1;
}
