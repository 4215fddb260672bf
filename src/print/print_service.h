#pragma once

#include "print/print_engine.h"

#include <QPointer>
#include <QString>

#include <functional>

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
    void print(const QString &number, PrintMode mode);
    // Runs the engine for several orders (one is the same as print()).
    void printSeveral(const QStringList &numbers, PrintMode mode);

    void showPreview(const PrintJob &job) override;
    void printPage(const PrintJob &job) override;
    void showPreviewPages(const QList<PrintJob> &jobs) override;
    void printPages(const QList<PrintJob> &jobs) override;

    Trelok_pogled *preview() const;

    // Asks where to save the page shown: given the window and the suggested
    // file name, returns the chosen file, empty when the user cancelled.
    // The file dialog by default; tests answer it themselves.
    using FileChooser = std::function<QString(QWidget *, const QString &)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    // Saves the page shown on the preview as a PDF file the user chooses;
    // with several orders, all their pages in one file.
    void savePreviewPdf();

private:
    Trelok_pogled *openPreview();
    // "OK - Pecati": the order shown, or every order the preview holds.
    void printShown();

    AppContext &m_context;
    QWidget *m_owner;
    QPointer<QWidget> m_preview;
    FileChooser m_chooseFile;
};

} // namespace trelok
