#include "entry/order_transfer.h"

#include "context/messages.h"
#include "data/counter.h"
#include "data/csv.h"
#include "data/order_columns.h"
#include "data/orders.h"
#include "data/statements.h"
#include "data/store.h"
#include "entry/entry_dialog.h"
#include "entry/entry_filling.h"
#include "entry/kinds.h"
#include "entry/saving.h"
#include "entry/validation.h"
#include "platform/clock.h"
#include "platform/prompter.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTextStream>

#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

// Answers every question of the checks and the saving the way an import
// must, and shows nothing.
class ImportDialog : public EntryDialog {
public:
    explicit ImportDialog(const OrderImportOptions &options) : m_options(options) {}

    Answer ask(EntryQuestion question, const QString &, Buttons) override
    {
        switch (question) {
        case EntryQuestion::UnknownTaxpayer:
        case EntryQuestion::UnknownMunicipality:
            return m_options.acceptUnknown ? Answer::Yes : Answer::No;
        case EntryQuestion::ConfirmSave:
            return Answer::Yes;
        case EntryQuestion::EqualDates:  // a differing value date is refused
        case EntryQuestion::CurrentYear: // the typed year is kept
        case EntryQuestion::PrintSaved:
            return Answer::No;
        }
        return Answer::No;
    }
    void inform(const QString &) override {}
    void focus(const QString &, EntryFields &) override {}
    void pickCustomsOffice(EntryFields &) override {}

private:
    const OrderImportOptions &m_options;
};

// Fixed-data reminders and the like are not for a file.
class SilentPrompter : public Prompter {
public:
    Answer ask(const QString &, Buttons) override { return Answer::No; }
};

// The entry box a column of tbl_Trel fills, read from the table of the
// order's columns; TRELOK_BR, the recipient and VID have none.
const QHash<QString, EntryFields::Member> &columnBoxes()
{
    static const QHash<QString, EntryFields::Member> boxes = [] {
        QHash<QString, EntryFields::Member> byColumn;
        for (const ColumnDescriptor &column : orderColumnTable)
            if (column.box)
                byColumn.insert(QString::fromLatin1(column.name),
                                EntryFields::member(QLatin1StringView(column.box)));
        return byColumn;
    }();
    return boxes;
}

// Why a value from the file cannot go into its box, or nothing.
QString boxRefusal(const QString &column, const QString &value)
{
    for (const ColumnDescriptor &descriptor : orderColumnTable)
        if (descriptor.box && column == QLatin1StringView(descriptor.name))
            return columnRefusal(descriptor, value);
    return {};
}

// The header's column names in upper case, or why it cannot be used.
QString readHeader(const QStringList &header, QStringList &columns)
{
    for (const QString &name : header) {
        const QString column = name.trimmed().toUpper();
        if (!orderColumns().contains(column))
            return u"Nepoznata kolona vo prviot red: \"%1\""_s.arg(name);
        if (columns.contains(column))
            return u"Kolonata \"%1\" e navedena dva pati"_s.arg(name);
        columns.append(column);
    }
    return {};
}

struct RowOutcome {
    QString number;  // the number stored under
    QString refusal; // why the row was not stored
    bool busy = false;
    QString notice = {}; // said of a stored row (a counter repaired)
};

class OrderImport {
public:
    OrderImport(Store &store, Clock &clock, const OrderImportOptions &options)
        : m_dialog(options), m_store(store), m_clock(clock)
    {}

    // A batch begins under the write lock: each kind is looked up and
    // pre-filled once a batch. On the file nothing else can change the kinds
    // or the company's row before its commit; on the server a change made
    // meanwhile counts from the next batch, as if it had come a moment later.
    void beginBatch() { m_kinds.clear(); }

    RowOutcome store(const QStringList &columns, const QStringList &values);

private:
    // A kind's description and its new order's pre-fill, read once a batch.
    struct Kind {
        std::optional<QString> description;
        std::optional<EntryFilling> filling;
        QDate filledOn;
    };

    SilentPrompter m_prompter;
    ImportDialog m_dialog;
    Store &m_store;
    const Clock &m_clock;
    QHash<QString, Kind> m_kinds;
};

