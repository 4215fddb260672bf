#pragma once

#include <QDialog>

class QTreeWidget;

namespace trelok {

struct AppContext;

// The payment kind chooser: leaves the chosen code in vid_tre and its
// description in opi_tre, or "000" in vid_tre. Enter or a double click on a
// line chooses it as the OK button does.
class izbor_vid : public QDialog {
    Q_OBJECT
public:
    explicit izbor_vid(AppContext &context, QWidget *parent = nullptr);

    // False when the kinds could not be read: the chooser is not shown.
    bool Form_Load();
    void Command1_Click();
    void Command2_Click();

    QTreeWidget *list() const { return m_list; }

protected:
    void reject() override; // the close box acts like "IZLEZ / Otkaz"

private:
    AppContext &m_context;
    QTreeWidget *m_list = nullptr;
};

} // namespace trelok
