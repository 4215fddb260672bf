#pragma once

#include <QString>

namespace trelok {

// The application directory: the --dir option wins over TRELOK_DIR, which
// wins over the user's data folder ($XDG_DATA_HOME/trelok).
QString applicationDirectory(const QString &dirOption, const QString &environment,
                             const QString &dataHome);

// The same, from the process environment.
QString applicationDirectory(const QString &dirOption);

} // namespace trelok
