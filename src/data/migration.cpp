#include "data/migration.h"

#include "data/columns.h"
#include "data/counter.h"
#include "data/csv.h"
#include "data/migration_source.h"
#include "data/order_columns.h"
#include "data/schema.h"
#include "data/settings.h"
#include "data/store.h"
#include "platform/file_writes.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>

#include <functional>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

using migration::SourceTable;

// Rows written by one prepared statement before the next batch is read.
constexpr qsizetype rowsPerBatch = 500;
constexpr auto configKey = "0000000000";

// What becomes of one row of the source.
// Store: inserted as it is; Written: stored by the table's own rule;
// Merged: taken into a value written at the end (the counters).
enum class Verdict { Store, Written, Merged, SetAside, Refused, Failed };
struct Judged {
    Verdict verdict;
    QString why; // for a refused row, or the database's error
};

// The tables read, in this order; key: the column that identifies a row
// (trimmed when stored), empty when rows have none; clear: the delivered
// rows are replaced.
struct TableRule {
    QString table;
    QString key;
    bool clear;
};

struct Tally {
    QString table;
    qint64 read = 0, stored = 0, setAside = 0, refused = 0;
    QStringList unused; // source columns this program has no place for
    QString asideFile;
};

// The source's columns placed on this program's columns.
struct Placing {
    QStringList header;  // as the source names them
    QStringList columns; // ours, lower case
    QList<int> from;     // source position of each of ours, -1 when absent
    int key = -1;        // position of the key among ours
    // An order's column: what --import lets it hold (its descriptor);
    // nullptr for any other, which takes what the widest box takes.
    QList<const ColumnDescriptor *> rules;
    QStringList names; // ours in capitals, as the messages name them

    // Why the row cannot be stored as the program's windows and imports
    // would store it; empty when it can.
    QString refusal(const QStringList &fields, const QStringList &ours) const
    {
        if (isHeaderRecord(fields, header))
            return u"red so iminjata na kolonite"_s;
        for (qsizetype i = 0; i < rules.size(); ++i)
            if (const QString why = rules[i] ? columnRefusal(*rules[i], ours[i])
                                             : valueRefusal(names[i], ours[i],
                                                            unlimitedBox, false, false);
                !why.isEmpty())
                return why;
        return {};
    }

    QStringList values(const QStringList &fields) const
    {
        QStringList out;
        out.reserve(columns.size());
        for (int position : from)
            out.append(position >= 0 ? fields.value(position) : QString());
        if (key >= 0)
            out[key] = out[key].trimmed();
        return out;
    }
    int indexOf(const char *column) const { return int(columns.indexOf(QLatin1String(column))); }
};

// What a column of a table may hold: an order's column what --import lets
// it hold; any other, what the widest box takes (no NUL, on one line or
// more). The register keeps the widths the old program stored (names of 50
// characters where its window now takes 35), and an order its number as
// the counter gave it (past 99999/YYYY it is longer than the box shows).
const ColumnDescriptor *columnRule(const QString &table, const QString &column)
{
    if (table == u"tbl_Trel"_s && column != u"trelok_br"_s)
        for (const ColumnDescriptor &c : orderColumnTable)
            if (column.compare(QLatin1StringView(c.name), Qt::CaseInsensitive) == 0)
                return &c;
    return nullptr;
}

QString insertStatement(const QString &table, const QStringList &columns)
{
    const QStringList marks(columns.size(), u"?"_s);
    return u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(table, columns.join(u','), marks.join(u','));
}

class Migration {
public:
    Migration(Store &store, QString source) : m_store(store), m_source(std::move(source)) {}

