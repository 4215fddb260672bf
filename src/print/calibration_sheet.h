#pragma once

#include "data/result.h"

#include <QList>
#include <QString>

class QFont;
class QPainter;

namespace trelok {

class Store;

// Where one coordinate row puts its field: the column's name and (z_x, z_y).
struct CalibrationMark {
    QString box;
    double z_x = 0;
    double z_y = 0;
};

// The calibration sheet: a cross with the column's name at every coordinate
// row, shifted by the offsets, and millimetre rulers along the top and left
// edges. Laid on a blank form it shows how far each field is off.
struct CalibrationSheet {
    double desno = 0; // horizontal offset, twips
    double dole = 0;  // vertical offset, twips
    QList<CalibrationMark> marks;
};

enum class SheetStatus { Ready, ConfigMissing, NoCoordinates };

struct LoadedSheet {
    SheetStatus status = SheetStatus::Ready;
    CalibrationSheet sheet;
};

// Reads every coordinate row and the stored offsets (6 twips per tenth of a
// millimetre).
DbResult<LoadedSheet> loadCalibrationSheet(Store &store);

// Why the sheet cannot be printed, or the empty text when it can.
QString unprintableSheetReason(const LoadedSheet &loaded);

// An offset typed in tenths of a millimetre, in twips, read as the print
// engine reads a stored one (its leading number).
double offsetTwips(const QString &tenthsOfMm);

// Half the length of a cross's arm, twips (1.5 mm).
inline constexpr double crossArm = 85;

// Draws the sheet; the painter works in twips with the origin where the
// fields' coordinates start (useTwips).
void paintCalibrationSheet(QPainter &painter, const CalibrationSheet &sheet);

// Writes the sheet to an A4 PDF file as writeOrderPdf writes an order: origin
// at the page's corner, checked, all or nothing. Returns the error text.
QString writeCalibrationPdf(Store &store, const QString &file);

} // namespace trelok
