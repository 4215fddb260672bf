#pragma once

#include <QMainWindow>

class QAction;
class QLabel;

namespace trelok {

struct AppContext;

// The main window: the menu through which every function is reached.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(AppContext &context, QWidget *parent = nullptr);

    // Shows the application printer's name.
    void setPrinterLabel(const QString &name);

    void ntrel_Click();
    void azur_tre_Click();
    void pct_Click();
    void pec_podes_Click();
    void vfpd_Click();
    void sdb_Click();
    void uinstall_Click();
    void upkor_Click();
    void abbo_Click();
    void izl_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    QAction *addItem(QMenu *menu, const QString &name, const QString &caption,
                     void (Form1::*handler)());

    AppContext &m_context;
    QLabel *m_label1 = nullptr;
};

// The text of "&About".
QString aboutText();

} // namespace trelok
