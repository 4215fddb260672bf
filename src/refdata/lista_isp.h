#pragma once

#include "refdata/code_line.h"

#include <QDialog>
#include <QList>

class QTreeWidget;

namespace trelok {

class CodePickerDialog;

// The list window the two pickers share. Its caption, set by the caller,
// tells it which picker it serves.
class lista_isp : public QDialog {
    Q_OBJECT
public:
    explicit lista_isp(CodePickerDialog *picker);

    void fill(const QList<CodeLine> &lines);
    void Command3_Click();
    void Command1_Click();

    QTreeWidget *list() const { return m_list; }

private:
    CodePickerDialog *m_picker;
    QTreeWidget *m_list = nullptr;
};

} // namespace trelok
