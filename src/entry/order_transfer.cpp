#include "entry/order_transfer.h"

#include "context/app_context.h"
#include "context/messages.h"
#include "data/counter.h"
#include "data/csv.h"
#include "data/orders.h"
#include "data/statements.h"
#include "data/store.h"
#include "entry/entry_dialog.h"
#include "entry/entry_filling.h"
#include "entry/kinds.h"
#include "entry/saving.h"
#include "entry/validation.h"
#include "platform/clock.h"
#include "platform/printers.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>

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

// Fixed-data reminders and the like are not for a file; the last text is
// kept, for a filling that had to stop.
class SilentPrompter : public Prompter {
public:
    Answer ask(const QString &text, Buttons) override
    {
        last = text;
        return Answer::No;
    }
    QString last;
};

// The entry box a column of tbl_Trel fills; TRELOK_BR, the recipient and VID
// have none.
const QHash<QString, EntryFields::Member> &columnBoxes()
{
    static const QHash<QString, EntryFields::Member> boxes{
        {u"NALOG1"_s, &EntryFields::nal1},    {u"NALOG2"_s, &EntryFields::nal2},
        {u"BNK_NAL"_s, &EntryFields::b_nal},  {u"SM_NAL"_s, &EntryFields::s_nal},
        {u"DAN_BR"_s, &EntryFields::d_nal},   {u"POVIK"_s, &EntryFields::p_nal},
        {u"CEL1"_s, &EntryFields::c_nal1},    {u"CEL2"_s, &EntryFields::c_nal2},
        {u"SMET_PRI"_s, &EntryFields::s_pri}, {u"MKD_CEL"_s, &EntryFields::mkd1},
        {u"MKD_DEC"_s, &EntryFields::mkd2},   {u"UP_SMET1"_s, &EntryFields::us1},
        {u"UP_SMET2"_s, &EntryFields::us2},   {u"UP_SMET3"_s, &EntryFields::us3},
        {u"BU_SMET1"_s, &EntryFields::sb1},   {u"BU_SMET2"_s, &EntryFields::sb2},
        {u"BU_SMET3"_s, &EntryFields::sb3},   {u"PR_SIF1"_s, &EntryFields::ps1},
        {u"PR_SIF2"_s, &EntryFields::ps2},    {u"NACIN"_s, &EntryFields::nac},
        {u"DATUM"_s, &EntryFields::dat},      {u"MESTO"_s, &EntryFields::mes},
        {u"VALUTA"_s, &EntryFields::valu}};
    return boxes;
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
        : m_context{store, m_prompter, m_printers, clock, {}, {}, {}}, m_dialog(options),
          m_store(store), m_clock(clock)
    {
        m_context.state.td = QString::fromLatin1(orderDocumentType);
    }

    RowOutcome store(const QStringList &columns, const QStringList &values);

private:
    SilentPrompter m_prompter;
    ListedPrinters m_printers;
    AppContext m_context;
    ImportDialog m_dialog;
    Store &m_store;
    const Clock &m_clock;
};

RowOutcome OrderImport::store(const QStringList &columns, const QStringList &values)
{
    if (values.size() != columns.size())
        return {{}, u"ocekuvani se %1 polinja, ima %2"_s.arg(columns.size()).arg(values.size())};
    const qsizetype vidAt = columns.indexOf(u"VID"_s);
    const QString kind = vidAt >= 0 ? values[vidAt].trimmed() : QString();
    auto description = kindDescription(m_store, kind);
    if (!description)
        return {{}, description.error(), description.busy()};
    if (!description.value())
        return {{}, u"Nepostoecki Vid na Uplata !"_s};

    // A new order's pre-fill, then every column the file gives, as it is.
    m_context.state.vid_tre = kind;
    m_context.state.opi_tre = *description.value();
    EntrySession session{u"V"_s, kind, {}};
    m_prompter.last.clear();
    EntryFilling filling = fillEntry(m_context, session);
    if (filling.ended)
        return {{}, m_prompter.last,
                m_prompter.last == QString::fromLatin1(msg::databaseBusy) ||
                    m_prompter.last.startsWith(QLatin1StringView(connectionLost))};
    EntryFields &f = filling.fields;
    for (qsizetype i = 0; i < columns.size(); ++i)
        if (const auto box = columnBoxes().constFind(columns[i]); box != columnBoxes().cend())
            f.*box.value() = values[i];
    if (columns.contains(u"POVIK"_s))
        splitReference(m_context.state, kind, f);

    const QString year = m_clock.today().toString(u"yyyyMMdd"_s).left(4);
    auto checked = validateEntry(m_store, m_dialog, kind, year, f);
    if (!checked)
        return {{}, checked.error(), checked.busy()};
    if (!checked.value().passed)
        return {{}, checked.value().stopMessage};
    composeReference(kind, f);
    auto saved = saveEntry(m_store, m_dialog, session, m_context.state.td, year, f);
    if (!saved)
        return {{}, saved.error(), saved.busy()};
    return {saved.value().number, {}};
}

// Each attempt waits up to the store's busy time (5 s) before it gives up.
constexpr int busyAttempts = 12;

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
    const CsvText csv = readCsvFile(fileName, options.makscii);
    QStringList columns;
    QString error = csv.error;
    if (error.isEmpty() && csv.records.isEmpty())
        error = u"%1: fajlot e prazen"_s.arg(fileName);
    if (error.isEmpty())
        error = readHeader(csv.records.first().fields, columns);
    if (!error.isEmpty()) {
        err << "trelok: " << error << "\ntrelok: nisto ne e snimeno\n";
        err.flush();
        return 1;
    }
    OrderImport import(store, clock, options);
    bool all = true;
    for (qsizetype r = 1; r < csv.records.size(); ++r) {
        const CsvRecord &record = csv.records[r];
        // A file is read without anyone to press the button again: a
        // database held by another program is waited for longer.
        RowOutcome outcome = import.store(columns, record.fields);
        for (int attempt = 1; outcome.busy && attempt < busyAttempts; ++attempt)
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
    }
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
    if (file.write(bytes) != bytes.size() || !file.commit())
        return fail(u"%1: %2"_s.arg(fileName, file.errorString()));
    return 0;
}

} // namespace trelok
