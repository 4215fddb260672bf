#include "entry/order_export.h"

#include "data/copied_rows.h"
#include "data/csv.h"
#include "data/csv_blocks.h"
#include "data/order_columns.h"
#include "data/orders.h"
#include "data/own_files.h"
#include "data/statements.h"
#include "data/store.h"
#include "platform/file_writes.h"

#include <QFileInfo>
#include <QStorageInfo>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <memory>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

constexpr int columnCount = int(std::size(orderColumnTable));

// Each row must be newer than the one before it by the program's own
// rule (newerOrder); where the database's keys disagree (a number of an
// unusual form) the rows are sorted in memory instead. A number of the
// usual form, digits, "/" and a year without blanks, all ASCII, is
// compared on its bytes; any other through newerOrder itself.
class OrderCheck {
public:
    // number is well-formed UTF-8.
    bool follows(QByteArrayView number)
    {
        const Key key = keyOf(number);
        bool newer = m_first;
        if (!m_first) {
            if (key.plain && m_key.plain)
                newer = plainNewer(number, key);
            else
                newer = newerOrder(QString::fromUtf8(number), QString::fromUtf8(m_number));
        }
        remember(number, key);
        return newer;
    }

private:
    struct Key {
        bool plain = false;
        qsizetype slash = 0; // where the year begins, after the "/"
        quint64 sequence = 0;
    };

    // A sequence of up to 15 digits is exact as the double newerOrder reads.
    static Key keyOf(QByteArrayView n)
    {
        Key key;
        qsizetype i = 0;
        while (i < n.size() && i < 16 && n[i] >= '0' && n[i] <= '9')
            key.sequence = key.sequence * 10 + quint64(n[i++] - '0');
        if (i == 0 || i > 15 || i + 1 >= n.size() || n[i] != '/')
            return {};
        for (qsizetype k = i + 1; k < n.size(); ++k)
            if (n[k] <= ' ' || n[k] > '~' || n[k] == '/')
                return {};
        key.plain = true;
        key.slash = i + 1;
        return key;
    }

    // Years compared as texts, then the sequences, then the whole numbers.
    bool plainNewer(QByteArrayView number, const Key &key) const
    {
        const QByteArrayView previous(m_number);
        const int byYear = number.sliced(key.slash).compare(previous.sliced(m_key.slash));
        if (byYear != 0)
            return byYear > 0;
        if (key.sequence != m_key.sequence)
            return key.sequence > m_key.sequence;
        return number.compare(previous) > 0;
    }

    void remember(QByteArrayView number, const Key &key)
    {
        m_first = false;
        m_key = key;
        m_number.resize(number.size()); // keeps its room from row to row
        if (!number.isEmpty())
            std::memcpy(m_number.data(), number.data(), size_t(number.size()));
    }

    QByteArray m_number;
    Key m_key;
    bool m_first = true;
};

struct Pass {
    QString error;
    bool outOfOrder = false;
};

// The rows into CSV blocks, each checked against the one before it.
class RowWriter {
public:
    explicit RowWriter(SafeFile &file) : m_out(file) {}

    // Writes one row; asRead(c) gives a value whose bytes are not UTF-8 as
    // the toolkit reads it. False, the row unfinished, when it is not newer
    // than the one before it.
    template <class AsRead> bool write(const QByteArrayView *values, const AsRead &asRead)
    {
        for (int c = 0; c < columnCount; ++c) {
            if (c > 0)
                m_out.separator();
            QByteArrayView value = values[c];
            QByteArray read;
            if (!m_out.field(value)) {
                read = asRead(c);
                value = read;
                m_out.field(value);
            }
            if (c == 0 && !m_check.follows(value))
                return false;
        }
        m_out.endRow();
        return true;
    }

    void finish() { m_out.flush(); }

private:
    CsvBlocks m_out;
    OrderCheck m_check;
};

