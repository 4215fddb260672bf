#include "platform/app_config.h"

#include <QDir>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {
QString configPath(const QString &appDir)
{
    return QDir(appDir).filePath(QString::fromLatin1(configFileName));
}
} // namespace

QString configuredDatabase(const QString &appDir)
{
    const QSettings settings(configPath(appDir), QSettings::IniFormat);
    return settings.value(u"database"_s).toString().trimmed();
}

bool storeConfiguredDatabase(const QString &appDir, const QString &url)
{
    QSettings settings(configPath(appDir), QSettings::IniFormat);
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
