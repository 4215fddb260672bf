#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;

namespace trelok {

struct AppContext;
struct CalibrationSheet;

// The printer window: the calibration of the print offsets with the moving
// picture of the form, and the choice of the application's printer, which
// brings that printer's offsets.
class pec_pod : public QDialog {
    Q_OBJECT
public:
    // printerChosen is told the new printer's name, for the main window.
    pec_pod(AppContext &context, std::function<void(const QString &)> printerChosen,
            QWidget *parent = nullptr);

    // False when the application was ended on the way.
    bool Form_Load();

    void Command1_Click(); // help
    void Command2_Click(); // leave without saving
    void Command3_Click(); // save the offsets
    void Command4_Click(); // back to the factory offsets
    void Command5_Click(); // list the printers
    void Command6_Click(); // take the selected printer
    void Command7_Click(); // print the calibration sheet
    void HScroll1_Change();
    void VScroll1_Change();

    // Prints the calibration sheet on the named printer and returns the
    // error text; printCalibrationSheet by default, tests record it.
    using SheetPrinter = std::function<QString(const QString &, const CalibrationSheet &)>;
    void setSheetPrinter(SheetPrinter printer) { m_printSheet = std::move(printer); }

private:
    // Shows the application printer's stored offsets, the bars at 0; false
    // when they could not be read.
    bool showStoredOffsets();
    // Stores both offsets, tells the user done and closes the window.
    void saveOffsets(const QString &right, const QString &down, const QString &done);

    AppContext &m_context;
    std::function<void(const QString &)> m_printerChosen;
    SheetPrinter m_printSheet;
    QLineEdit *m_text1 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QLabel *m_image1 = nullptr;
    QScrollBar *m_hscroll1 = nullptr;
    QScrollBar *m_vscroll1 = nullptr;
    QLabel *m_label5 = nullptr;
    QPushButton *m_command5 = nullptr;
    QPushButton *m_command6 = nullptr;
    QListWidget *m_list1 = nullptr;
    int fix_left = 0; // the picture's design position, twips
    int fix_top = 0;
    double offset_left = 0; // the stored offsets, tenths of a millimetre
    double offset_top = 0;
    QString m_offsetsOf; // the printer whose offsets are shown
};

} // namespace trelok
