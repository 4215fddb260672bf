#pragma once

#include "data/result.h"

#include <QByteArrayView>

#include <functional>

namespace trelok {

class Store;

// The rows of a long SELECT on the server read through
// COPY (SELECT ...) TO STDOUT in the binary form, on the connection's own
// libpq session: no value converted, no result set per row, one row held
// at a time. The values are handed over as the server sends text (UTF-8),
// Null as empty text.
class CopiedRows {
public:
    // visit is handed the columns values of each row in the server's order;
    // it returns false to read no further. A failure of the session is the
    // store's lost connection (the text begins with connectionLost).
    using Visit = std::function<bool(const QByteArrayView *values)>;
    static DbStatus each(Store &store, const char *select, int columns, const Visit &visit);
};

} // namespace trelok
