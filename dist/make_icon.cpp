// Draws the program's emblem into the PNG files of its desktop icon.
// Usage: make_icon DIR   (writes DIR/trelok-SIZE.png for each icon size)
#include "context/pictures.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: make_icon DIR\n", stderr);
        return 2;
    }
    const QImage emblem = trelok::emblem();
    for (int size : {48, 128, 256}) {
        QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
        icon.fill(Qt::transparent);
        QPainter painter(&icon);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QImage scaled =
            emblem.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter.drawImage((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled);
        painter.end();
        const QString file =
            QString::fromLocal8Bit(argv[1]) + QStringLiteral("/trelok-%1.png").arg(size);
        if (!icon.save(file)) {
            std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
