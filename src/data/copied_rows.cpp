#include "data/copied_rows.h"

#include "data/server_session.h"
#include "data/store.h"

#include <QByteArray>
#include <QSqlError>
#include <QString>

#include <libpq-fe.h>

#include <cstring>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// The binary form's signature, then its flags and the length of the header
// extension (32 bits each); every number is in network order.
constexpr char signature[] = "PGCOPY\n\377\r\n";
constexpr qsizetype signatureSize = 11;

// Reads the numbers of the binary form from one CopyData message.
class Message {
public:
    Message(const char *data, int size) : m_at(data), m_end(data + size) {}
    bool atEnd() const { return m_at == m_end; }
    bool take(qsizetype n, const char *&start)
    {
        if (n < 0 || m_end - m_at < n)
            return false;
        start = m_at;
        m_at += n;
        return true;
    }
    bool number(int bytes, qint32 &value)
    {
        const char *p = nullptr;
        if (!take(bytes, p))
            return false;
        quint32 v = 0;
        for (int i = 0; i < bytes; ++i)
            v = (v << 8) | static_cast<unsigned char>(p[i]);
        // Sixteen bits are signed too: the trailer is -1.
        value = bytes == 2 ? qint32(qint16(quint16(v))) : qint32(v);
        return true;
    }

private:
    const char *m_at;
    const char *m_end;
};

bool skipHeader(Message &message)
{
    const char *p = nullptr;
    qint32 flags = 0, extension = 0;
    return message.take(signatureSize, p) && std::memcmp(p, signature, signatureSize) == 0 &&
           message.number(4, flags) && message.number(4, extension) &&
           message.take(extension, p);
}

struct CopyFree {
    void operator()(char *data) const { PQfreemem(data); }
};
} // namespace

DbStatus CopiedRows::each(Store &store, const char *select, int columns, const Visit &visit)
{
    auto session = store.serverSession();
    if (!session)
        return DbStatus::failure(session);
    PGconn *conn = session.value();

    const QByteArray statement = "COPY (" + QByteArray(select) + ") TO STDOUT (FORMAT binary)";
    {
        const SessionAnswer started(PQexec(conn, statement.constData()));
        if (PQresultStatus(started.get()) != PGRES_COPY_OUT)
            return store.failure<Done>(sessionError(conn, started.get()));
    }

    std::vector<QByteArrayView> values(std::size_t(columns > 0 ? columns : 0));
    bool header = true, wanted = true, trailer = false;
    QString malformed;
    for (;;) {
        char *data = nullptr;
        const int size = PQgetCopyData(conn, &data, 0);
        if (size < 0)
            break;
        const std::unique_ptr<char, CopyFree> owner(data);
        // After the visitor has had enough, the rest is read and let go:
        // the session is ready for the next statement only at the end.
        if (!wanted || !malformed.isEmpty())
            continue;
        Message message(data, size);
        if (header && !skipHeader(message)) {
            malformed = u"nepoznat pocetok"_s;
            continue;
        }
        header = false;
        while (wanted && malformed.isEmpty() && !message.atEnd()) {
            qint32 count = 0;
            if (!message.number(2, count)) {
                malformed = u"nepotpoln red"_s;
                break;
            }
            if (count == -1) {
                trailer = true;
                break;
            }
            if (count != columns) {
                malformed = u"%1 koloni namesto %2"_s.arg(count).arg(columns);
                break;
            }
            for (qsizetype c = 0; c < count && malformed.isEmpty(); ++c) {
                qint32 length = 0;
                const char *p = nullptr;
                if (!message.number(4, length) || (length >= 0 && !message.take(length, p))) {
                    malformed = u"nepotpoln red"_s;
                    break;
                }
                values[std::size_t(c)] = length < 0 ? QByteArrayView() : QByteArrayView(p, length);
            }
            if (malformed.isEmpty())
                wanted = visit(values.data());
        }
    }

    // The outcome of the whole COPY: its last answers are read in any case.
    SessionAnswer last;
    while (PGresult *answer = PQgetResult(conn))
        last.reset(answer);
    const bool done = last && PQresultStatus(last.get()) == PGRES_COMMAND_OK;
    if (!done && (wanted || !last))
        return store.failure<Done>(sessionError(conn, last.get()));
    if (!malformed.isEmpty() || (wanted && !trailer))
        return DbStatus::failure(
            u"Serverot vrati redovi vo neocekuvan oblik: %1"_s.arg(
                malformed.isEmpty() ? u"nema kraj"_s : malformed));
    return succeeded();
}

} // namespace trelok
