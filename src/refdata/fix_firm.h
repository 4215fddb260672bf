#pragma once

#include <QDialog>

class QLineEdit;

namespace trelok {

struct AppContext;

// The company's fixed data: the seven texts of the configuration row that
// pre-fill every new order.
class fix_firm : public QDialog {
    Q_OBJECT
public:
    explicit fix_firm(AppContext &context, QWidget *parent = nullptr);

    // False when the application was ended on the way.
    bool Form_Load();

    void Command1_Click(); // help
    void Command2_Click(); // leave without saving
    void Command3_Click(); // save

private:
    AppContext &m_context;
    QLineEdit *m_nal1 = nullptr;
    QLineEdit *m_nal2 = nullptr;
    QLineEdit *m_b_nal = nullptr;
    QLineEdit *m_s_nal = nullptr;
    QLineEdit *m_d_nal = nullptr;
    QLineEdit *m_mes = nullptr;
    QLineEdit *m_us2 = nullptr;
};

} // namespace trelok
