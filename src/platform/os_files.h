#pragma once

// What the program asks of the operating system's files beyond Qt: a file's
// kind and identity, writing a descriptor to the disk, replacing a file by
// a rename, permissions, and whether a writer's process still runs. One
// implementation per system (os_files_posix.cpp, os_files_windows.cpp);
// paths are QStrings throughout, so names with any letters reach the
// system whole.

#include <QString>

#include <optional>

namespace trelok::os {

enum class FileKind { Missing, Plain, Directory, Pipe, Other };

// What a path names, a link followed.
FileKind kindOf(const QString &path);

// Whether a and b are one file on the disk (links, hard links, other
// spellings); nothing when either cannot be looked at.
std::optional<bool> sameOnDisk(const QString &a, const QString &b);

// Writes up to size bytes to an open descriptor: the count written, or -1
// with errno set.
qint64 writeSome(int fd, const char *data, qint64 size);
// Flushes an open descriptor to the disk; its size once flushed, or -1
// with errno set.
qint64 syncAndSize(int fd);

// Replaces to by from in one step. 0, or the errno-style error.
int replaceByRename(const QString &from, const QString &to);

// The permissions of an existing plain file, else nothing.
std::optional<unsigned> modeOf(const QString &path);
// Sets the permissions of an open descriptor or of a path. On a system
// without such permissions only the owner's write bit counts (read-only).
void setMode(int fd, unsigned mode);
void setMode(const QString &path, unsigned mode);
// The process's file-creation mask.
unsigned creationMask();
// Makes a folder and the entries named in it the user's alone, by taking
// permissions away only: the owner's own (a write protection) stay as set.
void keepPrivate(const QString &directory, const QStringList &entries);

// Flushes a file, or a folder's entries, to the disk.
bool syncPath(const QString &path);
void syncFolder(const QString &path);

// Whether a process of this number runs (or may run: not ours to ask).
bool processRuns(qint64 pid);

// The system's text for an errno-style error.
QString errorText(int error);

} // namespace trelok::os
