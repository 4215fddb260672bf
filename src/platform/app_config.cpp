#include "platform/app_config.h"

#include "platform/file_writes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// One line of trelok.conf as the program reads it. The file is the user's:
// it is read line by line and written back with every other line as it was.
struct ConfLine {
    QByteArray bytes;  // the line as it is in the file, with its line break
    QString section;   // the [section] it lies in; empty before the first one
    QString key;       // empty for comments, blank lines and section lines
    QString value;
    bool used() const { return section.isEmpty() || section == u"General"_s; }
};

QList<ConfLine> readConf(const QString &appDir)
{
    QList<ConfLine> lines;
    QFile file(configFilePath(appDir));
    if (!QFileInfo(file.fileName()).isFile() || !file.open(QIODevice::ReadOnly))
        return lines;
    const QByteArray all = file.readAll();
    QString section;
    qsizetype at = 0;
    while (at < all.size()) {
        qsizetype end = all.indexOf('\n', at);
        end = end < 0 ? all.size() : end + 1;
        ConfLine line{all.mid(at, end - at), section, {}, {}};
        at = end;
        const QString text = QString::fromUtf8(line.bytes).trimmed();
        if (text.startsWith(u'[') && text.endsWith(u']')) {
            section = text.mid(1, text.size() - 2).trimmed();
            line.section = section;
        } else if (!text.isEmpty() && !text.startsWith(u'#') && !text.startsWith(u';')) {
            const qsizetype equals = text.indexOf(u'=');
            if (equals > 0) {
                line.key = text.left(equals).trimmed();
                line.value = text.mid(equals + 1).trimmed();
                if (line.value.size() >= 2 && line.value.startsWith(u'"') &&
                    line.value.endsWith(u'"')) {
                    line.value = line.value.mid(1, line.value.size() - 2);
                } else if (line.value.contains(u',')) {
                    // As the INI format reads it: an unquoted comma ends a
                    // list item, blanks around the items are dropped.
                    QStringList items = line.value.split(u',');
                    for (QString &item : items)
                        item = item.trimmed();
                    line.value = items.join(u',');
                }
            }
        }
        lines.append(line);
    }
    return lines;
}

QString setting(const QString &appDir, const QString &key)
{
    for (const ConfLine &line : readConf(appDir))
        if (line.used() && line.key == key)
            return line.value;
    return {};
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

QString unusedDatabaseLine(const QString &appDir)
{
    const QList<ConfLine> lines = readConf(appDir);
    bool seen = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ConfLine &line = lines[i];
        if (line.key != u"database"_s)
            continue;
        const auto refused = [&](const QString &why) {
            return u"%1, red %2: database= ne se koristi (%3); popravete go fajlot"_s.arg(
                configFilePath(appDir), QString::number(i + 1), why);
        };
        if (!line.used())
            return refused(u"vo sekcijata [%1]"_s.arg(line.section));
        if (std::exchange(seen, true))
            return refused(u"povtoren red"_s);
    }
    return {};
}

QString storeConfiguredDatabase(const QString &appDir, const QString &url)
{
    const QList<ConfLine> lines = readConf(appDir);
    const QByteArray written = "database=" + url.toUtf8();
    QByteArray out;
    bool stored = false;
    qsizetype sectionStart = -1; // where the first [section] begins
    for (const ConfLine &line : lines) {
        if (sectionStart < 0 && !line.section.isEmpty())
            sectionStart = out.size();
        if (line.used() && line.key == u"database"_s) {
            if (!std::exchange(stored, true))
                out += written + (line.bytes.endsWith("\r\n") ? "\r\n" : "\n");
            continue;
        }
        out += line.bytes;
    }
    if (!stored) {
        // Before the first section, where the program reads it.
        const qsizetype at = sectionStart < 0 ? out.size() : sectionStart;
        if (at > 0 && out[at - 1] != '\n') {
            out.insert(at, '\n');
            out.insert(at + 1, written + '\n');
        } else {
            out.insert(at, written + '\n');
        }
    }
    return replaceFile(configFilePath(appDir), out, FileAccess::OwnerOnly);
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

QString databaseChoiceProblem(const QString &option, const QString &appDir)
{
    if (!option.trimmed().isEmpty() || !qEnvironmentVariable("TRELOK_DB").trimmed().isEmpty())
        return {};
    return unusedDatabaseLine(appDir);
}

} // namespace trelok
