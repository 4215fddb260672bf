#include "entry/kinds.h"

#include "data/statements.h"
#include "data/store.h"

using namespace Qt::StringLiterals;

namespace trelok {

DbResult<QList<CodeLine>> listKinds(Store &store)
{
    auto rows = store.select(sql::vid::all);
    if (!rows)
        return DbResult<QList<CodeLine>>::failure(rows);
    QList<CodeLine> lines;
    for (const Row &row : rows.value()) {
        if (row.isNull(u"vid"_s))
            continue;
        lines.append({row.text(u"vid"_s), row.text(u"opis"_s)});
    }
    return lines;
}

DbResult<std::optional<QString>> kindDescription(Store &store, const QString &code)
{
    // The list shows codes trimmed, so a code stored with blanks around it
    // is found by its trimmed text.
    auto row = store.first(sql::vid::byTrimmedCode, {code.trimmed()});
    if (!row)
        return DbResult<std::optional<QString>>::failure(row);
    if (!row.value())
        return std::optional<QString>();
    return std::optional<QString>(row.value()->text(u"opis"_s));
}

} // namespace trelok