    DbStatus run();
    void report(QTextStream &out, QTextStream &err) const;
    bool complete() const;
    // Gives the set-aside files their names, once the data is committed
    // (before, a kill would leave a file naming rows as set aside while
    // nothing was stored). The failures, empty when all were written.
    QStringList nameAsideFiles();
    std::optional<std::pair<QString, QString>> offsets; // right, down as taken

private:
    DbStatus checkNewInstallation();
    using Judge = std::function<Judged(const Placing &, QStringList &)>;
    DbStatus readTable(const TableRule &rule, const Judge &judge);
    // The source's header placed on the table's columns.
    DbResult<Placing> place(const TableRule &rule, const QStringList &header, Tally &tally);
    // One row of the source: stored (in batches), set aside or refused.
    DbStatus take(const TableRule &rule, const Placing &placing, Tally &tally,
                  const CsvRecord &record, const Judge &judge, QList<QVariantList> &batch);
    DbStatus flush(const QString &statement, QList<QVariantList> &batch);
    DbResult<bool> keyTaken(const TableRule &rule, const Placing &placing, const QString &key,
                            QList<QVariantList> &batch);
    DbStatus setAside(Tally &tally, const Placing &placing, const CsvRecord &record);
    Judged order(const Placing &placing, QStringList &values);
    Judged counter(const Placing &placing, QStringList &values);
    Judged configuration(const Placing &placing, QStringList &values);
    DbStatus writeCounters();

    Store &m_store;
    QString m_source;
    QList<Tally> m_tallies;
    QStringList m_problems;
    QMap<QString, std::shared_ptr<SafeFile>> m_asideFiles;
    // The keys stored of the table being read, as hashes only: memory stays
    // flat with the table; a hash seen before is asked of the rows stored.
    QSet<size_t> m_keys;
    QMap<QString, qint64> m_fromOrders, m_fromCounters, m_counters;
    bool m_configTaken = false;
};

// "<sequence>/<year>", with blanks allowed around both parts.
const QRegularExpression &numberForm()
{
    static const QRegularExpression form(u"^\\s*(\\d+)\\s*/\\s*(\\d{4})\\s*$"_s);
    return form;
}

void raise(QMap<QString, qint64> &highest, const QString &year, qint64 sequence)
{
    highest[year] = std::max(highest.value(year, 0), sequence);
}

DbStatus Migration::checkNewInstallation()
{
    auto counts = m_store.texts("SELECT (SELECT count(*) FROM tbl_Trel), "
                                "(SELECT count(*) FROM tbl_Broj), (SELECT count(*) FROM tbl_obvr)");
    if (!counts)
        return DbStatus::failure(counts);
    const QStringList n = counts.value().value(0);
    if (n.value(0) != u"0"_s || n.value(1) != u"0"_s || n.value(2) != u"0"_s)
        return DbStatus::failure(
            u"Prenosot se pravi samo vo nova instalacija, a vo bazata vekje ima %1 nalozi, %2 "
            "brojaci i %3 danocni obvrznici"_s.arg(n.value(0), n.value(1), n.value(2)));
    return succeeded();
}

DbStatus Migration::flush(const QString &statement, QList<QVariantList> &batch)
{
    if (batch.isEmpty())
        return succeeded();
    const QByteArray text = statement.toLatin1();
    DbStatus written = m_store.execEach(text.constData(), batch);
    batch.clear();
    return written;
}

DbStatus Migration::setAside(Tally &tally, const Placing &placing, const CsvRecord &record)
{
    auto &file = m_asideFiles[tally.table];
    if (!file) {
        tally.asideFile = QFileInfo(m_store.path()).dir().filePath(u"odvoeni-%1.csv"_s.arg(tally.table));
        file = std::make_shared<SafeFile>(tally.asideFile);
        if (!file->open())
            return DbStatus::failure(u"%1: %2"_s.arg(tally.asideFile, file->errorString()));
        file->write(csvRecord(placing.header).toUtf8());
    }
    const QByteArray line = csvRecord(record.fields).toUtf8();
    if (!file->write(line))
        return DbStatus::failure(u"%1: %2"_s.arg(tally.asideFile, file->errorString()));
    return succeeded();
}

