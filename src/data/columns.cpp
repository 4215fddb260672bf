#include "data/columns.h"

using namespace Qt::StringLiterals;

namespace trelok {

QString columnRefusal(const ColumnDescriptor &column, const QString &value)
{
    return valueRefusal(QString::fromLatin1(column.name), value, column.maxLength, column.oneLine,
                        column.trimmed);
}

QString valueRefusal(const QString &name, const QString &value, int maxLength, bool oneLine,
                     bool trimmed)
{
    if (value.contains(QChar(0)))
        return u"Kolonata %1 sodrzi znak NUL"_s.arg(name);
    if (oneLine && (value.contains(u'\n') || value.contains(u'\r')))
        return u"Kolonata %1 sodrzi nov red, a poleto ima eden red"_s.arg(name);
    const qsizetype length = trimmed ? value.trimmed().size() : value.size();
    if (length > maxLength)
        return u"Kolonata %1 ima %2 znaci, a poleto prima najmnogu %3"_s.arg(name)
            .arg(length)
            .arg(maxLength);
    return {};
}

qsizetype longestCsvRecord(std::span<const ColumnDescriptor> columns)
{
    qsizetype chars = 0;
    for (const ColumnDescriptor &column : columns)
        chars += 3 * qsizetype(column.maxLength) + 3;
    return chars;
}

} // namespace trelok
