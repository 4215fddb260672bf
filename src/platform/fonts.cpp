#include "platform/fonts.h"

#include <QDir>
#include <QFontDatabase>

using namespace Qt::StringLiterals;

namespace trelok {

QStringList fontFileNames()
{
    return {u"MCTIME.TTF"_s, u"MCTIMEB.TTF"_s, u"MCTIMEBI.TTF"_s, u"MCTIMEI.TTF"_s};
}

int registerApplicationFonts(const QString &directory)
{
    int added = 0;
    const QDir dir(directory);
    for (const QString &name : fontFileNames()) {
        // Handed over as bytes: a font database given the path may open it
        // by its name in the system's ANSI code page (FreeType on Windows),
        // which cannot spell a folder named in Cyrillic.
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        if (QFontDatabase::addApplicationFontFromData(file.readAll()) >= 0)
            ++added;
    }
    return added;
}

} // namespace trelok