DbResult<Placing> Migration::place(const TableRule &rule, const QStringList &header, Tally &tally)
{
    Placing placing;
    placing.header = header;
    placing.columns = schemaColumns().value(rule.table);
    QStringList sourceNames;
    for (const QString &name : header) {
        const QString column = name.trimmed().toLower();
        // A second column of one name would be dropped without a word.
        if (sourceNames.contains(column))
            return DbResult<Placing>::failure(
                u"Vo tabelata %1 kolonata %2 se javuva dvapati"_s.arg(rule.table, name.trimmed()));
        sourceNames.append(column);
        if (!placing.columns.contains(column))
            tally.unused.append(name.trimmed());
    }
    for (const QString &column : std::as_const(placing.columns)) {
        placing.rules.append(columnRule(rule.table, column));
        placing.names.append(column.toUpper());
    }
    for (const QString &column : std::as_const(placing.columns))
        placing.from.append(int(sourceNames.indexOf(column)));
    if (!rule.key.isEmpty()) {
        placing.key = int(placing.columns.indexOf(rule.key));
        if (placing.from.value(placing.key) < 0)
            return DbResult<Placing>::failure(
                u"Vo tabelata %1 ja nema kolonata %2"_s.arg(rule.table, rule.key.toUpper()));
    }
    if (rule.clear)
        if (auto cleared = m_store.exec(u"DELETE FROM %1"_s.arg(rule.table)); !cleared)
            return DbResult<Placing>::failure(cleared);
    return placing;
}

DbResult<bool> Migration::keyTaken(const TableRule &rule, const Placing &placing,
                                   const QString &key, QList<QVariantList> &batch)
{
    if (!m_keys.contains(qHash(key)))
        return false;
    if (auto flushed = flush(insertStatement(rule.table, placing.columns), batch); !flushed)
        return DbResult<bool>::failure(flushed);
    // Table and column come from the fixed rules, never from the source.
    auto found = m_store.first(u"SELECT 1 FROM %1 WHERE %2=?"_s.arg(rule.table, rule.key), {key});
    if (!found)
        return DbResult<bool>::failure(found);
    return found.value().has_value();
}

DbStatus Migration::take(const TableRule &rule, const Placing &placing, Tally &tally,
                         const CsvRecord &record, const Judge &judge, QList<QVariantList> &batch)
{
    ++tally.read;
    Judged judged{Verdict::Store, {}};
    QStringList values;
    if (record.fields.size() != placing.header.size()) {
        judged = {Verdict::Refused,
                  u"%1 polinja namesto %2"_s.arg(record.fields.size()).arg(placing.header.size())};
    } else {
        values = placing.values(record.fields);
        if (const QString why = placing.refusal(record.fields, values); !why.isEmpty())
            judged = {Verdict::Refused, why};
        else if (placing.key >= 0 && values[placing.key].isEmpty())
            judged = {Verdict::Refused, u"nema vrednost vo kolonata %1"_s.arg(rule.key.toUpper())};
        else if (placing.key < 0)
            judged = judge ? judge(placing, values) : Judged{Verdict::Store, {}};
        else if (auto taken = keyTaken(rule, placing, values[placing.key], batch); !taken)
            return DbStatus::failure(taken);
        else if (taken.value())
            judged = {Verdict::SetAside, {}};
        else
            judged = judge ? judge(placing, values) : Judged{Verdict::Store, {}};
    }
    switch (judged.verdict) {
    case Verdict::Store: {
        if (placing.key >= 0)
            m_keys.insert(qHash(values[placing.key]));
        QVariantList row;
        for (const QString &value : std::as_const(values))
            row.append(value);
        batch.append(std::move(row));
        ++tally.stored;
        if (batch.size() >= rowsPerBatch)
            return flush(insertStatement(rule.table, placing.columns), batch);
        return succeeded();
    }
    case Verdict::Written:
        ++tally.stored;
        return succeeded();
    case Verdict::Merged:
        return succeeded();
    case Verdict::Failed:
        return DbStatus::failure(judged.why);
    case Verdict::Refused:
        ++tally.refused;
        m_problems.append(u"%1, red %2: %3"_s.arg(rule.table).arg(record.line).arg(judged.why));
        break;
    case Verdict::SetAside:
        ++tally.setAside;
        break;
    }
    return setAside(tally, placing, record);
}

