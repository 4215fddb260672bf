#pragma once

#include "print/print_job.h"

#include <QWidget>

#include <functional>

class QLabel;

namespace trelok {

// The preview: the page of an order as it will be printed, with
// "OK - Pecati" to print it. Not modal; it keeps its drawing while open.
class Trelok_pogled : public QWidget {
    Q_OBJECT
public:
    Trelok_pogled(const QString &printerName, std::function<void()> print,
                  QWidget *parent = nullptr);

    void showJob(const PrintJob &job);
    const PrintJob &job() const { return m_job; }
    QWidget *surface() const { return m_surface; }

    void Command1_Click();
    void Command2_Click();

private:
    PrintJob m_job;
    QWidget *m_surface = nullptr;
    QLabel *m_skipped = nullptr;
    std::function<void()> m_print;
};

} // namespace trelok
