#include "platform/region.h"

#include "platform/numbers.h"

using namespace Qt::StringLiterals;

namespace trelok {

bool decimalPointReadsBack(const QLocale &locale)
{
    const double reference = leadingNumber(u"123.45");
    // The standard conversion writes "." and a blank before a positive number.
    const QString probe = u" "_s + plainNumber(reference);
    bool ok = false;
    const double back = locale.toDouble(probe.trimmed(), &ok);
    return ok && back == reference;
}

} // namespace trelok
