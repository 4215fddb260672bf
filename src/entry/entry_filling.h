#pragma once

#include "context/shared_state.h"
#include "data/result.h"
#include "entry/entry_fields.h"
#include "refdata/payment_kinds.h"

#include <QString>

#include <optional>

namespace trelok {

class Clock;
class Prompter;
class Store;

// What the entry window holds for itself from the moment it opens: its mode,
// its payment kind with its description and, when changing, the order's
// number. What other windows later write into the shared state cannot
// redirect it.
struct EntrySession {
    EntryMode mode = EntryMode::New;
    QString kind;        // payment kind code
    QString orderNumber; // the order being changed
    QString description{}; // the kind's description
};

// What filling an order reads: the database (the company's row, a stored
// order, the kinds), today's date, and whom to remind.
struct EntrySources {
    Store &store;
    const Clock &clock;
    Prompter &prompter;
};

struct EntryFilling {
    EntryFields fields = EntryFields::design();
    QString caption = QStringLiteral("Trelok za Carina");
    QString command1Caption = QStringLiteral("OK - Snimi");
    QString label3Caption; // empty: keep the heading of the layout
};

// Fills a new order from the company's row, the kind and today's date, or
// loads a stored order (its kind and description into session, "000" for
// a kind tbl_vid does not know) and splits its reference number back into
// the segment boxes. Reminders go through the prompter; a failed read, or a
// missing configuration row, is returned.
DbResult<EntryFilling> fillEntry(const EntrySources &sources, EntrySession &session);

// Splits the stored reference number p_nal into the segments by kind. Other
// kinds keep p_nal whole and give nothing.
std::optional<ReferenceSegments> splitReference(const QString &kind, const QString &p_nal);
// The same, written into the segment boxes.
void splitReference(const QString &kind, EntryFields &fields);

// A guarantee kind: leaving the guarantee box copies it into an empty
// purpose line.
void p_nal3_LostFocus(const EntrySession &session, EntryFields &fields);

// True when the company's fixed data were never entered.
bool fixedDataMissing(const QString &nalog1);

} // namespace trelok
