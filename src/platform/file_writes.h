#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <memory>

class QTemporaryFile;

namespace trelok {

// True when the file exists and holds exactly these bytes.
bool sameContent(const QString &path, const QByteArray &data);

// True when a and b name the same file: one file on the disk under any
// name (a link, a hard link, another spelling of the path), or, while one
// of them does not exist yet, the same absolute path.
bool sameFile(const QString &a, const QString &b);

// Who may read a written file: files the program keeps in its directory
// are the user's alone; files the user names follow the user's umask (a
// file that is replaced keeps its permissions).
enum class FileAccess { OwnerOnly, Umask };

// The permissions a new file of that access gets (0600, or 0666 without
// the umask's bits).
unsigned filePermissions(FileAccess access);

// A file that appears only complete. The bytes handed to write() go, a
// chunk at a time, to a new file beside the target; commit() checks that
// every byte reached the disk (short writes, a full disk, a failed flush),
// renames the side file over the target and flushes the folder. Until then
// the target is as it was; a writer given up or failed leaves no side file.
// A link is followed to the file it names; a target that exists and is not
// a plain file (a device, a pipe, a folder) is refused, since it would be
// replaced by a file rather than written to.
class SafeFile {
public:
    explicit SafeFile(const QString &target, FileAccess access = FileAccess::Umask);
    ~SafeFile();
    SafeFile(const SafeFile &) = delete;
    SafeFile &operator=(const SafeFile &) = delete;

    bool open();
    // After a failure the bytes are only counted, so size() still tells
    // how many the whole file needs.
    bool write(QByteArrayView bytes);
    bool commit();

    // What went wrong first.
    enum class Failure { None, NotPlainFile, Open, Write, Short, Rename };
    Failure failure() const { return m_failure; }
    // The system's text for the failure (errno's), or the toolkit's for
    // opening the side file.
    QString errorString() const { return m_errorString; }
    int systemError() const { return m_errno; }
    // The target as given.
    QString fileName() const { return m_target; }
    // Bytes handed to write() so far.
    qint64 size() const { return m_size; }

private:
    bool fail(Failure failure, int error, const QString &text = {});
    bool flush();

    QString m_target;
    QString m_real; // the file a link names, else the target
    FileAccess m_access;
    std::unique_ptr<QTemporaryFile> m_side;
    QByteArray m_buffer;
    qint64 m_size = 0;
    qint64 m_onDisk = 0;
    Failure m_failure = Failure::None;
    QString m_errorString;
    int m_errno = 0;
};

// What went wrong with a SafeFile, as replaceFile says it.
QString writeFailure(const SafeFile &file);

// Writes data to target through a SafeFile. Returns the error text, empty
// on success; on failure target is as it was and the side file is gone.
QString replaceFile(const QString &target, const QByteArray &data,
                    FileAccess access = FileAccess::Umask);

} // namespace trelok
