#pragma once

#include "data/result.h"
#include "entry/entry_dialog.h"
#include "entry/entry_fields.h"

#include <QString>

namespace trelok {

class Store;

struct Validation {
    bool passed = false;
    QString stopMessage; // the message of the step that stopped the run
};

// The ordered checks of an order before it is stored. The first refused
// step shows its message and stops; changes made by earlier steps (value
// date, year, customs office) stay in fields. currentYear is four digits.
DbResult<Validation> validateEntry(Store &store, EntryDialog &dialog, const QString &kind,
                                   const QString &currentYear, EntryFields &fields);

// True when the taxpayer register holds the number, unchanged.
DbResult<bool> prov_dan(Store &store, const QString &dan_br_);
// True when the municipality table holds the code, unchanged.
DbResult<bool> prov_opst(Store &store, const QString &ops_br_);

// Composes the stored reference number p_nal from its segments, as typed.
// Kinds without a composition of their own keep p_nal as it is.
void composeReference(const QString &kind, EntryFields &fields);

} // namespace trelok
