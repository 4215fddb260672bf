#include "platform/os_files.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trelok::os {

namespace {
QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}
} // namespace

FileKind kindOf(const QString &path)
{
    struct stat st {};
    if (::stat(native(path).constData(), &st) != 0)
        return FileKind::Missing;
    if (S_ISREG(st.st_mode))
        return FileKind::Plain;
    if (S_ISDIR(st.st_mode))
        return FileKind::Directory;
    if (S_ISFIFO(st.st_mode))
        return FileKind::Pipe;
    return FileKind::Other;
}

std::optional<bool> sameOnDisk(const QString &a, const QString &b)
{
    struct stat sa {}, sb{};
    if (::stat(native(a).constData(), &sa) != 0 || ::stat(native(b).constData(), &sb) != 0)
        return std::nullopt;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

qint64 writeSome(int fd, const char *data, qint64 size)
{
    ssize_t n;
    do
        n = ::write(fd, data, size_t(size));
    while (n < 0 && errno == EINTR);
    return n;
}

qint64 syncAndSize(int fd)
{
    struct stat st {};
    if (::fsync(fd) != 0 || ::fstat(fd, &st) != 0)
        return -1;
    return st.st_size;
}

int replaceByRename(const QString &from, const QString &to)
{
    return std::rename(native(from).constData(), native(to).constData()) == 0 ? 0 : errno;
}

std::optional<unsigned> modeOf(const QString &path)
{
    struct stat st {};
    if (::stat(native(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return unsigned(st.st_mode & 07777);
}

void setMode(int fd, unsigned mode)
{
    ::fchmod(fd, mode_t(mode));
}

void setMode(const QString &path, unsigned mode)
{
    ::chmod(native(path).constData(), mode_t(mode));
}

unsigned creationMask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return unsigned(mask);
}

namespace {

// Takes from a path the permissions outside keep; never adds one, so a
// write protection its owner set stays.
void keepOnly(const QByteArray &path, const struct stat &st, mode_t keep)
{
    const mode_t now = st.st_mode & 07777;
    if ((now & keep) != now)
        ::chmod(path.constData(), now & keep);
}

} // namespace

void keepPrivate(const QString &directory, const QStringList &entries)
{
    const QByteArray folder = native(directory);
    struct stat st {};
    if (::stat(folder.constData(), &st) == 0 && S_ISDIR(st.st_mode))
        keepOnly(folder, st, 0700);
    for (const QString &entry : entries) {
        const QByteArray path = native(directory + u'/' + entry);
        if (::lstat(path.constData(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            keepOnly(path, st, 0700);
        else if (S_ISREG(st.st_mode))
            keepOnly(path, st, 0600);
    }
}

bool syncPath(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

void syncFolder(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool processRuns(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace trelok::os
