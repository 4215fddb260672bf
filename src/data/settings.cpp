#include "data/settings.h"

#include "data/statements.h"
#include "data/store.h"
#include "platform/numbers.h"

using namespace Qt::StringLiterals;

namespace trelok {

DbResult<std::optional<QString>> readApplicationPrinter(Store &store)
{
    auto row = store.local().first(sql::prnt::all);
    if (!row)
        return DbResult<std::optional<QString>>::failure(row);
    if (!row.value())
        return std::optional<QString>();
    return std::optional<QString>(row.value()->text(u"def_print"_s));
}

DbStatus storeApplicationPrinter(Store &store, const QString &name)
{
    return store.local().exec(sql::prnt::setPrinter, {name});
}

DbResult<std::optional<StoredOffsets>> readOffsets(Store &store)
{
    auto row = store.local().first(sql::cnf::configRow);
    if (!row)
        return DbResult<std::optional<StoredOffsets>>::failure(row);
    if (!row.value())
        return std::optional<StoredOffsets>();
    return std::optional<StoredOffsets>(
        StoredOffsets{leadingNumber(row.value()->text(u"up_smet3"_s)),
                      leadingNumber(row.value()->text(u"bu_smet1"_s))});
}

DbStatus storeOffsets(Store &store, const QString &right, const QString &down)
{
    return store.local().exec(sql::cnf::updateOffsets, {right, down});
}

} // namespace trelok
