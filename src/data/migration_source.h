#pragma once

#include "data/csv.h"
#include "data/result.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace trelok::migration {

// The programs that read the tables of an Access file and count their rows,
// and where they come from.
inline constexpr auto mdbExport = "mdb-export";
inline constexpr auto mdbCount = "mdb-count";
inline constexpr auto mdbPackage = "mdbtools";

// One table of a database in the Access form, read through CsvFile: from
// the Access file through mdb-export (its output kept in a temporary file),
// or from a folder holding the table as TABLE.csv (as mdb-export writes it;
// the name's case does not matter). The whole table is read once to check
// its form before a record is handed out.
//
// mdb-export reads a damaged file with no more than a warning and exits 0,
// leaving out what it could not read. So the rows of each table of a file
// are counted on their own (mdb-count), and anything mdb-export says on its
// standard error makes the table unreadable: the caller hands the rows it
// read to checkRowsRead.
class SourceTable {
public:
    // Opens the table; a table the source does not have, or one that cannot
    // be read to its end, is a failure that names it.
    static DbResult<std::unique_ptr<SourceTable>> open(const QString &source,
                                                       const QString &table);
    // The records from the first, the header, a record at a time; visit
    // returns false to stop.
    DbStatus records(const std::function<bool(CsvRecord &)> &visit);
    // The failure of an Access file's table whose rows read are not the
    // rows it holds, or of which mdb-export gave a warning.
    DbStatus checkRowsRead(qint64 read) const;

private:
    SourceTable() = default;
    QString m_table;
    CsvFile m_csv;
    std::optional<qint64> m_expected;
    QString m_warning;
};

// Whether a source can be read at all: an existing folder, or a file in the
// Access form and the mdbtools programs to read it (the message names the
// package).
DbStatus checkSource(const QString &source);

} // namespace trelok::migration
