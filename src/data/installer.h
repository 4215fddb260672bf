#pragma once

#include "data/result.h"

#include <QString>

namespace trelok {

inline constexpr auto databaseFileName = "trelok.db";

// Path of the database file in an application directory.
QString databasePath(const QString &directory);

enum class Installed { AlreadyThere, Now };

// Installs into the application directory when it holds no database file:
// creates the directory, the tables and the delivered reference data, and
// copies the font files that are missing. An existing database file is never
// touched. A failed installation leaves no database file behind.
DbResult<Installed> installIfMissing(const QString &directory);

} // namespace trelok
