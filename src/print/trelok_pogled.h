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
class Trelok_pogled : public QWidget {
    Q_OBJECT
public:
    Trelok_pogled(const QString &printerName, std::function<void()> print,
                  std::function<void()> savePdf, QWidget *parent = nullptr);

    void showJob(const PrintJob &job);
    const PrintJob &job() const { return m_job; }
    QWidget *surface() const { return m_surface; }

    void Command1_Click();
    void Command2_Click();
    void Command3_Click(); // save as PDF

private:
    PrintJob m_job;
    QWidget *m_surface = nullptr;
    QLabel *m_skipped = nullptr;
    QLabel *m_overflow = nullptr;
    std::function<void()> m_print;
    std::function<void()> m_savePdf;
};

} // namespace trelok
