#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace trelok {

// True when the file exists and holds exactly these bytes.
bool sameContent(const QString &path, const QByteArray &data);

// Who may read a written file: files the program keeps in its directory
// are the user's alone; files the user names follow the user's umask.
enum class FileAccess { OwnerOnly, Umask };

// The permissions a new file of that access gets (0600, or 0666 without
// the umask's bits).
unsigned filePermissions(FileAccess access);

// Writes data to a new file beside target, checks that every byte reached
// the disk (short writes, a full disk, a failed flush), then renames it over
// target. Returns the error text, empty on success; on failure target is as
// it was and the side file is gone.
QString replaceFile(const QString &target, const QByteArray &data,
                    FileAccess access = FileAccess::Umask);

// Makes the application directory and what the program keeps in it
// readable by the user alone: the directory 0700; each existing entry
// named (files 0600, folders 0700).
void keepPrivate(const QString &directory, const QStringList &entries);

// Flushes a written file, or a directory's entries, to the disk.
bool syncFile(const QString &path);
void syncDirectory(const QString &path);

} // namespace trelok
