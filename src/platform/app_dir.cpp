#include "platform/app_dir.h"

#include <QDir>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace trelok {

QString applicationDirectory(const QString &dirOption, const QString &environment,
                             const QString &dataHome)
{
    if (!dirOption.isEmpty())
        return QDir(dirOption).absolutePath();
    if (!environment.isEmpty())
        return QDir(environment).absolutePath();
    return QDir(dataHome).filePath(u"trelok"_s);
}

QString applicationDirectory(const QString &dirOption)
{
    return applicationDirectory(
        dirOption, qEnvironmentVariable("TRELOK_DIR"),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

} // namespace trelok
