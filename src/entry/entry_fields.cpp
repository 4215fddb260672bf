#include "entry/entry_fields.h"

#include "data/order_columns.h"

#include <span>

using namespace Qt::StringLiterals;

namespace trelok {

EntryFields EntryFields::design()
{
    EntryFields fields;
    fields.s_pri = u"1 0 0 0 0 0 0 0 0 0 6 3 0 9 5"_s;
    return fields;
}

EntryFields::Member EntryFields::member(QAnyStringView box)
{
#define TRELOK_ENTRY_MEMBER(name)                                                                  \
    if (box == QLatin1StringView(#name))                                                           \
        return &EntryFields::name;
    TRELOK_ENTRY_BOXES(TRELOK_ENTRY_MEMBER)
#undef TRELOK_ENTRY_MEMBER
    return nullptr;
}

const QList<std::pair<QString, EntryFields::Member>> &EntryFields::boxes()
{
    static const QList<std::pair<QString, Member>> list = [] {
        QList<std::pair<QString, Member>> boxes;
        using Table = std::span<const ColumnDescriptor>;
        for (const Table table : {Table(orderColumnTable), Table(referenceSegmentBoxes)})
            for (const ColumnDescriptor &column : table)
                if (column.box)
                    boxes.append(
                        {QString::fromLatin1(column.box), member(QLatin1StringView(column.box))});
        return boxes;
    }();
    return list;
}

} // namespace trelok
