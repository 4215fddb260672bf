#include "context/pictures.h"

#include "platform/fonts.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QResource>

#include <cmath>
#include <cstring>
#include <numbers>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {
// A picture drawn in its own units (width x height) onto an image of the
// size it is shown at: nothing to scale when it is shown.
void drawnAt(QPainter &p, const QImage &image, double width, double height)
{
    p.scale(image.width() / width, image.height() / height);
}

constexpr int headerBytes = 3 * sizeof(qint32);

// The copy compiled in for this name and size, sharing the program's own
// bytes (nothing decoded or copied); a null image where there is none.
QImage builtCopy(const char *name, QSize size)
{
    const QResource stored(u":/pictures/"_s + QString::fromLatin1(name));
    const auto *bytes = stored.data();
    if (!stored.isValid() || stored.compressionAlgorithm() != QResource::NoCompression || !bytes ||
        stored.size() != headerBytes + qint64(size.width()) * size.height() * 4)
        return {};
    qint32 header[3];
    std::memcpy(header, bytes, sizeof header);
    const auto format = QImage::Format(header[2]);
    if (header[0] != size.width() || header[1] != size.height() ||
        (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied))
        return {};
    const QImage image(bytes + headerBytes, size.width(), size.height(), size.width() * 4, format);
    // Pixels are read as 32-bit words: a copy where the bytes do not lie so.
    return quintptr(bytes + headerBytes) % alignof(quint32) == 0 ? image : image.copy();
}
} // namespace

QList<BuiltPicture> builtPictures()
{
    return {{"background", mainBackgroundSize, drawMainBackground},
            {"emblem", mainEmblemPlace.size(), drawEmblem}};
}

QByteArray builtPictureBytes(const QImage &image)
{
    const qint32 header[3] = {image.width(), image.height(), qint32(image.format())};
    QByteArray bytes(reinterpret_cast<const char *>(header), headerBytes);
    for (int y = 0; y < image.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(image.constScanLine(y)), image.width() * 4);
    return bytes;
}

QImage mainBackground(QSize size)
{
    const QImage built = builtCopy("background", size);
    return built.isNull() ? drawMainBackground(size) : built;
}

QImage emblem(QSize size)
{
    const QImage built = builtCopy("emblem", size);
    return built.isNull() ? drawEmblem(size) : built;
}

QImage drawMainBackground(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    drawnAt(p, image, 614, 383);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 0, 0, 383);
    ground.setColorAt(0, QColor(232, 238, 246));
    ground.setColorAt(1, QColor(196, 210, 228));
    p.fillRect(QRect(0, 0, 614, 383), ground);
    // A band along the bottom, where the printer's name is shown.
    p.fillRect(QRect(0, 352, 614, 31), QColor(176, 192, 214));
    p.setPen(QPen(QColor(120, 140, 170), 1));
    p.drawLine(0, 352, 614, 352);
    // Faint lines of a form in the right half.
    p.setPen(QPen(QColor(170, 186, 210), 1));
    for (int y = 246; y < 340; y += 24)
        p.drawLine(260, y, 590, y);
    QFont title(QString::fromLatin1(formFontFamily));
    title.setPixelSize(34);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(40, 60, 110));
    p.drawText(QRect(250, 100, 350, 60), Qt::AlignCenter, u"Trelok za Carina"_s);
    title.setPixelSize(18);
    title.setBold(false);
    p.setFont(title);
    p.setPen(QColor(70, 90, 130));
    p.drawText(QRect(250, 160, 350, 60), Qt::AlignCenter,
               u"Priprema i pe~atewe na nalozi za uplata"_s);
    return image;
}

QImage drawEmblem(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    drawnAt(p, image, 387, 383);
    p.setRenderHint(QPainter::Antialiasing);
    // A shield: flat top, curved sides meeting in a point.
    QPainterPath shield;
    shield.moveTo(40, 30);
    shield.lineTo(347, 30);
    shield.lineTo(347, 190);
    shield.cubicTo(347, 290, 260, 340, 193.5, 365);
    shield.cubicTo(127, 340, 40, 290, 40, 190);
    shield.closeSubpath();
    QLinearGradient fill(0, 30, 0, 365);
    fill.setColorAt(0, QColor(30, 70, 140));
    fill.setColorAt(1, QColor(15, 40, 90));
    p.fillPath(shield, fill);
    p.setPen(QPen(QColor(212, 175, 55), 12));
    p.drawPath(shield);
    // A sun of sixteen rays.
    const QPointF centre(193.5, 175);
    QRadialGradient sun(centre, 95);
    sun.setColorAt(0, QColor(255, 230, 120));
    sun.setColorAt(1, QColor(212, 160, 40));
    QPainterPath rays;
    const int count = 16;
    for (int i = 0; i < count * 2; ++i) {
        const double angle = i * std::numbers::pi / count - std::numbers::pi / 2;
        const double radius = (i % 2 == 0) ? 110 : 58;
        const QPointF point(centre.x() + radius * std::cos(angle),
                            centre.y() + radius * std::sin(angle));
        if (i == 0)
            rays.moveTo(point);
        else
            rays.lineTo(point);
    }
    rays.closeSubpath();
    p.setPen(Qt::NoPen);
    p.fillPath(rays, sun);
    p.setBrush(QColor(255, 236, 150));
    p.drawEllipse(centre, 44, 44);
    // A key across the lower part: the mark of a customs house.
    p.setPen(QPen(QColor(212, 175, 55), 10, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(130, 300), QPointF(257, 300));
    p.drawLine(QPointF(232, 300), QPointF(232, 322));
    p.drawLine(QPointF(250, 300), QPointF(250, 316));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(118, 300), 16, 16);
    return image;
}

} // namespace trelok
