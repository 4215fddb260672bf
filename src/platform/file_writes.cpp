#include "platform/file_writes.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "platform/os_files.h"

#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace trelok {


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
    if (const std::optional<bool> same = os::sameOnDisk(a, b))
        return *same;
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
        m_errorString = text.isEmpty() ? os::errorText(error) : text;
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
    const os::FileKind kind = os::kindOf(m_real);
    if (kind != os::FileKind::Missing && kind != os::FileKind::Plain)
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
        const qint64 n = os::writeSome(fd, m_buffer.constData() + written,
                                       m_buffer.size() - written);
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
    const qint64 onDisk = os::syncAndSize(fd);
    if (onDisk < 0)
        return fail(Failure::Write, errno);
    if (onDisk != m_size)
        return fail(Failure::Short, 0, u"%1 od %2 bajti"_s.arg(onDisk).arg(m_size));
    // A file that is replaced keeps who may read it.
    const std::optional<unsigned> old =
        m_access == FileAccess::Umask ? os::modeOf(m_real) : std::nullopt;
    os::setMode(fd, old ? *old : filePermissions(m_access));
    // Closed for good before it is renamed (a temporary file's close()
    // keeps it open, and Windows renames no open file).
    const QString sideName = m_side->fileName();
    m_side->setAutoRemove(false);
    m_side.reset();
    const QFileInfo real(m_real);
    if (const int error = os::replaceByRename(sideName, real.absoluteFilePath())) {
        QFile::remove(sideName);
        return fail(Failure::Rename, error);
    }
    os::syncFolder(real.absolutePath());
    return true;
}

QString replaceFile(const QString &target, const QByteArray &data, FileAccess access)
{
    SafeFile file(target, access);
    if (file.open() && file.write(data) && file.commit())
        return {};
    return writeFailure(file);
}

QString writeFailure(const SafeFile &file)
{
    if (file.failure() == SafeFile::Failure::Short)
        return u"Datotekata %1 ne e celosno zapisana (%2)"_s.arg(file.fileName(),
                                                                 file.errorString());
    return u"Datotekata %1 ne moze da se zapise: %2"_s.arg(file.fileName(), file.errorString());
}

unsigned filePermissions(FileAccess access)
{
    if (access == FileAccess::OwnerOnly)
        return 0600;
    return 0666 & ~os::creationMask();
}

} // namespace trelok
