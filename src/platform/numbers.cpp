#include "platform/numbers.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace trelok {

namespace {
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}
} // namespace

LeadingDigits leadingDigits(QStringView text)
{
    LeadingDigits read;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        read.negative = text[i] == u'-';
        ++i;
    }
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128)
            (point ? read.fraction : read.whole).append(c);
        else if (c == u'.' && !point)
            point = true;
        else if (!isBlank(c))
            break;
    }
    return read;
}

double leadingNumber(QStringView text)
{
    const LeadingDigits read = leadingDigits(text);
    if (read.whole.isEmpty() && read.fraction.isEmpty())
        return 0.0;
    bool ok = false;
    const double value = (read.whole + u'.' + read.fraction).toDouble(&ok);
    if (!ok)
        return 0.0;
    return read.negative ? -value : value;
}

QString plainNumber(double value)
{
    if (std::isfinite(value) && std::fabs(value) < 1e15 && value == std::trunc(value))
        return QString::number(static_cast<qint64>(value));
    QString text = QString::number(value, 'f', 10);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

} // namespace trelok
