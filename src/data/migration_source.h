#pragma once

#include "data/csv.h"
#include "data/result.h"

#include <QString>

#include <functional>
#include <memory>

namespace trelok::migration {

// The program that reads the tables of an Access file, and where it comes from.
inline constexpr auto mdbExport = "mdb-export";
inline constexpr auto mdbPackage = "mdbtools";

// One table of a database in the Access form, read through CsvFile: from
// the Access file through mdb-export (its output kept in a temporary file),
// or from a folder holding the table as TABLE.csv (as mdb-export writes it;
// the name's case does not matter). The whole table is read once to check
// its form before a record is handed out.
class SourceTable {
public:
    // Opens the table; a table the source does not have, or one that cannot
    // be read to its end, is a failure that names it.
    static DbResult<std::unique_ptr<SourceTable>> open(const QString &source,
                                                       const QString &table);
    // The records from the first, the header, a record at a time; visit
    // returns false to stop.
    DbStatus records(const std::function<bool(CsvRecord &)> &visit);

private:
    SourceTable() = default;
    QString m_table;
    CsvFile m_csv;
};

// Whether a source can be read at all: an existing folder, or a file and
// the mdb-export program to read it (the message names the package).
DbStatus checkSource(const QString &source);

} // namespace trelok::migration
