#include "data/server_rows.h"

#include "data/server_session.h"

#include <libpq-fe.h>

#include <vector>

namespace trelok {

QByteArray ServerRows::numbered(const char *statement)
{
    QByteArray out;
    int next = 0;
    char quote = 0;
    for (const char *c = statement; *c; ++c) {
        if (quote) {
            if (*c == quote)
                quote = 0;
        } else if (*c == '\'' || *c == '"') {
            quote = *c;
        } else if (*c == '?') {
            out += '$' + QByteArray::number(++next);
            continue;
        }
        out += *c;
    }
    return out;
}

namespace {

// A bound value as the server's text for it; a Null as no text at all.
QByteArray parameterText(const QVariant &value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray();
    const QByteArray text = value.toString().toUtf8();
    return text.isNull() ? QByteArray("") : text;
}

} // namespace

std::optional<QSqlError> ServerRows::each(PGconn *conn, const char *statement,
                                          const QVariantList &values, const Visit &visit)
{
    std::vector<QByteArray> texts;
    std::vector<const char *> parameters;
    texts.reserve(size_t(values.size()));
    for (const QVariant &value : values) {
        texts.push_back(parameterText(value));
        parameters.push_back(texts.back().isNull() ? nullptr : texts.back().constData());
    }
    // A statement of the driver's still being read on the session makes
    // this one fail (another command in progress) rather than cut it short.
    const QByteArray text = numbered(statement);
    if (!PQsendQueryParams(conn, text.constData(), int(parameters.size()), nullptr,
                           parameters.data(), nullptr, nullptr, 0))
        return sessionError(conn, nullptr);
    PQsetSingleRowMode(conn);

    std::vector<QByteArrayView> cells;
    bool wanted = true;
    SessionAnswer failed;
    // Every answer is read, also after the visitor has had enough: the
    // session is ready for the next statement only at the end.
    while (PGresult *answer = PQgetResult(conn)) {
        SessionAnswer held(answer);
        const ExecStatusType status = PQresultStatus(answer);
        if (status == PGRES_FATAL_ERROR || status == PGRES_BAD_RESPONSE) {
            failed = std::move(held);
            continue;
        }
        // One row each in single-row mode; the last answer has none.
        const int columns = PQnfields(answer);
        cells.resize(size_t(columns));
        for (int row = 0; wanted && row < PQntuples(answer); ++row) {
            for (int c = 0; c < columns; ++c)
                cells[size_t(c)] =
                    PQgetisnull(answer, row, c)
                        ? QByteArrayView()
                        : QByteArrayView(PQgetvalue(answer, row, c), PQgetlength(answer, row, c));
            wanted = visit(cells.data(), columns);
        }
    }
    if (failed || PQstatus(conn) == CONNECTION_BAD)
        return sessionError(conn, failed.get());
    return std::nullopt;
}

} // namespace trelok