RowOutcome OrderImport::store(const QStringList &columns, const QStringList &values)
{
    if (values.size() != columns.size())
        return {{}, u"ocekuvani se %1 polinja, ima %2"_s.arg(columns.size()).arg(values.size())};
    for (qsizetype i = 0; i < columns.size(); ++i)
        if (const QString why = boxRefusal(columns[i], values[i]); !why.isEmpty())
            return {{}, why};
    const qsizetype vidAt = columns.indexOf(u"VID"_s);
    const QString kind = vidAt >= 0 ? values[vidAt].trimmed() : QString();
    auto known = m_kinds.find(kind);
    if (known == m_kinds.end()) {
        auto description = kindDescription(m_store, kind);
        if (!description)
            return {{}, description.error(), description.busy()};
        known = m_kinds.insert(kind, {description.value(), {}, {}});
    }
    if (!known->description)
        return {{}, u"Nepostoecki Vid na Uplata !"_s};

    // A new order's pre-fill, then every column the file gives, as it is.
    EntrySession session{EntryMode::New, kind, {}, *known->description};
    const QDate today = m_clock.today();
    if (!known->filling || known->filledOn != today) {
        auto filling = fillEntry({m_store, m_clock, m_prompter}, session);
        if (!filling)
            return {{}, filling.error(), filling.busy()};
        known->filling = std::move(filling.value());
        known->filledOn = today;
    }
    EntryFilling filling = *known->filling;
    EntryFields &f = filling.fields;
    for (qsizetype i = 0; i < columns.size(); ++i)
        if (const auto box = columnBoxes().constFind(columns[i]); box != columnBoxes().cend())
            f.*box.value() = values[i];
    if (columns.contains(u"POVIK"_s))
        splitReference(kind, f);

    const QString year = m_clock.today().toString(u"yyyyMMdd"_s).left(4);
    auto checked = validateEntry(m_store, m_dialog, kind, year, f);
    if (!checked)
        return {{}, checked.error(), checked.busy()};
    if (!checked.value().passed)
        return {{}, checked.value().stopMessage};
    composeReference(kind, f);
    auto saved =
        saveEntry(m_store, m_dialog, session, QString::fromLatin1(orderDocumentType), year, f);
    if (!saved)
        return {{}, saved.error(), saved.busy()};
    return {saved.value().number, {}, false, saved.value().notice};
}

// A text on one line of the output: its line breaks become blanks.
QString oneLine(const QString &text)
{
    static const QRegularExpression breaks(u"\\s*[\\r\\n]+\\s*"_s);
    return QString(text).replace(breaks, u" "_s).trimmed();
}

} // namespace

