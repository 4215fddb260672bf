#include "print/lista_period.h"

#include "context/app_context.h"
#include "context/messages.h"
#include "data/paged_list_model.h"
#include "entry/kinds.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/dates.h"
#include "platform/line_view.h"
#include "platform/pointer.h"
#include "platform/printers.h"
#include "platform/prompter.h"
#include "platform/twips.h"
#include "print/period_csv.h"
#include "print/period_list_page.h"
#include "print/period_rows.h"
#include "print/print_engine.h"
#include "print/print_job.h"
#include "print/printer_output.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace trelok {

// The orders of the list as the view shows them, a line per order, read a
// page at a time in the list's order (PagedListModel).
class PeriodLinesModel : public PagedListModel {
public:
    PeriodLinesModel(Store &store, QObject *parent) : PagedListModel(7, parent), m_store(store) {}

    // The period whose lines load() reads.
    void setPeriod(const Period &period) { m_period = period; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::AccessibleTextRole) // as the form's font shows it
            return spoken(PagedListModel::data(index, Qt::DisplayRole).toString(), formFont(10));
        if (role == Qt::TextAlignmentRole && index.column() == 6)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return PagedListModel::data(index, role);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= 7)
            return {};
        if (role == Qt::DisplayRole)
            return periodColumnCaptions()[section];
        if (role == Qt::AccessibleTextRole)
            return spoken(periodColumnCaptions()[section], formFont(10));
        return {};
    }

protected:
    DbResult<int> countRows() const override
    {
        if (!m_period.from.isValid())
            return 0;
        return periodLineCount(m_store, m_period);
    }
    DbStatus eachRow(int first, int count, const RowVisit &visit) const override
    {
        return eachPeriodLine(m_store, m_period, first, count, [&visit](const PeriodLine &l) {
            const QByteArray texts[] = {
                l.number.toUtf8(),    l.date.toUtf8(),    l.kind.toUtf8(),        l.payer.toUtf8(),
                l.reference.toUtf8(), l.purpose.toUtf8(), amountShown(l).toUtf8()};
            const QByteArrayView cells[] = {texts[0], texts[1], texts[2], texts[3],
                                            texts[4], texts[5], texts[6]};
            visit(cells);
        });
    }

private:
    Store &m_store;
    Period m_period;
};

lista_period::lista_period(AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context),
      m_chooseFile([](QWidget *owner, const QString &title, const QString &suggested,
                      const QString &filter) {
          return QFileDialog::getSaveFileName(owner, title, QDir::home().filePath(suggested),
                                              filter);
      }),
      m_printList([&context](const QString &printer, PeriodPages &pages) {
          return printPeriodList(context.printers, printer, pages);
      })
{
    setObjectName(u"lista_period"_s);
    setWindowTitle(u"Lista na Treloci za Period"_s);
    setFont(formFont(10));
    setClientSize(this, 11640, 7320);
    const QFont captions = formFont(10);
    auto *fromCaption = label(this, u"lbl_od"_s, u"&Od datum:"_s, QRect(120, 150, 1080, 285),
                              captions);
    m_from = textBox(this, u"dat_od"_s, QRect(1200, 120, 1335, 315), captions,
                     fromCaption->accessibleName());
    fromCaption->setBuddy(m_from);
    auto *toCaption = label(this, u"lbl_do"_s, u"&Do datum:"_s, QRect(2760, 150, 1080, 285),
                            captions);
    m_to = textBox(this, u"dat_do"_s, QRect(3840, 120, 1335, 315), captions,
                   toCaption->accessibleName());
    toCaption->setBuddy(m_to);
    for (QLineEdit *box : {m_from, m_to})
        box->setMaxLength(10);
    auto *kindCaption = label(this, u"lbl_vid"_s, u"&Vid na uplata:"_s,
                              QRect(5400, 150, 1500, 285), captions);
    m_kind = new QComboBox(this);
    m_kind->setObjectName(u"vid"_s);
    m_kind->setGeometry(twips::rect(6900, 120, 3000, 315));
    m_kind->setFont(captions);
    m_kind->setAccessibleName(kindCaption->accessibleName());
    kindCaption->setBuddy(m_kind);
    auto *command1 = button(this, u"Command1"_s, u"Prika`i"_s, QRect(10080, 90, 1440, 375),
                            QColor(192, 255, 192), captions);

    m_model = new PeriodLinesModel(context.store, this);
    // A page the view could not read is told once the window is back in its loop.
    connect(m_model, &PagedListModel::readFailed, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (auto failed = m_model->takeFailure())
                m_context.fail(*failed);
        });
    });
    m_list = new LineView(this);
    m_list->setObjectName(u"ListView1"_s);
    m_list->setGeometry(twips::rect(120, 600, 11400, 4320));
    m_list->setFont(captions);
    m_list->setModel(m_model);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setAccessibleName(spoken(u"Treloci"_s, captions));
    const int widths[] = {1100, 1200, 600, 2400, 2000, 1800, 1900};
    for (int column = 0; column < 7; ++column)
        m_list->setColumnWidth(column, twips::px(widths[column]));

    m_totals = new QPlainTextEdit(this);
    m_totals->setObjectName(u"vkupno"_s);
    m_totals->setGeometry(twips::rect(120, 5040, 11400, 1560));
    m_totals->setFont(captions);
    m_totals->setReadOnly(true);
    m_totals->setTabChangesFocus(true);
    m_totals->setAccessibleName(spoken(u"Vkupno"_s, captions));

    auto *command2 = button(this, u"Command2"_s, u"Pe~ati"_s, QRect(120, 6780, 1800, 375),
                            QColor(192, 255, 255), captions);
    auto *command3 = button(this, u"Command3"_s, u"Snimi PDF"_s, QRect(2040, 6780, 1800, 375),
                            QColor(192, 255, 255), captions);
    auto *command4 = button(this, u"Command4"_s, u"Snimi CSV"_s, QRect(3960, 6780, 1800, 375),
                            QColor(192, 255, 255), captions);
    auto *command5 = button(this, u"Command5"_s, u"Izlez"_s, QRect(9720, 6780, 1800, 375),
                            QColor(255, 0, 0), captions);
    connect(command1, &QPushButton::clicked, this, &lista_period::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &lista_period::Command2_Click);
    connect(command3, &QPushButton::clicked, this, &lista_period::Command3_Click);
    connect(command4, &QPushButton::clicked, this, &lista_period::Command4_Click);
    connect(command5, &QPushButton::clicked, this, &lista_period::Command5_Click);
    // Enter in a date box lists the period.
    for (QLineEdit *box : {m_from, m_to})
        connect(box, &QLineEdit::returnPressed, this, &lista_period::Command1_Click);
    chainTabOrder({m_from, m_to, m_kind, command1, m_list, m_totals, command2, command3,
                   command4, command5});
    m_from->setFocus();
}

