#pragma once

#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;
class QPaintDevice;

namespace trelok {

struct PlacedField;
struct PrintJob;

// The width of a text in the page font, in twips, measured as the painting
// routine measures it (for right-justifying) on the given device; the page
// font is sized in twips, so the width is the same on every device.
double pageTextWidth(const QString &text, const QPaintDevice *device = nullptr);

// True when the field's text is wider than its box and runs into the next
// printed field. Only a box with a width (z_len > 0) can overflow.
bool overflows(const PlacedField &field, double textWidth);

// The boxes (as in tbl_koor) of the job whose texts are wider than the box.
QStringList overflowingBoxes(const PrintJob &job, const QPaintDevice *device = nullptr);

// The warning naming them; printing is not stopped by it.
QString overflowMessage(const QStringList &boxes);

// A notice (overflow, boxes passed over) of one order among several,
// naming the order: "Trelok 3/2026: " and the notice.
QString noticeOfOrder(const QString &number, const QString &notice);

// The box of a field on the page, twips: its width z_len, one text line high.
QRectF fieldBox(const PlacedField &field, double desno, double dole,
                const QPaintDevice *device = nullptr);

// Frames the boxes of the overflowing fields in red (the preview only; paper
// and PDF never show it). The painter works in twips.
void markOverflows(QPainter &painter, const PrintJob &job);

} // namespace trelok