namespace {

// Rows stored under one commit at most, and how long a batch holds the write
// lock: another clerk's save waits no longer than that (well within the
// store's busy time). The first batch is one row, each committed batch lets
// the next one take twice as many, and a batch that fails starts again from
// one row: the first line comes at once, and a connection that keeps failing
// stores row by row as a single save does.
constexpr qsizetype rowsPerCommit = 256;
constexpr qint64 commitWithinMs = 50;

// A row's line of the output, written only after the commit that decided it.
void report(QTextStream &out, QTextStream &err, qsizetype line, const RowOutcome &outcome)
{
    if (outcome.refusal.isEmpty()) {
        out << line << ": " << outcome.number << "\n";
        if (!outcome.notice.isEmpty())
            err << "trelok: " << line << ": " << outcome.notice << "\n";
        return;
    }
    // A held file says so in the program's words; a server's text (a lost
    // connection, a refused row) is folded onto the line.
    const bool held =
        outcome.busy && !outcome.refusal.startsWith(QLatin1StringView(connectionLost));
    out << line << ": refused: "
        << (held ? QString::fromLatin1(msg::databaseBusy) : oneLine(outcome.refusal)) << "\n";
}

// Stores the rows read so far, several under one commit: each row in a
// savepoint of its own (a refused row leaves the others), the write lock
// held for a short time, the counter read and advanced under it as for a
// single order. A row that finds the database held or the connection gone
// ends its batch; it begins the next one, tried again as a single save is.
// Returns false when a row was not stored.
bool storeRows(Store &store, OrderImport &import, const QStringList &columns,
               QList<CsvRecord> &rows, qsizetype &batch, QTextStream &out, QTextStream &err)
{
    bool all = true;
    int attempt = 1;
    while (!rows.isEmpty()) {
        QList<RowOutcome> outcomes;
        RowOutcome held;
        QElapsedTimer lock;
        DbStatus committed = store.writeTransaction([&]() -> DbStatus {
            outcomes.clear();
            import.beginBatch();
            lock.start();
            for (const CsvRecord &row : std::as_const(rows)) {
                if (outcomes.size() >= batch ||
                    (!outcomes.isEmpty() && lock.elapsed() >= commitWithinMs))
                    break;
                RowOutcome outcome = import.store(columns, row.fields);
                if (outcome.busy) {
                    held = outcome;
                    break;
                }
                outcomes.append(std::move(outcome));
            }
            return outcomes.isEmpty() ? DbStatus::failure(held.refusal, true) : succeeded();
        });
        batch = committed ? std::min(2 * batch, rowsPerCommit) : 1;
        if (!committed && committed.busy() && attempt < importBusyAttempts) {
            ++attempt; // nothing of the batch is stored: all of it again
            continue;
        }
        if (!committed && outcomes.isEmpty()) {
            // Not even the first row could be tried: it is refused for it,
            // as a single save is, and the next ones are tried anew.
            outcomes = {held.refusal.isEmpty()
                            ? RowOutcome{{}, committed.error(), committed.busy()}
                            : held};
        } else if (!committed) {
            // Nothing of the batch is stored: every row it took says why.
            for (RowOutcome &outcome : outcomes)
                if (outcome.refusal.isEmpty())
                    outcome = {{}, committed.error(), committed.busy()};
        }
        for (qsizetype i = 0; i < outcomes.size(); ++i) {
            report(out, err, rows[i].line, outcomes[i]);
            all = all && outcomes[i].refusal.isEmpty();
        }
        // A line is written only once its order is stored for good.
        out.flush();
        err.flush();
        rows.remove(0, outcomes.size());
        attempt = 1;
    }
    return all;
}

} // namespace

int importOrders(Store &store, Clock &clock, const QString &fileName,
                 const OrderImportOptions &options, QTextStream &out, QTextStream &err)
{
    const auto refuse = [&err](const QString &error) {
        err << "trelok: " << error << "\ntrelok: nisto ne e snimeno\n";
        err.flush();
        return 1;
    };
    // Once, not for every row: each would be refused.
    if (store.readOnly())
        return refuse(QString::fromLatin1(readOnlyDatabase));
    // The whole file is read once before anything is stored.
    CsvFile file;
    if (const QString error =
            file.open(fileName, longestCsvRecord(orderColumnTable), options.makscii);
        !error.isEmpty())
        return refuse(error);
    QStringList columns;
    QString headerError;
    bool first = true;
    OrderImport import(store, clock, options);
    bool all = true;
    qsizetype rows = 0;
    QList<CsvRecord> waiting;
    qsizetype batch = 1;
    const Store::Unmapped unmapped(store);
    const QString error = file.records([&](CsvRecord &record) {
        if (std::exchange(first, false)) {
            headerError = readHeader(record.fields, columns);
            return headerError.isEmpty();
        }
        ++rows;
        waiting.append(std::move(record));
        if (waiting.size() >= rowsPerCommit)
            all = storeRows(store, import, columns, waiting, batch, out, err) && all;
        return true;
    });
    all = storeRows(store, import, columns, waiting, batch, out, err) && all;
    store.refreshFigures(sql::server::analyzeOrders, rows);
    // A file changed between the check and the reading: its lines so far
    // stand as reported.
    if (!error.isEmpty() && !rows)
        return refuse(error);
    if (!error.isEmpty()) {
        err << "trelok: " << error << "\n";
        err.flush();
        return 1;
    }
    if (first)
        return refuse(u"%1: fajlot e prazen"_s.arg(fileName));
    if (!headerError.isEmpty())
        return refuse(headerError);
    return all ? 0 : 1;
}

} // namespace trelok
