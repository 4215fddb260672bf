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

namespace {

// The configuration row's offsets become the calibration of the printer
// given up (previous); the chosen printer's own take their place.
DbStatus changeCalibration(Store &local, const QString &previous, const QString &chosen)
{
    auto config = local.first(sql::cnf::configRow);
    if (!config)
        return DbStatus::failure(config);
    if (!config.value())
        return succeeded(); // the printer window reports the missing row
    if (auto made = local.exec(sql::ofset::create); !made)
        return made;
    if (!previous.isEmpty()) {
        const Row &row = *config.value();
        if (auto kept = local.exec(sql::ofset::keep, {previous, mget(row.raw(u"up_smet3"_s)),
                                                      mget(row.raw(u"bu_smet1"_s))});
            !kept)
            return kept;
    }
    auto own = local.first(sql::ofset::ofPrinter, {chosen});
    if (!own)
        return DbStatus::failure(own);
    if (!own.value())
        return previous.isEmpty() ? succeeded()
                                  : local.exec(sql::cnf::updateOffsets, {u"0"_s, u"0"_s});
    const Row &row = *own.value();
    if (auto taken = local.exec(sql::cnf::updateOffsets,
                                {mget(row.raw(u"up_smet3"_s)), mget(row.raw(u"bu_smet1"_s))});
        !taken)
        return taken;
    return local.exec(sql::ofset::remove, {chosen});
}

} // namespace

DbStatus storeApplicationPrinter(Store &store, const QString &name)
{
    Store &local = store.local();
    return local.writeTransaction([&local, &name]() -> DbStatus {
        auto stored = readApplicationPrinter(local);
        if (!stored)
            return DbStatus::failure(stored);
        if (stored.value() && *stored.value() != name)
            if (auto changed = changeCalibration(local, *stored.value(), name); !changed)
                return changed;
        return local.exec(sql::prnt::setPrinter, {name});
    });
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
