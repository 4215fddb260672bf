#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace trelok {

struct AppContext;
struct PickerKind;

// Where a picker's controls stand and in which tab order.
struct PickerLayout {
    const char *objectName;
    const char *caption;
    int width, height; // client area, twips
    const char *label1;
    const char *label3;
    const char *label4;
    const char *command1;
    const char *command3;
    int rowLabel1;  // top of the first row of labels
    int rowText1;   // top of the code row
    int rowButtons; // top of the buttons
    // Tab order, first to last, by control name.
    const char *tabOrder[4];
};

// A code picker: the user types a code or picks it from the list; the code
// is confirmed against its table and written into the entry window's box and
// the shared state. prom_opst and prom_isp are its two forms.
class CodePickerDialog : public QDialog {
    Q_OBJECT
public:
    CodePickerDialog(AppContext &context, const PickerKind &kind, const PickerLayout &layout,
                     QString &shared, QLineEdit *target, QWidget *parent);

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    QLineEdit *text1() const { return m_text1; }
    QLabel *label4() const { return m_label4; }
    const PickerKind &kind() const { return m_kind; }

private:
    AppContext &m_context;
    const PickerKind &m_kind;
    QString &m_shared;
    QLineEdit *m_target;
    QLineEdit *m_text1 = nullptr;
    QLabel *m_label4 = nullptr;
};

// The municipality picker: writes us2 and tek_opst.
class prom_opst : public CodePickerDialog {
    Q_OBJECT
public:
    prom_opst(AppContext &context, QLineEdit *us2, QWidget *parent = nullptr);
};

// The customs office picker: writes p_nal3 and tek_isp.
class prom_isp : public CodePickerDialog {
    Q_OBJECT
public:
    prom_isp(AppContext &context, QLineEdit *p_nal3, QWidget *parent = nullptr);
};

} // namespace trelok
