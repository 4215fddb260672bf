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

QString replaceFile(const QString &target, const QByteArray &data)
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
    ::fchmod(fd, 0644);
    const QString sideName = side.fileName();
    side.close();
    if (std::rename(QFile::encodeName(sideName).constData(),
                    QFile::encodeName(info.absoluteFilePath()).constData()) != 0)
        return u"Datotekata %1 ne moze da se zapise: %2"_s.arg(target, systemError(errno));
    side.setAutoRemove(false);
    syncDirectory(info.absolutePath());
    return {};
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