// From the file (or the driver): the stored UTF-8 bytes go to the file as
// they are.
Pass streamFromStore(Store &store, SafeFile &file)
{
    RowWriter writer(file);
    bool outOfOrder = false;
    auto read = store.eachUtf8(sql::exported::file, {}, [&](const Store::Utf8Row &row) {
        outOfOrder = !writer.write(row.cells(), [&row](int c) { return row.asRead(c); });
        return !outOfOrder;
    });
    if (!read)
        return {read.error()};
    writer.finish();
    return {{}, outOfOrder};
}

// From the server: the rows as COPY hands them over (data/copied_rows.h),
// UTF-8 the server has checked.
Pass streamFromServer(Store &store, SafeFile &file)
{
    RowWriter writer(file);
    bool outOfOrder = false;
    auto read = CopiedRows::each(store, sql::exported::server, columnCount,
                                 [&](const QByteArrayView *values) {
        outOfOrder = !writer.write(values, [values](int c) {
            return QString::fromUtf8(values[c]).toUtf8();
        });
        return !outOfOrder;
    });
    if (!read)
        return {read.error()};
    writer.finish();
    return {{}, outOfOrder};
}

// Every row in memory, sorted by the program's own rule.
Pass sortInMemory(Store &store, SafeFile &file)
{
    auto rows = store.texts(sql::trel::everyColumn);
    if (!rows)
        return {rows.error()};
    QList<QStringList> &orders = rows.value();
    std::stable_sort(orders.begin(), orders.end(), [](const QStringList &a, const QStringList &b) {
        return newerOrder(b.first(), a.first());
    });
    for (const QStringList &order : orders)
        file.write(csvRecord(order).toUtf8());
    return {};
}

Pass writeOrders(Store &store, SafeFile &file, bool inMemory)
{
    file.write(csvRecord(orderColumns()).toUtf8());
    if (inMemory) {
        // The file's pages go through SQLite's small cache rather than
        // being mapped into the program's memory.
        const Store::Unmapped unmapped(store);
        return sortInMemory(store, file);
    }
    if (store.engine() == Engine::Server)
        return streamFromServer(store, file);
    return streamFromStore(store, file);
}

} // namespace

int exportOrders(Store &store, const QString &fileName, QTextStream &err)
{
    const auto fail = [&err](const QString &message) {
        err << "trelok: " << message << "\n";
        err.flush();
        return 1;
    };
    if (fileName.isEmpty())
        return fail(u"Ne e daden fajl za izvoz"_s);
    if (QFileInfo(fileName).isDir())
        return fail(u"%1 e direktorium"_s.arg(fileName));
    // A device or a pipe would be replaced by the file, not written to.
    if (QFileInfo(fileName).exists() && !QFileInfo(fileName).isFile())
        return fail(u"%1 ne e obicen fajl (ured ili cevka); izvozot ne e zapisan"_s.arg(fileName));
    if (const QString own = ownFileRefusal(fileName, store); !own.isEmpty())
        return fail(own);
    auto file = std::make_unique<SafeFile>(fileName);
    if (!file->open())
        return fail(u"%1: %2"_s.arg(fileName, file->errorString()));
    Pass pass = writeOrders(store, *file, false);
    if (pass.outOfOrder) {
        file = std::make_unique<SafeFile>(fileName);
        if (!file->open())
            return fail(u"%1: %2"_s.arg(fileName, file->errorString()));
        pass = writeOrders(store, *file, true);
    }
    if (!pass.error.isEmpty())
        return fail(pass.error);
    if (file->commit())
        return 0;
    // The whole export's size is counted also past the failed write.
    const qint64 needed = file->size();
    const QStorageInfo disk(QFileInfo(fileName).absolutePath());
    if (file->systemError() == ENOSPC || (disk.isValid() && disk.bytesAvailable() < needed))
        return fail(
            u"%1: diskot e poln, izvozot ne e zapisan (potrebni se %2 bajti)"_s.arg(fileName).arg(
                needed));
    return fail(u"%1: %2"_s.arg(fileName, file->errorString()));
}

} // namespace trelok
