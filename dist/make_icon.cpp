// Draws the program's emblem into the PNG files of its desktop icon.
// Usage: make_icon DIR   (writes DIR/trelok-SIZE.png for each icon size, and
// DIR/trelok.ico, the Windows program's icon, holding them as PNG images)
#include "context/pictures.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

QImage iconOfSize(const QImage &emblem, int size)
{
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QImage scaled = emblem.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    painter.drawImage((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled);
    return icon;
}

// An icon file: its header, one entry per size, then each size as PNG.
QByteArray icoFile(const QImage &emblem, std::initializer_list<int> sizes)
{
    const auto le16 = [](QByteArray &out, quint16 v) {
        out.append(char(v & 0xff)).append(char(v >> 8));
    };
    const auto le32 = [&](QByteArray &out, quint32 v) {
        le16(out, quint16(v & 0xffff));
        le16(out, quint16(v >> 16));
    };
    QByteArray head, images;
    le16(head, 0);
    le16(head, 1); // an icon
    le16(head, quint16(sizes.size()));
    quint32 offset = quint32(6 + 16 * sizes.size());
    for (int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        iconOfSize(emblem, size).save(&buffer, "PNG");
        head.append(char(size >= 256 ? 0 : size)).append(char(size >= 256 ? 0 : size));
        head.append(char(0)).append(char(0)); // no palette
        le16(head, 1);                        // planes
        le16(head, 32);                       // bits per pixel
        le32(head, quint32(png.size()));
        le32(head, offset);
        offset += quint32(png.size());
        images += png;
    }
    return head + images;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: make_icon DIR\n", stderr);
        return 2;
    }
    const QImage emblem = trelok::emblem();
    for (int size : {48, 128, 256}) {
        const QImage icon = iconOfSize(emblem, size);
        const QString file =
            QString::fromLocal8Bit(argv[1]) + QStringLiteral("/trelok-%1.png").arg(size);
        if (!icon.save(file)) {
            std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    QFile ico(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/trelok.ico"));
    if (!ico.open(QIODevice::WriteOnly) || ico.write(icoFile(emblem, {16, 32, 48, 256})) < 0) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(ico.fileName()));
        return 1;
    }
    return 0;
}
