#pragma once

#include "platform/line_view.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace trelok {

struct AppContext;
class ListReading;
class TaxpayerPages;

// The taxpayer register: the whole list, sortable by any column, with an
// edit panel to add a taxpayer or change one's name, address and city. The
// list reads only the lines it shows; while the window is open it reads the
// rest for searching and type-ahead, a little at a time.
class dan_ref : public QDialog {
    Q_OBJECT
public:
    explicit dan_ref(AppContext &context, QWidget *parent = nullptr);

    // Loads the list; false when the application was ended on the way.
    bool Form_Load();

    void Command1_Click(); // close
    void Command2_Click(); // close
    void Command3_Click(); // change the selected taxpayer
    void Command4_Click(); // add a taxpayer
    void Command5_Click(); // test and store the panel
    void Command6_Click(); // close the panel
    void ListView1_DblClick();
    void ListView1_ColumnClick(int column);
    // The search box: the list shows the taxpayers with the typed text in
    // any column.
    void baraj_Change();

    TaxpayerPages &model() { return *m_model; }
    LineView *list() const { return m_listView1; }
    QLineEdit *searchBox() const { return m_baraj; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool loadList();
    void showPanel(bool visible);

    AppContext &m_context;
    TaxpayerPages *m_model = nullptr;
    ListReading *m_reading = nullptr;
    LineView *m_listView1 = nullptr;
    QLineEdit *m_text[4] = {};
    QLabel *m_label[4] = {};
    QLabel *m_label5 = nullptr;
    QPushButton *m_command5 = nullptr;
    QPushButton *m_command6 = nullptr;
    QLineEdit *m_baraj = nullptr;
};

} // namespace trelok
