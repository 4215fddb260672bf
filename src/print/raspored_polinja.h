#pragma once

#include "print/layout.h"
#include "print/print_job.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QListWidget;

namespace trelok {

struct AppContext;
struct CalibrationSheet;

// The layout window: every row of the coordinate table as a frame over the
// picture of the form, filled with the last order's texts. Fields are
// chosen by a click or in the list, moved with the arrow keys (0.1 mm, with
// Shift 1 mm), by dragging, or placed by typing their left edge, top and
// width in tenths of a millimetre. Nothing is written before "OK - Snimi".
class raspored_polinja : public QDialog {
    Q_OBJECT
public:
    explicit raspored_polinja(AppContext &context, QWidget *parent = nullptr);

    // Reads the layout and the texts; false when the application was ended.
    bool Form_Load();

    void Command1_Click(); // save
    void Command2_Click(); // back to the delivered layout
    void Command3_Click(); // print the calibration sheet of the layout shown
    void Command4_Click(); // leave without saving
    void List1_SelectionChanged();
    void Text_Typed(int coordinate); // 0 left, 1 top, 2 width

    // The fields chosen, by row of the layout.
    QList<int> chosen() const;
    // Chooses one field (add: keeps the others chosen, as with Ctrl).
    void choose(int row, bool add);
    // Moves the chosen fields by (dx, dy) twips (the mouse), or by whole
    // tenths of a millimetre (the arrows, layout.h's steppedTwips).
    void moveChosen(double dx, double dy);
    void stepChosen(int tenthsX, int tenthsY);
    const Layout &layout() const { return m_layout; }
    const PrintJob &page() const { return m_page; }

    // Prints the calibration sheet on the named printer and returns the
    // error text; printCalibrationSheet by default, tests record it.
    using SheetPrinter = std::function<QString(const QString &, const CalibrationSheet &)>;
    void setSheetPrinter(SheetPrinter printer) { m_printSheet = std::move(printer); }

private:
    void showLayout();
    void showCoordinates();
    // The page, the boxes and the surface after the layout changed.
    void showChanged();

    AppContext &m_context;
    SheetPrinter m_printSheet;
    Layout m_layout;
    Layout m_opened; // as read, to tell whether another workstation saved
    QHash<QString, QString> m_texts;
    PrintJob m_page;
    QWidget *m_surface = nullptr;
    QListWidget *m_list1 = nullptr;
    QList<QLineEdit *> m_boxes; // left, top, width
};

} // namespace trelok
