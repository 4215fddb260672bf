#pragma once

#include "data/result.h"
#include "data/table_file.h"

#include <QHash>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

namespace trelok {

class Store;
struct PrintJob;

// One row of the coordinate table tbl_koor: where a column of the order is
// printed, twips.
struct LayoutRow {
    QString box;
    double z_x = 0;
    double z_y = 0;
    double z_len = 0;
    bool operator==(const LayoutRow &) const = default;
};
using Layout = QList<LayoutRow>;

// The coordinate table as a table file ("box,z_x,z_y,z_len"): a box names a
// column of an order, the coordinates are numbers of at least 0.
const TableFile &layoutFile();

// Every row of tbl_koor, coordinates read as the print engine reads them.
DbResult<Layout> readLayout(Store &store);

// The layout delivered with the installation.
Layout deliveredLayout();

// A coordinate as it is stored: "113", "113.5".
QString coordinateText(double twips);

enum class LayoutSaved { Saved, ChangedMeanwhile };

// Replaces tbl_koor by shown in one transaction, unless the table no longer
// holds opened (the layout the window began with): another workstation
// saved in between, and nothing is written (ChangedMeanwhile).
DbResult<LayoutSaved> saveLayout(Store &store, const Layout &shown, const Layout &opened);

// The text each column shows in the layout window: the last stored order's,
// or sample texts when no order is stored.
DbResult<QHash<QString, QString>> layoutTexts(Store &store);

// The page of those texts in this layout, without offsets: what the layout
// window draws over the form.
PrintJob layoutPage(const Layout &layout, const QHash<QString, QString> &texts);

// Where the picture of the blank form lies on the page, twips.
QRectF formOnPage();

// The frame of a field: its width, as high as its printed text from z_y.
QRectF fieldFrame(const LayoutRow &row);

// A field's column name with the form's caption of the column beside it,
// in Cyrillic letters ("NALOG1 – Налогодавач"); the name alone for a
// field of no known column.
QString fieldTitle(const QString &box);

// The topmost field whose frame holds the point, or -1.
int fieldAt(const Layout &layout, QPointF twips);

// Moves the fields by (dx, dy) twips; no coordinate goes below 0.
void moveFields(Layout &layout, const QList<int> &rows, double dx, double dy);

// Twips of tenths of a millimetre typed in the window (a millimetre is
// 1440/25.4 twips; rounded to the nearest twip), and back. The printer
// offsets count 6 twips a tenth (print_job.h); the positions are true.
double tenthsToTwips(double tenths);
double twipsToTenths(double twips);

// A coordinate moved by the arrow keys: to the tenth of a millimetre
// tenths away (1, or 10 with Shift; negative to the left or up). One that
// lies between two tenths first goes to the next one that way, so every
// step after lands on whole tenths and ten of them make a millimetre.
double steppedTwips(double twips, int tenths);
// Each field moved so, by tenthsX and tenthsY; none goes below 0.
void stepFields(Layout &layout, const QList<int> &rows, int tenthsX, int tenthsY);

} // namespace trelok
