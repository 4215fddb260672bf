#include "platform/file_writes.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {
QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
} // namespace

bool sameContent(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() != data.size() || !file.open(QIODevice::ReadOnly))
        return false;
    return file.readAll() == data;
}

QString replaceFile(const QString &target, const QByteArray &data, FileAccess access)
{
    const QFileInfo info(target);
    QTemporaryFile side(info.absolutePath() + u"/."_s + info.fileName() + u".XXXXXX"_s);
    if (!side.open())
        return u"Datotekata %1 ne moze da se zapise: %2"_s.arg(target, side.errorString());
    const int fd = side.handle();
    qsizetype written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + written, size_t(data.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return u"Datotekata %1 ne moze da se zapise: %2"_s.arg(
                target, n < 0 ? systemError(errno) : u"zapisano e pomalku"_s);
        written += n;
    }
    struct stat st {};
    if (::fsync(fd) != 0 || ::fstat(fd, &st) != 0)
        return u"Datotekata %1 ne moze da se zapise: %2"_s.arg(target, systemError(errno));
    if (st.st_size != data.size())
        return u"Datotekata %1 ne e celosno zapisana (%2 od %3 bajti)"_s.arg(target)
            .arg(qint64(st.st_size))
            .arg(data.size());
    ::fchmod(fd, mode_t(filePermissions(access)));
    const QString sideName = side.fileName();
    side.close();
    if (std::rename(QFile::encodeName(sideName).constData(),
                    QFile::encodeName(info.absoluteFilePath()).constData()) != 0)
        return u"Datotekata %1 ne moze da se zapise: %2"_s.arg(target, systemError(errno));
    side.setAutoRemove(false);
    syncDirectory(info.absolutePath());
    return {};
}

unsigned filePermissions(FileAccess access)
{
    if (access == FileAccess::OwnerOnly)
        return 0600;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~unsigned(mask);
}

void keepPrivate(const QString &directory, const QStringList &entries)
{
    ::chmod(QFile::encodeName(directory).constData(), 0700);
    for (const QString &entry : entries) {
        const QString path = directory + u'/' + entry;
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            ::chmod(QFile::encodeName(path).constData(), 0700);
        else if (S_ISREG(st.st_mode))
            ::chmod(QFile::encodeName(path).constData(), 0600);
    }
}

bool syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

void syncDirectory(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace trelok
