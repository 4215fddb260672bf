#pragma once

#include "entry/entry_fields.h"
#include "entry/entry_filling.h"

#include <QHash>
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace trelok {

struct AppContext;
class CodePickerDialog;

// The entry window: one payment order over the picture of the blank form.
// Not modal; it takes its mode, kind and order number when it opens.
class Trelok : public QWidget {
    Q_OBJECT
public:
    explicit Trelok(AppContext &context, QWidget *parent = nullptr);

    // Lays the reference line out for the kind and fills the boxes. False
    // when the application was ended on the way.
    bool Form_Load();

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void p_nal3_LostFocus();

    QLineEdit *box(const QString &name) const { return m_boxes.value(name); }
    EntryFields fields() const;
    void setFields(const EntryFields &fields);
    // Writes the texts that differ into their boxes, leaving the others alone.
    void showChanges(const EntryFields &fields);
    const EntrySession &session() const { return m_session; }

    // How the window hands a stored order to the print engine's preview.
    void setPrintOrder(std::function<void(const QString &)> printOrder)
    {
        m_printOrder = std::move(printOrder);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildBoxes();
    void buildLabels();
    void buildButtons();
    void applyLayout();
    void runPicker(CodePickerDialog &picker, QLineEdit *target, const QString &taken);
    QString recipientCaption(const char *label) const;

    AppContext &m_context;
    EntrySession m_session;
    QHash<QString, QLineEdit *> m_boxes;
    QHash<QString, QLabel *> m_labels;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
    QPushButton *m_command4 = nullptr;
    QPushButton *m_command5 = nullptr;
    std::function<void(const QString &)> m_printOrder;
};

} // namespace trelok
