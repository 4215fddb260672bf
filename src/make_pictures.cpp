// Draws the main window's pictures while the program is built, in the form
// font the program registers at every start, into the files compiled in as
// their pixels (context/pictures.h).
// Usage: make_pictures DIR   (writes DIR/NAME for each built picture)
#include "context/pictures.h"
#include "platform/fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: make_pictures DIR\n", stderr);
        return 2;
    }
    for (const QString &face : trelok::fontFileNames())
        if (QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/") + face) < 0) {
            std::fprintf(stderr, "make_pictures: the face %s cannot be read\n", qPrintable(face));
            return 1;
        }
    for (const trelok::BuiltPicture &picture : trelok::builtPictures()) {
        const QString path = QString::fromLocal8Bit(argv[1]) + u'/' + QLatin1StringView(picture.name);
        QFile file(path);
        const QByteArray bytes = trelok::builtPictureBytes(picture.draw(picture.size));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.flush()) {
            std::fprintf(stderr, "make_pictures: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
