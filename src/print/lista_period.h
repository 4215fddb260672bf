#pragma once

#include "data/result.h"
#include "print/period_list.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace trelok {

struct AppContext;
class LineView;
class PeriodPages;
class PrinterSystem;
class PeriodLinesModel;
class Store;

// "Lista na Treloci za Period": the orders paid between two dates, of one
// payment kind or of all, with their totals under them; printed on the
// application's printer on plain A4, saved as PDF or CSV. The window holds
// the lines it shows (read a page at a time); printing and saving read the
// list again, a line at a time.
class lista_period : public QDialog {
    Q_OBJECT
public:
    explicit lista_period(AppContext &context, QWidget *parent = nullptr);
    ~lista_period() override;

    // False when the payment kinds could not be read: the window is not shown.
    bool Form_Load();
    void Command1_Click(); // list the period
    void Command2_Click(); // print on the application's printer
    void Command3_Click(); // save as PDF
    void Command4_Click(); // save as CSV
    void Command5_Click(); // leave

    // The file to save into (title, suggested name, filter), empty when the
    // user cancelled; a save dialog by default, tests answer it.
    using FileChooser =
        std::function<QString(QWidget *, const QString &, const QString &, const QString &)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    // Prints the list on the named printer, returning the error text;
    // printPeriodList by default, tests record it.
    using ListPrinter = std::function<QString(const QString &, PeriodPages &)>;
    void setListPrinter(ListPrinter printer) { m_printList = std::move(printer); }

    // The period listed last.
    const Period &shown() const { return m_shown; }

private:
    // The list of the boxes' period, read and shown; false when the boxes
    // hold no period (the user was told) or it could not be read.
    bool listed();
    void saveFile(const QString &title, const QString &extension,
                  DbResult<QString> (*write)(Store &, const Period &, const QString &,
                                             const QString &));

    AppContext &m_context;
    FileChooser m_chooseFile;
    ListPrinter m_printList;
    QLineEdit *m_from = nullptr;
    QLineEdit *m_to = nullptr;
    QComboBox *m_kind = nullptr;
    LineView *m_list = nullptr;
    PeriodLinesModel *m_model = nullptr;
    QPlainTextEdit *m_totals = nullptr;
    Period m_shown;
};

// Prints the list as one document on the named printer, each page drawn by
// paintPeriodPage with the origin at the paper's corner. Returns the error
// text, empty on success.
QString printPeriodList(PrinterSystem &system, const QString &printerName, PeriodPages &pages);

} // namespace trelok