DbStatus Migration::readTable(const TableRule &rule, const Judge &judge)
{
    auto table = SourceTable::open(m_source, rule.table);
    if (!table)
        return DbStatus::failure(table);
    std::optional<Placing> placing;
    Tally tally;
    tally.table = rule.table;
    QList<QVariantList> batch;
    m_keys.clear();
    DbStatus taken = succeeded();
    // The first record is the header.
    auto read = table.value()->records([&](CsvRecord &record) {
        if (placing) {
            taken = take(rule, *placing, tally, record, judge, batch);
        } else if (auto placed = place(rule, record.fields, tally); placed) {
            placing = std::move(placed.value());
        } else {
            taken = DbStatus::failure(placed);
        }
        return bool(taken);
    });
    if (!taken)
        return taken;
    if (!read)
        return read;
    if (auto whole = table.value()->checkRowsRead(tally.read); !whole)
        return whole;
    if (!placing)
        return DbStatus::failure(u"Tabelata %1 nema red so iminjata na kolonite"_s.arg(rule.table));
    if (auto written = flush(insertStatement(rule.table, placing->columns), batch); !written)
        return written;
    m_tallies.append(tally);
    return succeeded();
}

Judged Migration::order(const Placing &placing, QStringList &values)
{
    const auto match = numberForm().match(values[placing.key]);
    if (match.hasMatch())
        raise(m_fromOrders, match.captured(2), match.captured(1).toLongLong());
    return {Verdict::Store, {}};
}

Judged Migration::counter(const Placing &placing, QStringList &values)
{
    const int year = placing.indexOf("godina"), type = placing.indexOf("tip_dokum"),
              number = placing.indexOf("tekoven_br");
    values[year] = values[year].trimmed();
    values[type] = values[type].trimmed();
    if (values[type] != QLatin1String(orderDocumentType))
        return {Verdict::Store, {}};
    static const QRegularExpression yearForm(u"^\\d{4}$"_s);
    if (!yearForm.match(values[year]).hasMatch())
        return {Verdict::Refused, u"godinata '%1' ne e godina"_s.arg(values[year])};
    static const QRegularExpression counterForm(u"^\\s*(\\d+)\\s*/"_s);
    const auto match = counterForm.match(values[number]);
    if (!match.hasMatch())
        return {Verdict::Refused, u"tekovniot broj '%1' ne e broj"_s.arg(values[number])};
    raise(m_fromCounters, values[year], match.captured(1).toLongLong());
    return {Verdict::Merged, {}};
}

Judged Migration::configuration(const Placing &placing, QStringList &values)
{
    if (m_configTaken || values[placing.key] != QLatin1String(configKey))
        return {Verdict::SetAside, {}};
    m_configTaken = true;
    QStringList sets;
    QVariantList bound;
    for (qsizetype i = 0; i < placing.columns.size(); ++i) {
        if (i == placing.key || placing.from[i] < 0)
            continue;
        sets.append(placing.columns[i] + u"=?"_s);
        bound.append(values[i]);
    }
    const int r = placing.indexOf("up_smet3"), d = placing.indexOf("bu_smet1");
    if (placing.from[r] >= 0 && placing.from[d] >= 0)
        offsets = std::pair(values[r], values[d]);
    if (sets.isEmpty())
        return {Verdict::Written, {}};
    auto updated = m_store.exec(
        u"UPDATE tbl_cnf SET %1 WHERE trelok_br='%2'"_s.arg(sets.join(u','),
                                                           QLatin1String(configKey)),
        bound);
    if (!updated)
        return {Verdict::Failed, updated.error()};
    return {Verdict::Written, {}};
}

DbStatus Migration::writeCounters()
{
    QList<QVariantList> rows;
    QStringList years = m_fromOrders.keys() + m_fromCounters.keys();
    years.removeDuplicates();
    for (const QString &year : std::as_const(years)) {
        const qint64 next = std::max(m_fromOrders.value(year), m_fromCounters.value(year));
        m_counters.insert(year, next);
        rows.append({year, QString::fromLatin1(orderDocumentType),
                     u"%1/%2"_s.arg(next).arg(year)});
    }
    for (Tally &tally : m_tallies)
        if (tally.table == u"tbl_Broj"_s)
            tally.stored += rows.size();
    return m_store.execEach(
        "INSERT INTO tbl_Broj (godina,tip_dokum,tekoven_br) VALUES(?,?,?)", rows);
}

