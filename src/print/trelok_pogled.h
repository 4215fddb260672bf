#pragma once

#include "print/print_job.h"

#include <QWidget>

#include <functional>

class QLabel;

namespace trelok {

// The preview: the page of an order as it will be printed, with
// "OK - Pecati" to print it. Not modal; it keeps its drawing while open.
// Fields whose text is wider than their box are framed in red and named
// under the page; "Snimi kako PDF" saves the page shown as a PDF file.
// The number of the order shown stands beside the printer's name. Several
// orders are shown one after the other: the page's place ("3 / 12") and
// the buttons to move between them (also PageUp and PageDown) appear above
// the page, the notices name the order, and "OK - Pecati" prints them all.
class Trelok_pogled : public QWidget {
    Q_OBJECT
public:
    Trelok_pogled(const QString &printerName, std::function<void()> print,
                  std::function<void()> savePdf, QWidget *parent = nullptr);

    void showJob(const PrintJob &job);
    // Several orders, the first shown.
    void showJobs(const QList<PrintJob> &jobs);
    // The order shown.
    const PrintJob &job() const { return m_job; }
    // Every order the window holds, in the order of its pages.
    const QList<PrintJob> &jobs() const { return m_jobs; }
    int page() const { return m_page; }
    // Shows the page at index (0 to jobs().size() - 1); others are ignored.
    void showPage(int index);
    void nextPage() { showPage(m_page + 1); }
    void previousPage() { showPage(m_page - 1); }
    QWidget *surface() const { return m_surface; }

    void Command1_Click();
    void Command2_Click();
    void Command3_Click(); // save as PDF

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    PrintJob m_job;
    QList<PrintJob> m_jobs;
    int m_page = 0;
    QWidget *m_surface = nullptr;
    QLabel *m_order = nullptr;
    QLabel *m_place = nullptr;
    QWidget *m_previous = nullptr;
    QWidget *m_next = nullptr;
    QLabel *m_skipped = nullptr;
    QLabel *m_overflow = nullptr;
    std::function<void()> m_print;
    std::function<void()> m_savePdf;
};

} // namespace trelok
