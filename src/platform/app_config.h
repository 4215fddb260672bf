#pragma once

#include <QString>

namespace trelok {

// The optional configuration file trelok.conf of the application directory
// (INI). Each setting is read here, by one function, when it is needed; a
// missing file or key is the empty text.
QString configFilePath(const QString &appDir);

// archive=DIR: the folder that keeps a PDF copy of every page printed on
// paper. A relative folder is taken from the application directory.
QString archiveDirectory(const QString &appDir);

} // namespace trelok
