#pragma once

#include <QStringList>

namespace trelok {

// The tables of the database, as the installation creates them.
QStringList tableNames();

} // namespace trelok
