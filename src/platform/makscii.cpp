#include "platform/makscii.h"

namespace trelok {

QString makscii(const QString &latin)
{
    static const QString from =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz@[\\]^`{|}~");
    static const QString to =
        QStringLiteral("АБЦДЕФГХИЈКЛМНОПЉРСТУВЊЏЅЗабцдефгхијклмнопљрстувњџѕзЖШЃЌЧжшѓќч");
    QString out = latin;
    for (QChar &c : out) {
        const qsizetype i = from.indexOf(c);
        if (i >= 0)
            c = to[i];
    }
    return out;
}

} // namespace trelok
