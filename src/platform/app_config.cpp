#include "platform/app_config.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {
QString setting(const QString &appDir, const QString &key)
{
    const QString file = configFilePath(appDir);
    if (!QFileInfo(file).isFile())
        return {};
    const QSettings settings(file, QSettings::IniFormat);
    const QVariant value = settings.value(key);
    // An unquoted comma makes the INI reader split the value into a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',').trimmed();
    return value.toString().trimmed();
}
} // namespace

QString configFilePath(const QString &appDir)
{
    return QDir(appDir).filePath(u"trelok.conf"_s);
}

QString archiveDirectory(const QString &appDir)
{
    const QString dir = setting(appDir, u"archive"_s);
    if (dir.isEmpty())
        return {};
    return QDir::cleanPath(QDir(appDir).absoluteFilePath(dir));
}

} // namespace trelok
