#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include "entry/trelok_window.h"
#include "print/print_service.h"

#include <memory>

class QAction;
class QLabel;

namespace trelok {

class DailyBackupRun;

struct AppContext;
class Trelok;

// The main window: the menu through which every function is reached.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(AppContext &context, QWidget *parent = nullptr);

    // Shows the application printer's name.
    void setPrinterLabel(const QString &name);

    // Opens the entry window for the mode, kind and order in the shared
    // state. While one is open, it is brought to the front instead and the
    // shared state is left as it was; returns false then.
    bool openEntry();
    Trelok *entryWindow() const;
    PrintService &printService() { return *m_print; }
    // The day's copy, begun once the window shows.
    DailyBackupRun &dailyBackup() const { return *m_backup; }

    void ntrel_Click();
    void azur_tre_Click();
    void pct_Click();
    void lista_per_Click();
    void pec_podes_Click();
    void rasp_pol_Click();
    void vfpd_Click();
    void sdb_Click();
    void uinstall_Click();
    void upkor_Click();
    void abbo_Click();
    void izl_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void buildMenu();
    // Several orders may be chosen when the chooser opens for printing; the
    // chosen numbers are returned (empty when nothing was chosen).
    QStringList chooseOrder(bool several = false);
    void openGuide(const char *name);
    QAction *addItem(QMenu *menu, const QString &name, const QString &caption,
                     void (Form1::*handler)());

    AppContext &m_context;
    QLabel *m_label1 = nullptr;
    QPointer<Trelok> m_entry;
    std::unique_ptr<PrintService> m_print;
    DailyBackupRun *m_backup = nullptr;
    bool m_drawn = false;

    bool entryAlreadyOpen();
};

// The text of "&About".
QString aboutText();

} // namespace trelok
