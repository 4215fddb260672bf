#include "refdata/payment_kinds.h"

#include "platform/dash_ops.h"

using namespace Qt::StringLiterals;

namespace trelok {

namespace {

int indexOf(char segment)
{
    return segment - '1';
}

} // namespace

const PaymentKind *paymentKind(const QString &code)
{
    for (const PaymentKind &kind : paymentKinds)
        if (code == QLatin1StringView(kind.code))
            return &kind;
    return nullptr;
}

bool showsSegment(const PaymentKind &kind, int segment)
{
    for (const char *s = kind.composed; *s; ++s)
        if (indexOf(*s) == segment - 1)
            return true;
    return false;
}

QString composeReference(const PaymentKind &kind, const ReferenceSegments &segments)
{
    QString reference;
    for (const char *s = kind.composed; *s; ++s) {
        const QString &segment = segments[indexOf(*s)];
        if (kind.lastWhenTyped && !s[1] && segment.trimmed().isEmpty())
            break;
        if (s != kind.composed)
            reference += u'-';
        reference += segment;
    }
    return reference;
}

ReferenceSegments splitReference(const PaymentKind &kind, const QString &reference)
{
    const DashPieces pieces = dashPieces(reference);
    ReferenceSegments segments;
    for (int i = 0; kind.split[i]; ++i)
        segments[indexOf(kind.split[i])] = pieces[i];
    return segments;
}

} // namespace trelok
