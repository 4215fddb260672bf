#pragma once

#include <QByteArray>
#include <QString>

namespace trelok {

// True when the file exists and holds exactly these bytes.
bool sameContent(const QString &path, const QByteArray &data);

// Writes data to a new file beside target, checks that every byte reached
// the disk (short writes, a full disk, a failed flush), then renames it over
// target. Returns the error text, empty on success; on failure target is as
// it was and the side file is gone.
QString replaceFile(const QString &target, const QByteArray &data);

// Flushes a written file, or a directory's entries, to the disk.
bool syncFile(const QString &path);
void syncDirectory(const QString &path);

} // namespace trelok
