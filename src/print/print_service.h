#pragma once

#include "print/print_engine.h"

#include <QPointer>
#include <QString>

class QWidget;

namespace trelok {

struct AppContext;
class Trelok_pogled;

// The engine's surfaces in the running program: one preview window, reused
// by every request, and the application's printer.
class PrintService : public PrintSurfaces {
public:
    PrintService(AppContext &context, QWidget *owner);

    // Runs the engine for an order in the given mode.
    void print(const QString &number, const QString &mode);

    void showPreview(const PrintJob &job) override;
    void printPage(const PrintJob &job) override;

    Trelok_pogled *preview() const;

private:
    AppContext &m_context;
    QWidget *m_owner;
    QPointer<QWidget> m_preview;
};

} // namespace trelok
