#pragma once

#include "data/result.h"
#include "entry/entry_dialog.h"
#include "entry/entry_fields.h"
#include "entry/entry_filling.h"

#include <QString>
#include <QVariantList>

namespace trelok {

class Store;

// The recipient as the entry window shows it, in its three fixed labels.
struct Recipient {
    QString pri1 = QStringLiteral("Carinska Uprava na RM");
    QString pri2 = QStringLiteral("Evidentna smetka");
    QString b_pri = QStringLiteral("Narodna banka na RM");
};

// The 27 stored values after the order number, in the INSERT's order: every
// box as it holds its text, the recipient trimmed, the kind code.
QVariantList orderValues(const EntryFields &fields, const Recipient &recipient,
                         const QString &kind);

struct Saved {
    bool stored = false; // false: the user declined, nothing was written
    QString number;
    bool print = false; // the user asked to print it now
    QString notice;     // what the saving repaired and told (a counter)
};

// Stores the order after the user confirmed: a new one under the next number
// of the current year (EntryMode::New), or a change under its own number
// (EntryMode::Change). Then asks whether to print it. year is the current year.
DbResult<Saved> saveEntry(Store &store, EntryDialog &dialog, const EntrySession &session,
                          const QString &documentType, const QString &year,
                          const EntryFields &fields, const Recipient &recipient = {});

} // namespace trelok
