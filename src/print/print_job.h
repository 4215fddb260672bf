#pragma once

#include "data/result.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QFont;
class QPainter;

namespace trelok {

class Store;

// One field of an order as the coordinate table places it.
struct PlacedField {
    QString box;      // column of tbl_Trel
    double z_x = 0;   // left edge, twips
    double z_y = 0;   // top of the text line, twips
    double z_len = 0; // width, used to right-justify
    QString text;     // trimmed value; a Null column prints a single space
    QChar jsft = u'L';
};

// Everything the page of one order needs: the offsets and the fields.
struct PrintJob {
    QString number;
    double desno = 0; // horizontal offset, twips
    double dole = 0;  // vertical offset, twips
    QList<PlacedField> fields;
    // Coordinate rows passed over because their box names no column of the
    // order, as stored (trimmed); the page is printed without them.
    QStringList skippedBoxes;
};

enum class JobStatus { Ready, ConfigMissing, OrderMissing, NoCoordinates };

struct LoadedJob {
    JobStatus status = JobStatus::Ready;
    PrintJob job;
};

// The printer's offsets: 6 twips per tenth of a millimetre.
inline constexpr double twipsPerTenthMm = 6.0;

// The stored print offsets (readOffsets) in twips; nothing when the
// configuration row is missing.
struct TwipOffsets {
    double desno = 0; // horizontal
    double dole = 0;  // vertical
};
DbResult<std::optional<TwipOffsets>> readTwipOffsets(Store &store);

// Reads the offsets of the configuration row (readTwipOffsets), the order,
// and the coordinate rows top to bottom, left to right. A coordinate row naming no column of the order is passed over and
// listed in skippedBoxes; a coordinate table without rows is NoCoordinates.
DbResult<LoadedJob> loadPrintJob(Store &store, const QString &number);

// Loads several orders, each as loadPrintJob does, in the given order, the
// offsets and the coordinate rows read once for all of them. The list ends at the first that is not Ready, so the caller refuses them all
// before anything is drawn.
DbResult<QList<LoadedJob>> loadPrintJobs(Store &store, const QStringList &numbers);

// The font of the printed page: "MAC C Times" 10 pt bold, sized in twips so
// the text is exactly 10 pt on any surface whose painter works in twips.
QFont pageFont();

// Scales a painter so that one unit is one twip on its device.
void useTwips(QPainter &painter);

// Where a field's text starts: desno + z_x for "L"; for "R" the text of the
// given width ends at the field's right edge. Nothing for any other letter.
std::optional<double> fieldX(const PlacedField &field, double desno, double textWidth);

// Draws one field: left-justified at (desno + z_x, dole + z_y), or, for "R",
// ending at the field's right edge. Any other justification draws nothing.
// z_y is the top of the text line. Returns true when it completed.
bool zprnt_d(QPainter &painter, const PlacedField &field, double desno, double dole);

// The one painting routine of a page: preview, printer and PDF alike. The
// painter must already work in twips (useTwips).
void paintJob(QPainter &painter, const PrintJob &job);

} // namespace trelok
