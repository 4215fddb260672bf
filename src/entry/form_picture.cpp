#include "entry/form_picture.h"

#include "platform/fonts.h"
#include "platform/twips.h"

#include <QPainter>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

const QColor red(255, 0, 0);

QRect px(int left, int top, int width, int height)
{
    return twips::rect(left, top, width, height);
}

void caption(QPainter &p, QRect r, const QString &text, int pixelSize, bool bold,
             QColor colour = red, int flags = Qt::AlignLeft | Qt::AlignVCenter)
{
    QFont font(QString::fromLatin1(formFontFamily));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    p.setFont(font);
    p.setPen(colour);
    // Left-aligned captions may run past their box, as printed captions do.
    const int spill = (flags & Qt::AlignHCenter) ? 0 : 40;
    p.drawText(r.adjusted(0, -3, spill, 3), flags | Qt::TextDontClip, text);
}

} // namespace

QImage blankForm()
{
    QImage image(614, 396, QImage::Format_RGB32);
    image.fill(QColor(215, 215, 215));
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);

    caption(p, px(7455, 105, 1650, 150), u"NALOG ZA PRENOS - PP50"_s, 9, false);
    caption(p, px(2160, 465, 2250, 255), u"NALOGODAVA^"_s, 17, true);
    caption(p, px(7860, 465, 1260, 255), u"PRIMA^"_s, 17, true);
    caption(p, px(4740, 900, 1635, 150), u"Naziv na prima~ot"_s, 10, false);
    caption(p, px(4740, 2025, 1770, 150), u"Smetka na prima~ot"_s, 10, false);
    caption(p, px(4740, 2595, 495, 120), u"Iznos"_s, 9, false);

    // The amount box with its currency cell.
    const QRect amount = px(4725, 2820, 4440, 255);
    p.fillRect(amount, QColor(239, 239, 239));
    p.setPen(QPen(red, 1));
    p.drawRect(amount.adjusted(0, 0, -1, -1));
    const QRect currency = px(4725, 2820, 480, 255);
    p.drawLine(currency.topRight(), currency.bottomRight());
    caption(p, currency, u"MKD"_s, 11, true, red, Qt::AlignCenter);

    // The grey band of the payment account, budget user and revenue code.
    p.fillRect(px(4710, 3105, 4455, 1890), QColor(128, 128, 128));
    caption(p, px(4830, 3225, 1410, 120), u"Uplatna smetka"_s, 9, false, Qt::white);
    caption(p, px(4830, 3795, 4215, 165), u"Smetka na buxetski korisnik - potkorisnik"_s, 10, false,
            Qt::white);
    caption(p, px(4830, 4380, 2490, 165), u"[ifra na prihod i programa"_s, 10, false, Qt::white);
    caption(p, px(8460, 4380, 510, 165), u"Na~in"_s, 10, false, Qt::white);

    caption(p, px(4740, 5145, 570, 150), u"Datum"_s, 10, false);
    caption(p, px(7050, 5145, 2070, 150), u"Mesto na podnesuvawe"_s, 10, false);
    return image;
}

} // namespace trelok
