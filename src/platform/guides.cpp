#include "platform/guides.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace trelok {

QString guideFile(const QString &name)
{
    const QDir bin(QCoreApplication::applicationDirPath());
    for (const QString &relative : {u"../share/trelok/guide/"_s, u"../../share/trelok/guide/"_s}) {
        const QFileInfo file(bin.filePath(relative + name));
        if (file.isFile())
            return file.canonicalFilePath();
    }
    return {};
}

} // namespace trelok
