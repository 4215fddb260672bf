#pragma once

#include <QByteArrayView>
#include <QSqlError>
#include <QVariantList>

#include <functional>
#include <optional>

typedef struct pg_conn PGconn;

namespace trelok {

// The rows of a statement on the server read on the connection's own libpq
// session: the statement goes with its values in one round trip (nothing
// prepared apart and let go after), and each row's values are handed over
// as the server sends them, text in UTF-8, without a conversion. The rows
// come one at a time (libpq's single-row mode), so a long result is never
// held whole.
class ServerRows {
public:
    // visit is handed each row's values (a Null as a null view) and their
    // number; it returns false to read no further. The statement's ?
    // placeholders take values in turn. The failure, as the driver reports
    // one (for the store to judge), or none.
    using Visit = std::function<bool(const QByteArrayView *values, int count)>;
    static std::optional<QSqlError> each(PGconn *conn, const char *statement,
                                         const QVariantList &values, const Visit &visit);

    // The statement with its ? placeholders numbered as the server takes
    // them ($1, $2, ...); a ? inside quotes is left as it is.
    static QByteArray numbered(const char *statement);
};

} // namespace trelok
