#pragma once

#include <QStringList>

namespace trelok {

// Runs the program: options, installation, start-up, the main window.
// Returns the process exit status.
int runApplication(const QStringList &arguments);

} // namespace trelok
