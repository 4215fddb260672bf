#pragma once

#include <QString>

class QTextStream;

namespace trelok {

class Clock;
class Store;

struct OrderImportOptions {
    bool acceptUnknown = false; // store orders whose taxpayer or municipality is unknown
    bool makscii = false;       // Macedonian Cyrillic letters become the form font's code points
};

// Reads payment orders from a UTF-8 CSV file whose header names columns of
// tbl_Trel (any case; TRELOK_BR and the recipient's columns are ignored, a
// column left out is pre-filled as for a new order). Each row is filled as a
// stored order is for a change, checked as the entry window checks it with
// fixed answers, and stored as a new order under the next number, several
// rows under one commit, each in a savepoint of its own. One line per row goes
// to out, after the commit that decided it: "LINE: NUMBER" or
// "LINE: refused: MESSAGE", LINE being the file line where the row begins.
// Returns the exit status: 0 only when every row was stored.
int importOrders(Store &store, Clock &clock, const QString &fileName,
                 const OrderImportOptions &options, QTextStream &out, QTextStream &err);

} // namespace trelok
