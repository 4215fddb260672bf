#pragma once

#include "data/result.h"
#include "refdata/code_line.h"

#include <QList>
#include <QString>

#include <optional>

namespace trelok {

class Store;

// The payment kinds in the order the table returns them; rows without a
// code are left out, codes and descriptions trimmed.
DbResult<QList<CodeLine>> listKinds(Store &store);

// The description of a kind code, or nothing when the code is not a kind.
// Codes are compared trimmed, as listKinds shows them.
DbResult<std::optional<QString>> kindDescription(Store &store, const QString &code);

} // namespace trelok
