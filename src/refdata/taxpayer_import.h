#pragma once

#include <QString>

class QTextStream;

namespace trelok {

class Store;

// Reads the taxpayer register from a UTF-8 CSV file with the header
// "dec_cod,dec_nam,dec_ad3,dec_tlx" and stores it in one transaction: a new
// tax number is added, a known one gets the row's name, address and city.
// Each row passes the tests of adding a taxpayer in the register window
// (trimmed; the city may be empty); a refused row is stored nowhere and
// reported on err with its line and message. A file that cannot be read to
// its end stores nothing. The counts go to out. Returns the exit status:
// 0 only when every row was stored. With makscii (--makscii), Unicode
// Macedonian Cyrillic letters are stored as the code points "MAC C Times"
// shows as those letters (fromCyrillic); without it every character is kept.
int importTaxpayers(Store &store, const QString &fileName, QTextStream &out, QTextStream &err,
                    bool makscii = false);

} // namespace trelok
