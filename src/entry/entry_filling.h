#pragma once

#include "entry/entry_fields.h"

#include <QString>

namespace trelok {

struct AppContext;
struct SharedState;

// What the entry window holds for itself from the moment it opens: its mode,
// its payment kind and, when changing, the order's number. What other
// windows later write into the shared state cannot redirect it.
struct EntrySession {
    QString mode;        // "V" new order, "A" change
    QString kind;        // payment kind code
    QString orderNumber; // the order being changed
};

struct EntryFilling {
    EntryFields fields = EntryFields::design();
    QString caption = QStringLiteral("Trelok za Carina");
    QString command1Caption = QStringLiteral("OK - Snimi");
    QString label3Caption; // empty: keep the heading of the layout
    bool ended = false;    // the application was ended
};

// Fills a new order from the configuration row, the kind and today's date,
// or loads a stored order and splits its reference number back into the
// segment boxes. Messages go through the context's prompter.
EntryFilling fillEntry(AppContext &context, EntrySession &session);

// Splits the stored reference number p_nal into the segment boxes by kind,
// through the shared pieces prm1 to prm5. Other kinds keep p_nal whole.
void splitReference(SharedState &state, const QString &kind, EntryFields &fields);

// Kind "900": leaving the guarantee box copies it into an empty purpose line.
void p_nal3_LostFocus(const EntrySession &session, EntryFields &fields);

// True when the company's fixed data were never entered.
bool fixedDataMissing(const QString &nalog1);

} // namespace trelok
