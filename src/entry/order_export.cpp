#include "entry/order_export.h"

#include "data/copied_rows.h"
#include "data/csv.h"
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

// Whether bytes are UTF-8 as the toolkit writes it: no overlong forms, no
// surrogates, nothing past U+10FFFF. Such text passes through unchanged.
bool wellFormed(const unsigned char *p, qsizetype n)
{
    for (qsizetype i = 0; i < n;) {
        const unsigned c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int more = 0;
        unsigned low = 0x80, high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + more >= n)
            return false;
        if (p[i + 1] < low || p[i + 1] > high)
            return false;
        for (int k = 2; k <= more; ++k)
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        i += more + 1;
    }
    return true;
}

// The first and the last character of well-formed UTF-8 text.
char32_t firstCharacter(QByteArrayView text)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    if (p[0] < 0x80)
        return p[0];
    const int more = p[0] >= 0xF0 ? 3 : p[0] >= 0xE0 ? 2 : 1;
    char32_t c = p[0] & (0x3F >> more);
    for (int k = 1; k <= more; ++k)
        c = (c << 6) | (p[k] & 0x3F);
    return c;
}

char32_t lastCharacter(QByteArrayView text)
{
    qsizetype start = text.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    return firstCharacter(text.sliced(start));
}

// What a byte says about the field that holds it.
enum ByteClass : unsigned char {
    Plain = 0,
    Separator = 1, // a comma or a line break: the field is quoted
    Quote = 2,     // quoted, and the quote doubled
    Blank = 4,     // quoted when at either end
    High = 8,      // past ASCII: checked and read as UTF-8
};

constexpr std::array<unsigned char, 256> byteClasses = [] {
    std::array<unsigned char, 256> classes{};
    classes[','] = classes['\n'] = classes['\r'] = Separator;
    classes['"'] = Quote;
    // The blanks of QChar::isSpace within ASCII (line breaks are separators).
    classes['\t'] = classes['\v'] = classes['\f'] = classes[' '] = Blank;
    for (int c = 0x80; c < 0x100; ++c)
        classes[c] = High;
    return classes;
}();

// The CSV text of the rows, gathered in blocks that go to the file whole,
// each field as csvRecord (data/csv.h) writes it: quoted whenever a reader
// could take it otherwise (separators, quotes, line breaks, blanks at
// either end), quotes doubled. Each field is looked at once: plain ASCII,
// the usual case, is copied as it is; text past ASCII is checked first.
class CsvBlocks {
public:
    explicit CsvBlocks(SafeFile &file) : m_file(file) { m_bytes.resize(blockSize + 4096); }

    // Appends a field of stored bytes; false, with nothing appended, when
    // they are not well-formed UTF-8.
    bool field(QByteArrayView value)
    {
        const auto *text = reinterpret_cast<const unsigned char *>(value.data());
        const qsizetype n = value.size();
        unsigned classes = 0;
        for (qsizetype i = 0; i < n; ++i)
            classes |= byteClasses[text[i]];
        bool quote = classes & (Separator | Quote);
        if (classes & High) {
            if (!wellFormed(text, n))
                return false;
            quote = quote || QChar::isSpace(firstCharacter(value)) ||
                    QChar::isSpace(lastCharacter(value));
        } else if (n > 0) {
            quote = quote || byteClasses[text[0]] == Blank || byteClasses[text[n - 1]] == Blank;
        }
        put(text, n, quote, classes & Quote);
        return true;
    }

    void separator() { *room(1) = ','; ++m_used; }

    // Ends the row; a full block goes to the file.
    void endRow()
    {
        char *to = room(2);
        to[0] = '\r';
        to[1] = '\n';
        m_used += 2;
        if (m_used >= blockSize)
            flush();
    }

    void flush()
    {
        m_file.write(QByteArrayView(m_bytes.constData(), m_used));
        m_used = 0;
    }

private:
    static constexpr qsizetype blockSize = 256 * 1024;

    void put(const unsigned char *text, qsizetype n, bool quote, bool doubled)
    {
        char *to = room(quote ? 2 * n + 2 : n);
        if (!quote) {
            std::memcpy(to, text, size_t(n));
            m_used += n;
            return;
        }
        char *const start = to;
        *to++ = '"';
        if (!doubled) {
            std::memcpy(to, text, size_t(n));
            to += n;
        } else {
            for (qsizetype i = 0; i < n; ++i) {
                if (text[i] == '"')
                    *to++ = '"';
                *to++ = char(text[i]);
            }
        }
        *to++ = '"';
        m_used += to - start;
    }

    // Where the next bytes go, with room for n of them.
    char *room(qsizetype n)
    {
        if (m_used + n > m_bytes.size()) {
            flush();
            if (n > m_bytes.size())
                m_bytes.resize(n);
        }
        return m_bytes.data() + m_used;
    }

    SafeFile &m_file;
    QByteArray m_bytes;
    qsizetype m_used = 0;
};

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
