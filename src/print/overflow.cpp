#include "print/overflow.h"

#include "print/print_job.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

using namespace Qt::StringLiterals;

namespace trelok {

double pageTextWidth(const QString &text, const QPaintDevice *device)
{
    return QFontMetricsF(pageFont(), device).horizontalAdvance(text);
}

bool overflows(const PlacedField &field, double textWidth)
{
    return field.z_len > 0 && textWidth > field.z_len;
}

QStringList overflowingBoxes(const PrintJob &job, const QPaintDevice *device)
{
    QStringList boxes;
    for (const PlacedField &field : job.fields)
        if (overflows(field, pageTextWidth(field.text, device)))
            boxes.append(field.box);
    return boxes;
}

QString overflowMessage(const QStringList &boxes)
{
    return u"Tekstot e podolg od poleto i ke navleze vo sosednoto pole: "_s + boxes.join(u", "_s);
}

QString noticeOfOrder(const QString &number, const QString &notice)
{
    return u"Trelok "_s + number + u": "_s + notice;
}

QRectF fieldBox(const PlacedField &field, double desno, double dole, const QPaintDevice *device)
{
    const QFontMetricsF metrics(pageFont(), device);
    return QRectF(desno + field.z_x, dole + field.z_y, field.z_len,
                  metrics.ascent() + metrics.descent());
}

void markOverflows(QPainter &painter, const PrintJob &job)
{
    painter.save();
    QPen pen(QColor(220, 0, 0));
    pen.setWidthF(30); // two pixels on the preview
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const PlacedField &field : job.fields)
        if (overflows(field, pageTextWidth(field.text, painter.device())))
            painter.drawRect(fieldBox(field, job.desno, job.dole, painter.device()));
    painter.restore();
}

} // namespace trelok
