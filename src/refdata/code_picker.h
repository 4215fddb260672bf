#pragma once

#include "data/result.h"
#include "refdata/code_line.h"

#include <QList>
#include <QString>

namespace trelok {

class Store;

// What tells the municipality picker and the customs office picker apart.
struct PickerKind {
    int length; // characters of a trimmed code
    const char *lengthMessage;
    const char *lookup;  // one code, column trimmed
    const char *listing; // all rows
    const char *codeColumn;
    const char *nameColumn;
    const char *notFoundHead; // + code + " , Izberi ja od lista !"
    const char *successHead;  // + typed text + " - " + name
    const char *emptyTable;
    const char *listCaption; // caption given to the shared list window
};

const PickerKind &municipalityPicker();
const PickerKind &customsOfficePicker();

struct PickerCheck {
    enum Result { WrongLength, NotFound, Accepted } result;
    QString code;    // the trimmed code
    QString name;    // its name, when accepted
    QString message; // what the user is told
};

// The acceptance step of a picker: length, then lookup of the trimmed code.
DbResult<PickerCheck> checkCode(Store &store, const PickerKind &kind, const QString &typed);

// The rows of the picker's table for the list window.
DbResult<QList<CodeLine>> listCodes(Store &store, const PickerKind &kind);

} // namespace trelok
