#pragma once

#include "platform/line_view.h"

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QPushButton;

namespace trelok {

struct AppContext;
class ListReading;
class OrderListModel;

// The order chooser: lists every stored order, newest first, and leaves the
// chosen order's number in p_tre_br and its kind in vid_tre, or "0" in
// p_tre_br when nothing was chosen. Enter or a double click on a line
// chooses it as "OK - Izberi" does.
class izbor_trelok : public QDialog {
    Q_OBJECT
public:
    explicit izbor_trelok(AppContext &context, QWidget *parent = nullptr);

    // False when the orders could not be read: the chooser is not shown.
    bool Form_Load();
    // For printing: several lines may be chosen (Ctrl and Shift with the
    // mouse, Shift with the arrow keys, Ctrl+A every line shown).
    void allowSeveral();
    // The numbers of the chosen orders in the order of the list; the
    // current line when no line is selected.
    QStringList chosenNumbers() const;
    void Command1_Click();
    void Command2_Click();
    // The search box: the list shows the orders with the typed text in any
    // column.
    void baraj_Change();

    LineView *list() const { return m_list; }
    OrderListModel *model() const { return m_model; }
    QLineEdit *searchBox() const { return m_baraj; }

protected:
    void reject() override; // the close box and Escape act like "Izlez / Otkaz"
    // Once shown, the lines are read for searching a part at a time.
    void showEvent(QShowEvent *event) override;

private:
    // Makes the line of the order numbered as the search's text current
    // once it is among the lines shown from from on (else the first line,
    // when none is).
    void showExact(int from);

    AppContext &m_context;
    // Whether the search's text may still turn out to be an order's number.
    bool m_exactSought = false;
    ListReading *m_reading = nullptr;
    LineView *m_list = nullptr;
    OrderListModel *m_model = nullptr;
    QLineEdit *m_baraj = nullptr;
};

} // namespace trelok
