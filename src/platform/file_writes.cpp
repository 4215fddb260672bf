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
QString systemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
} // namespace

bool sameContent(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() != data.size() ||
        !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    // A piece at a time through one small buffer: no copy of the whole file.
    char piece[64 * 1024];
    for (qsizetype done = 0; done < data.size();) {
        const qint64 got = file.read(piece, qMin<qint64>(sizeof piece, data.size() - done));
        if (got <= 0 || std::memcmp(piece, data.constData() + done, size_t(got)) != 0)
            return false;
        done += got;
    }
    return file.atEnd();
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat sa {
    }, sb{};
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
        ::stat(QFile::encodeName(b).constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

namespace {
// Bytes gathered before they are handed to the system.
constexpr qsizetype chunkSize = 1024 * 1024;
} // namespace

SafeFile::SafeFile(const QString &target, FileAccess access)
    : m_target(target), m_real(target), m_access(access)
{
}

SafeFile::~SafeFile() = default;

bool SafeFile::fail(Failure failure, int error, const QString &text)
{
    if (m_failure == Failure::None) {
        m_failure = failure;
        m_errno = error;
        m_errorString = text.isEmpty() ? systemErrorText(error) : text;
    }
    m_side.reset(); // the side file goes with it
    m_buffer.clear();
    return false;
}

bool SafeFile::open()
{
    const QFileInfo info(m_target);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        m_real = info.canonicalFilePath();
    struct stat st {};
    if (::stat(QFile::encodeName(m_real).constData(), &st) == 0 && !S_ISREG(st.st_mode))
        return fail(Failure::NotPlainFile, 0, u"ne e obicen fajl (ured ili cevka)"_s);
    const QFileInfo real(m_real);
    m_side = std::make_unique<QTemporaryFile>(real.absolutePath() + u"/."_s + real.fileName() +
                                              u".XXXXXX"_s);
    if (!m_side->open()) {
        const int error = errno;
        return fail(Failure::Open, error, m_side->errorString());
    }
    m_buffer.reserve(chunkSize);
    return true;
}

bool SafeFile::write(QByteArrayView bytes)
{
    m_size += bytes.size();
    if (!m_side)
        return false;
    m_buffer.append(bytes);
    return m_buffer.size() < chunkSize || flush();
}

bool SafeFile::flush()
{
    const int fd = m_side->handle();
    qsizetype written = 0;
    while (written < m_buffer.size()) {
        const ssize_t n =
            ::write(fd, m_buffer.constData() + written, size_t(m_buffer.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(Failure::Write, n < 0 ? errno : 0,
                        n < 0 ? QString() : u"zapisano e pomalku"_s);
        written += n;
    }
    m_onDisk += written;
    // Emptied, its memory kept for the next chunk.
    m_buffer.resize(0);
    return true;
}

bool SafeFile::commit()
{
    if (!m_side || !flush())
        return false;
    const int fd = m_side->handle();
    struct stat st {};
    if (::fsync(fd) != 0 || ::fstat(fd, &st) != 0)
        return fail(Failure::Write, errno);
    if (st.st_size != m_size)
        return fail(Failure::Short, 0, u"%1 od %2 bajti"_s.arg(qint64(st.st_size)).arg(m_size));
    // A file that is replaced keeps who may read it.
    struct stat old {};
    const bool replaced = m_access == FileAccess::Umask &&
                          ::stat(QFile::encodeName(m_real).constData(), &old) == 0 &&
                          S_ISREG(old.st_mode);
    ::fchmod(fd, replaced ? old.st_mode & 07777 : mode_t(filePermissions(m_access)));
    const QString sideName = m_side->fileName();
    m_side->close();
    const QFileInfo real(m_real);
    if (std::rename(QFile::encodeName(sideName).constData(),
                    QFile::encodeName(real.absoluteFilePath()).constData()) != 0)
        return fail(Failure::Rename, errno);
    m_side->setAutoRemove(false);
    m_side.reset();
    syncDirectory(real.absolutePath());
    return true;
}

QString replaceFile(const QString &target, const QByteArray &data, FileAccess access)
{
    SafeFile file(target, access);
    if (file.open() && file.write(data) && file.commit())
        return {};
    if (file.failure() == SafeFile::Failure::Short)
        return u"Datotekata %1 ne e celosno zapisana (%2)"_s.arg(target, file.errorString());
    return u"Datotekata %1 ne moze da se zapise: %2"_s.arg(target, file.errorString());
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