DbStatus Migration::run()
{
    if (auto checked = checkNewInstallation(); !checked)
        return checked;
    using namespace std::placeholders;
    const QList<std::pair<TableRule, std::function<Judged(const Placing &, QStringList &)>>> tables{
        {{u"tbl_Trel"_s, u"trelok_br"_s, false}, std::bind(&Migration::order, this, _1, _2)},
        {{u"tbl_Broj"_s, {}, false}, std::bind(&Migration::counter, this, _1, _2)},
        {{u"tbl_obvr"_s, u"dec_cod"_s, false}, {}},
        {{u"tbl_cnf"_s, u"trelok_br"_s, false},
         std::bind(&Migration::configuration, this, _1, _2)},
        {{u"tbl_koor"_s, {}, true}, {}},
        {{u"tbl_opst"_s, u"sifra"_s, true}, {}},
        {{u"tbl_cuo"_s, u"key_cuo"_s, true}, {}},
        {{u"tbl_vid"_s, u"vid"_s, true}, {}},
    };
    for (const auto &[rule, judge] : tables)
        if (auto read = readTable(rule, judge); !read)
            return read;
    if (!m_configTaken)
        return DbStatus::failure(
            u"Vo tabelata tbl_cnf go nema konfiguraciskiot red (TRELOK_BR '%1')"_s.arg(
                QLatin1String(configKey)));
    return writeCounters();
}

QStringList Migration::nameAsideFiles()
{
    QStringList failed;
    for (auto it = m_asideFiles.cbegin(); it != m_asideFiles.cend(); ++it)
        if (!it.value()->commit())
            failed.append(u"Nezapisanite redovi ne se zapisani vo %1: %2"_s.arg(
                it.value()->fileName(), it.value()->errorString()));
    m_asideFiles.clear();
    return failed;
}

bool Migration::complete() const
{
    for (const Tally &tally : m_tallies)
        if (tally.setAside > 0 || tally.refused > 0)
            return false;
    return true;
}

void Migration::report(QTextStream &out, QTextStream &err) const
{
    for (const QString &problem : m_problems)
        err << "trelok: " << problem << "\n";
    err.flush();
    out << "Preneseno od " << m_source << ":\n";
    for (const Tally &tally : m_tallies) {
        out << tally.table << ": procitani " << tally.read << ", zapisani " << tally.stored;
        if (tally.setAside > 0)
            out << ", odvoeni (povtoren broj) " << tally.setAside;
        if (tally.refused > 0)
            out << ", odbieni " << tally.refused;
        out << "\n";
        if (!tally.unused.isEmpty())
            out << "  ne se prenesuvaat kolonite: " << tally.unused.join(u", "_s) << "\n";
        if (!tally.asideFile.isEmpty())
            out << "  nezapisanite redovi se vo " << tally.asideFile << "\n";
    }
    for (auto it = m_counters.cbegin(); it != m_counters.cend(); ++it)
        out << "Brojac za " << it.key() << ": " << it.value() << "/" << it.key() << "\n";
    out << "tbl_prnt: pecatarot ne se prenesuva; izberete pecatar vo menito "
           "Servis/Podesuvanje na Pecatar\n";
    out.flush();
}

} // namespace

int migrateFromCommandLine(Store &store, const QString &source, QTextStream &out,
                           QTextStream &err)
{
    const auto fail = [&err, &source](const QString &message) {
        err << "trelok: Nisto ne e preneseno od " << source << ": " << message << "\n";
        err.flush();
        return 1;
    };
    if (auto readable = migration::checkSource(source); !readable)
        return fail(readable.error());
    Migration migration(store, source);
    if (auto done = store.writeTransaction([&migration] { return migration.run(); }); !done)
        return fail(done.error());
    const QStringList unnamed = migration.nameAsideFiles();
    for (const QString &failure : unnamed)
        err << "trelok: " << failure << "\n";
    // A workstation of a server keeps its print offsets in its own file.
    if (&store.local() != &store && migration.offsets)
        if (auto stored = storeOffsets(store, migration.offsets->first, migration.offsets->second);
            !stored)
            err << "trelok: Pomestuvanjata za pecatenje ne se zapisani vo " << store.path()
                << ": " << stored.error() << "\n";
    migration.report(out, err);
    return migration.complete() && unnamed.isEmpty() ? 0 : 3;
}

} // namespace trelok
