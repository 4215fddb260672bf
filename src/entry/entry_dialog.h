#pragma once

#include "entry/entry_fields.h"
#include "platform/prompter.h"

#include <QString>

namespace trelok {

// The questions the saving of an order asks. The window shows each one; an
// import answers them from its options without showing anything.
enum class EntryQuestion {
    UnknownTaxpayer,     // a taxpayer number not in the register
    UnknownMunicipality, // a municipality code not in its table
    EqualDates,          // method 1 with a value date other than the payment date
    CurrentYear,         // a reference year other than the current one
    ConfirmSave,         // store the new order / the change
    PrintSaved,          // print the order just stored
};

// What the checks and the saving of an order need from whoever drives them:
// the questions and messages, the input focus, and the customs office picker.
class EntryDialog {
public:
    virtual ~EntryDialog() = default;
    virtual Answer ask(EntryQuestion question, const QString &text, Buttons buttons) = 0;
    virtual void inform(const QString &text) = 0;
    // Puts the input focus on the named box. The fields are the run's
    // current texts, for a window that must show them first.
    virtual void focus(const QString &box, EntryFields &fields) = 0;
    // Shows the customs office picker; a chosen code lands in fields.p_nal3.
    virtual void pickCustomsOffice(EntryFields &fields) = 0;
    // The hourglass while a lookup runs.
    virtual void busy(bool on) { (void)on; }
};

} // namespace trelok
