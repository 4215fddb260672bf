#pragma once

#include "data/result.h"

#include <QString>

#include <optional>

namespace trelok {

class Store;

// The application's printer as tbl_prnt holds it: the trimmed name of its
// first row (empty when none is chosen), or nothing when the table is empty.
DbResult<std::optional<QString>> readApplicationPrinter(Store &store);
// Stores the name in every row of tbl_prnt. The offsets go with the
// printer, in the same transaction: when the name is another than the
// stored one, the configuration row's offsets are kept for the printer
// given up (tbl_ofset) and the chosen printer's are put in their place,
// "0" and "0" for a printer never calibrated. Offsets saved while no
// printer was chosen stay for the first printer chosen that has none.
DbStatus storeApplicationPrinter(Store &store, const QString &name);

// The print offsets of the application's printer, which the configuration
// row holds, tenths of a millimetre, read as leading numbers; nothing when
// the configuration row is missing.
struct StoredOffsets {
    double right = 0; // up_smet3
    double down = 0;  // bu_smet1
};
DbResult<std::optional<StoredOffsets>> readOffsets(Store &store);
// Stores both offsets of the application's printer as the texts given.
DbStatus storeOffsets(Store &store, const QString &right, const QString &down);

} // namespace trelok
