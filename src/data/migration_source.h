#pragma once

#include "data/migration_csv.h"
#include "data/result.h"

#include <QString>

#include <memory>

class QIODevice;

namespace trelok::migration {

// The program that reads the tables of an Access file, and where it comes from.
inline constexpr auto mdbExport = "mdb-export";
inline constexpr auto mdbPackage = "mdbtools";

// One table of a database in the Access form, read a record at a time: from
// the Access file through mdb-export, or from a folder holding the table as
// TABLE.csv (as mdb-export writes it; the name's case does not matter).
class SourceTable {
public:
    ~SourceTable();
    // Opens the table; a table the source does not have is a failure that
    // names it.
    static DbResult<std::unique_ptr<SourceTable>> open(const QString &source,
                                                       const QString &table);
    // The first record is the header.
    bool next(SourceRecord &record) { return m_csv->next(record); }
    // After the last record: whether the table was read to its end.
    DbStatus finish();

private:
    SourceTable() = default;
    QString m_table;
    std::unique_ptr<QIODevice> m_device;
    std::unique_ptr<SourceCsv> m_csv;
};

// Whether a source can be read at all: an existing folder, or a file and
// the mdb-export program to read it (the message names the package).
DbStatus checkSource(const QString &source);

} // namespace trelok::migration
