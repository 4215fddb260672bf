#pragma once

#include <QString>

class QTextStream;

namespace trelok {

class Store;

// --migrate-from SOURCE: fills a new installation (no orders, counters or
// register rows yet) from a database in the Access form: the Access file,
// read table by table through mdb-export, or a folder of the tables as
// mdb-export writes them (tbl_Trel.csv, ...). In one transaction:
// - tbl_Trel: every order under its own number (trimmed);
// - tbl_Broj: each year's counter is the higher of the stored counter and
//   the highest number stored for that year;
// - tbl_obvr: the whole register; tbl_cnf: the configuration row (company
//   data, print offsets, defaults); tbl_koor, tbl_opst, tbl_cuo, tbl_vid
//   replace the delivered tables. tbl_prnt is not read: its printer belongs
//   to another computer.
// Texts are stored exactly as read; key columns (numbers, codes) trimmed.
// A repeated number or code: the first row keeps it, every further row goes
// into odvoeni-TABLE.csv beside the database; a row without its key, a
// counter that is not a number or a row of the wrong width is reported on
// err with its table and line and goes there too. A table the source lacks
// stores nothing. The set-aside files get their names and the summary goes
// to out after the commit. Returns the exit status: 0 when every row was
// taken, 3 when all else was stored but rows were set aside or refused (or
// their file could not be written), 1 when nothing was stored.
int migrateFromCommandLine(Store &store, const QString &source, QTextStream &out,
                           QTextStream &err);

} // namespace trelok
