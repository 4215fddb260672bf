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
        const QString path = dir.filePath(name);
        if (!QFile::exists(path))
            continue;
        if (QFontDatabase::addApplicationFont(path) >= 0)
            ++added;
    }
    return added;
}

} // namespace trelok