lista_period::~lista_period() = default;

bool lista_period::Form_Load()
{
    auto kinds = listKinds(m_context.store);
    if (!kinds) {
        m_context.fail(kinds);
        return false;
    }
    m_kind->addItem(u"Site vidovi"_s, QString());
    for (const CodeLine &kind : kinds.value())
        m_kind->addItem(u"%1 - %2"_s.arg(kind.code, kind.name), kind.code);
    // The current month up to today.
    const QDate today = m_context.clock.today();
    m_from->setText(formatDate(QDate(today.year(), today.month(), 1)));
    m_to->setText(formatDate(today));
    return true;
}

bool lista_period::listed()
{
    Period period;
    period.from = periodDate(m_from->text());
    period.to = periodDate(m_to->text());
    period.kind = m_kind->currentData().toString();
    for (QLineEdit *box : {m_from, m_to})
        if (!periodDate(box->text()).isValid()) {
            box->setFocus();
            m_context.prompter.inform(u"Vnesi go datumot vo oblik DD.MM.GGGG !"_s);
            return false;
        }
    if (period.from > period.to) {
        m_to->setFocus();
        m_context.prompter.inform(u"Datumot DO e pred datumot OD !"_s);
        return false;
    }
    // The totals in one pass that keeps no line, then the lines the view shows.
    auto totals = [this, &period] {
        Hourglass wait;
        return streamPeriod(m_context.store, period, [](const PeriodRow &) {});
    }();
    if (!totals) {
        m_context.fail(totals);
        return false;
    }
    m_model->setPeriod(period);
    auto loaded = [this] {
        Hourglass wait;
        return m_model->load();
    }();
    if (!loaded) {
        m_context.fail(loaded);
        return false;
    }
    m_shown = period;
    m_totals->setPlainText(totalsText(totals.value()).join(u'\n'));
    m_totals->setAccessibleDescription(spoken(m_totals->toPlainText(), formFont(10)));
    return true;
}

void lista_period::Command1_Click()
{
    listed();
}

void lista_period::Command2_Click()
{
    if (!listed())
        return;
    const QString printer = m_context.state.def_prn;
    if (printer.isEmpty()) {
        m_context.prompter.inform(noPrinterMessage());
        return;
    }
    if (!SelectPrinter(m_context.printers, printer)) {
        m_context.prompter.inform(msg::printerMissing(printer));
        return;
    }
    auto pages = [this] {
        Hourglass wait;
        return readPeriodPages(m_context.store, m_shown);
    }();
    if (!pages) {
        m_context.fail(pages);
        return;
    }
    QString error = pages.value()->error();
    if (error.isEmpty())
        error = m_printList(m_context.printers.current(), *pages.value());
    if (!error.isEmpty())
        m_context.prompter.inform(error);
}

void lista_period::saveFile(const QString &title, const QString &extension,
                            DbResult<QString> (*write)(Store &, const Period &, const QString &,
                                                       const QString &))
{
    if (!listed())
        return;
    const QString suggested = u"lista-%1-%2.%3"_s.arg(
        m_shown.from.toString(u"yyyyMMdd"_s), m_shown.to.toString(u"yyyyMMdd"_s), extension);
    const QString file =
        m_chooseFile(this, title, suggested, u"%1 (*.%2)"_s.arg(extension.toUpper(), extension));
    if (file.isEmpty())
        return;
    auto written = [&] {
        Hourglass wait;
        return write(m_context.store, m_shown, file, m_context.appDir);
    }();
    if (!written)
        m_context.fail(written);
    else if (!written.value().isEmpty())
        m_context.prompter.inform(written.value());
}

void lista_period::Command3_Click()
{
    saveFile(u"Snimi ja Listata kako PDF"_s, u"pdf"_s, writePeriodPdf);
}

void lista_period::Command4_Click()
{
    saveFile(u"Snimi ja Listata kako CSV"_s, u"csv"_s, writePeriodCsv);
}

void lista_period::Command5_Click()
{
    reject();
}

QString printPeriodList(PrinterSystem &system, const QString &printerName, PeriodPages &pages)
{
    const QString error = system.printPages(
        printerName, periodTitle(pages.heading()), periodPageCount(pages),
        [&pages](QPainter &painter, int page) {
            useTwips(painter);
            paintPeriodPage(painter, pages, page);
        },
        PageOrigin::PaperCorner);
    return error.isEmpty() ? pages.error() : error;
}

} // namespace trelok
