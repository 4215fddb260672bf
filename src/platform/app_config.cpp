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
    return QDir(appDir).filePath(QString::fromLatin1(configFileName));
}

QString archiveDirectory(const QString &appDir)
{
    const QString dir = setting(appDir, u"archive"_s);
    if (dir.isEmpty())
        return {};
    return QDir::cleanPath(QDir(appDir).absoluteFilePath(dir));
}

QString configuredDatabase(const QString &appDir)
{
    return setting(appDir, u"database"_s);
}

bool storeConfiguredDatabase(const QString &appDir, const QString &url)
{
    QSettings settings(configFilePath(appDir), QSettings::IniFormat);
    settings.setValue(u"database"_s, url);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString chosenDatabase(const QString &option, const QString &appDir)
{
    if (!option.trimmed().isEmpty())
        return option.trimmed();
    const QString environment = qEnvironmentVariable("TRELOK_DB").trimmed();
    if (!environment.isEmpty())
        return environment;
    return configuredDatabase(appDir);
}

} // namespace trelok
