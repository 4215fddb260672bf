#pragma once

#include "data/result.h"

#include <QString>
#include <QStringList>

#include <functional>

class QTextStream;

namespace trelok {

class Store;

// A table that an office replaces as a whole from a UTF-8 CSV file and
// writes out again in the same form (the print layout, the code lists).
struct TableFile {
    QStringList header;    // the file's first line, and the columns written
    const char *select;    // the columns of header, every row
    const char *removeAll; // empties the table
    const char *insert;    // one row, a bound value per column of header
    // Why one record (fields trimmed, as many as the header) is refused, or
    // the empty text when it is taken.
    std::function<QString(const QStringList &)> check;
    // The first field names the row: two rows with the same one are refused.
    // Compared without regard to case when caseBlindKey is set.
    bool caseBlindKey = false;
    QString rowName; // what a row is, for the count on out ("opstini")
};

// Replaces the table by the rows of fileName in one transaction. The header
// must be exactly table.header; every row must pass table.check and name a
// new key. One refused row stores nothing: every refused row is reported on
// err with its line and reason, then "nisto ne e snimeno". With makscii,
// Macedonian Cyrillic letters become the code points the form font shows
// (as the other imports). Returns the exit status, 0 only when stored.
int importTableFile(Store &store, const TableFile &table, const QString &fileName, bool makscii,
                    QTextStream &out, QTextStream &err);

// Writes the header and every row of the table (trimmed texts, in the order
// the table returns them) to fileName, all or nothing. Returns the exit status.
int exportTableFile(Store &store, const TableFile &table, const QString &fileName,
                    QTextStream &err);

// Empties the table and inserts rows (as many values as the header each),
// inside the caller's transaction.
DbStatus replaceRows(Store &store, const TableFile &table, const QList<QStringList> &rows);

} // namespace trelok
