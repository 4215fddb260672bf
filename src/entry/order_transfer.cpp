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

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStorageInfo>
#include <QTextStream>

#include <algorithm>
#include <cerrno>
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
};

class OrderImport {
public:
    OrderImport(Store &store, Clock &clock, const OrderImportOptions &options)
        : m_dialog(options), m_store(store), m_clock(clock)
    {}

    RowOutcome store(const QStringList &columns, const QStringList &values);

private:
    SilentPrompter m_prompter;
    ImportDialog m_dialog;
    Store &m_store;
    const Clock &m_clock;
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
    auto description = kindDescription(m_store, kind);
    if (!description)
        return {{}, description.error(), description.busy()};
    if (!description.value())
        return {{}, u"Nepostoecki Vid na Uplata !"_s};

    // A new order's pre-fill, then every column the file gives, as it is.
    EntrySession session{EntryMode::New, kind, {}, *description.value()};
    auto filling = fillEntry({m_store, m_clock, m_prompter}, session);
    if (!filling)
        return {{}, filling.error(), filling.busy()};
    EntryFields &f = filling.value().fields;
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
    return {saved.value().number, {}};
}

// A text on one line of the output: its line breaks become blanks.
QString oneLine(const QString &text)
{
    static const QRegularExpression breaks(u"\\s*[\\r\\n]+\\s*"_s);
    return QString(text).replace(breaks, u" "_s).trimmed();
}

bool sameFile(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
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
    const QString error = file.records([&](CsvRecord &record) {
        if (std::exchange(first, false)) {
            headerError = readHeader(record.fields, columns);
            return headerError.isEmpty();
        }
        // A file is read without anyone to press the button again: a
        // database held by another program is waited for longer.
        ++rows;
        RowOutcome outcome = import.store(columns, record.fields);
        for (int attempt = 1; outcome.busy && attempt < importBusyAttempts; ++attempt)
            outcome = import.store(columns, record.fields);
        if (outcome.refusal.isEmpty()) {
            out << record.line << ": " << outcome.number << "\n";
        } else {
            all = false;
            // A held file says so in the program's words; a server's text
            // (a lost connection, a refused row) is folded onto the line.
            const bool held = outcome.busy && !outcome.refusal.startsWith(
                                                  QLatin1StringView(connectionLost));
            out << record.line << ": refused: "
                << (held ? QString::fromLatin1(msg::databaseBusy) : oneLine(outcome.refusal))
                << "\n";
        }
        // A line is written only once its order is stored for good.
        out.flush();
        return true;
    });
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
    if (sameFile(fileName, store.path()))
        return fail(u"%1 e bazata na podatoci na programata"_s.arg(fileName));
    auto rows = store.texts(sql::trel::everyColumn);
    if (!rows)
        return fail(rows.error());
    QList<QStringList> &orders = rows.value();
    std::stable_sort(orders.begin(), orders.end(), [](const QStringList &a, const QStringList &b) {
        return newerOrder(b.first(), a.first());
    });
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(u"%1: %2"_s.arg(fileName, file.errorString()));
    QByteArray bytes = csvRecord(orderColumns()).toUtf8();
    for (const QStringList &order : orders)
        bytes += csvRecord(order).toUtf8();
    errno = 0;
    if (file.write(bytes) == bytes.size() && file.commit())
        return 0;
    // The toolkit's text for a full disk can be "Unknown error".
    const int error = errno;
    const QStorageInfo disk(QFileInfo(fileName).absolutePath());
    if (error == ENOSPC || (disk.isValid() && disk.bytesAvailable() < bytes.size()))
        return fail(u"%1: diskot e poln, izvozot ne e zapisan (potrebni se %2 bajti)"_s.arg(
                        fileName)
                        .arg(bytes.size()));
    return fail(u"%1: %2"_s.arg(fileName, file.errorString()));
}

} // namespace trelok
