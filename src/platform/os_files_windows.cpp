#include "platform/os_files.h"

#include <QDir>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace trelok::os {

namespace {

std::wstring native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// A handle that only looks at a file or folder: no reading or writing, and
// no other program is kept from the file meanwhile.
class LookingHandle {
public:
    explicit LookingHandle(const QString &path)
        : m_handle(CreateFileW(native(path).c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr))
    {
    }
    ~LookingHandle()
    {
        if (valid())
            CloseHandle(m_handle);
    }
    LookingHandle(const LookingHandle &) = delete;
    LookingHandle &operator=(const LookingHandle &) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

int errnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    default:
        return EIO;
    }
}

} // namespace

FileKind kindOf(const QString &path)
{
    const DWORD attributes = GetFileAttributesW(native(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return FileKind::Directory;
    const LookingHandle file(path);
    if (!file.valid())
        return attributes == INVALID_FILE_ATTRIBUTES ? FileKind::Missing : FileKind::Plain;
    switch (GetFileType(file.get())) {
    case FILE_TYPE_DISK:
        return FileKind::Plain;
    case FILE_TYPE_PIPE:
        return FileKind::Pipe;
    default:
        return FileKind::Other; // a console or a device such as NUL
    }
}

std::optional<bool> sameOnDisk(const QString &a, const QString &b)
{
    const LookingHandle first(a), second(b);
    BY_HANDLE_FILE_INFORMATION ia{}, ib{};
    if (!first.valid() || !second.valid() || !GetFileInformationByHandle(first.get(), &ia) ||
        !GetFileInformationByHandle(second.get(), &ib))
        return std::nullopt;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

qint64 writeSome(int fd, const char *data, qint64 size)
{
    // The C library writes at most an int's worth at a time.
    const unsigned piece = unsigned(qMin<qint64>(size, 1 << 30));
    return ::_write(fd, data, piece);
}

qint64 syncAndSize(int fd)
{
    if (::_commit(fd) != 0)
        return -1;
    return ::_filelengthi64(fd);
}

int replaceByRename(const QString &from, const QString &to)
{
    if (MoveFileExW(native(from).c_str(), native(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    return errnoOf(GetLastError());
}

std::optional<unsigned> modeOf(const QString &path)
{
    struct _stat64 st {};
    if (::_wstat64(native(path).c_str(), &st) != 0 || !(st.st_mode & _S_IFREG))
        return std::nullopt;
    return unsigned(st.st_mode & 0777);
}

void setMode(int, unsigned)
{
    // A file being written is writable; Windows keeps no other bits on it.
}

void setMode(const QString &path, unsigned mode)
{
    ::_wchmod(native(path).c_str(), (mode & 0200) ? (_S_IREAD | _S_IWRITE) : _S_IREAD);
}

unsigned creationMask()
{
    return 0;
}

void keepPrivate(const QString &, const QStringList &)
{
    // The application directory lies in the user's profile, which Windows
    // already keeps from other users; a folder chosen with --dir keeps the
    // access its owner gave it.
}

bool syncPath(const QString &path)
{
    const HANDLE file =
        CreateFileW(native(path).c_str(), GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool synced = FlushFileBuffers(file);
    CloseHandle(file);
    return synced;
}

void syncFolder(const QString &)
{
    // NTFS records a folder's entries in its own journal.
}

bool processRuns(qint64 pid)
{
    if (pid <= 0)
        return false;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool runs = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return runs;
}

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace trelok::os
