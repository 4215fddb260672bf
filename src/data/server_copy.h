#pragma once

#include "data/result.h"

#include <QString>

namespace trelok {

class Store;

// Copies the shared data of an opened single-user installation (orders,
// counter, configuration row, reference tables, register) into the empty
// server database at url, in one transaction; a database that holds any
// table is refused. The number of rows copied, by table, is returned.
DbResult<qint64> copyToServer(Store &source, const QString &url);

} // namespace trelok
